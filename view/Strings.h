// Every English text the user sees, written once. Spelling is the product's own
// ("Wrinting", "Devergence", "swith"): other programs and users' notes match on it.
#pragma once

namespace Str {

// Program and status bar
inline constexpr const char* kProgramName = "Kestova";
inline constexpr const char* kReady = "Ready";
inline constexpr const char* kWait = "wait...";
inline constexpr const char* kWriting = "Writing";
inline constexpr const char* kWritingAndVerifying = "Wrinting and verifying";
inline constexpr const char* kVerifying = "Verifying";
inline constexpr const char* kReading = "Reading";
inline constexpr const char* kErasingMemory = "Erasing memory...";
inline constexpr const char* kErased = "Erased";
inline constexpr const char* kDone = "Done";
inline constexpr const char* kWriteError = "Write error";
inline constexpr const char* kCommunicationError = "Communication error";
inline constexpr const char* kOf = "of";
inline constexpr const char* kBytes = " bytes";
inline constexpr const char* kDifferentBytes = "different bytes";
inline constexpr const char* kIdenticalData = "Identical data";
inline constexpr const char* kDevergenceInData = "Devergence in data";
inline constexpr const char* kLockBitsProgrammed = "L.B. programmed";
inline constexpr const char* kLockBitsRead = "L.B. read";
inline constexpr const char* kFuseBitsProgrammed = "F.B. programmed";
inline constexpr const char* kFuseBitsRead = "F.B. read";
inline constexpr const char* kCancelled = "Cancelled";
// kestova-cli's line for it: how far the operation came (%1 of %2), then what that left.
inline constexpr const char* kCancelledAfter = "Cancelled after %1 of %2 bytes";
inline constexpr const char* kCancelledRead = "%1 holds the bytes read so far";
inline constexpr const char* kCancelledWrite = "the chip holds only part of the file";
inline constexpr const char* kCancelledVerify = "the file was written, but not all of it verified";
inline constexpr const char* kCancelledCompare = "the rest was not compared";

// Message boxes
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kWarningCaption = "Warning";
inline constexpr const char* kInformationCaption = "Information";
inline constexpr const char* kCannotOpenPort = "Cannot open serial port. Use the \"port\" menu to choose another";
// kestova-cli's form of it: a terminal has no menu.
inline constexpr const char* kCliCannotOpenPort =
    "Cannot open serial port. Use --port to choose another (kestova-cli ports lists them)";
// A line call failed during an operation (%1 the port, %2 the system's reason).
inline constexpr const char* kPortFailed = "Lost the serial port %1: %2";
// Its second line: why, and what to do (%1 the device)
inline constexpr const char* kPortOpenFailed = "cannot open %1: %2";
inline constexpr const char* kPortPermissionDenied = "cannot open %1: Permission denied";
inline constexpr const char* kPortJoinGroup =
    "cannot open %1: Permission denied — add your user to the %2 group and log in again";
inline constexpr const char* kPortBusy =
    "cannot open %1: Device or resource busy — another program is using it; close that program and try again";
inline constexpr const char* kPortHeldBy =
    "cannot open %1: in use by %2 (process %3) — close that program and try again";
inline constexpr const char* kPortNotOpened = "cannot open %1";
inline constexpr const char* kPortCannotDrive = "cannot drive the modem lines of %1: %2";
inline constexpr const char* kPortCannotConfigure = "cannot configure %1: %2";
inline constexpr const char* kUnknownSimulatedChip = "unknown simulated chip \"%1\"";
inline constexpr const char* kBadPortOption = "bad option \"%1\" in %2";
// FTDI adapters: why one would not open, each with what to do (%1 the port name).
inline constexpr const char* kFtdiNoneFound = "cannot open %1: no FTDI adapter (FT232R or FT231X) is plugged in";
// %2 the serial number asked for, %3 the adapters present.
inline constexpr const char* kFtdiSerialNotFound =
    "cannot open %1: no FTDI adapter with the serial number %2 is plugged in (present: %3)";
inline constexpr const char* kFtdiNonePresent = "none";
// %2 how many, %3 their port names.
inline constexpr const char* kFtdiSeveral =
    "cannot open %1: %2 FTDI adapters are plugged in — name one by its serial number: %3";
// %2 how many, %3 the serial number.
inline constexpr const char* kFtdiSameSerial =
    "cannot open %1: %2 FTDI adapters have the serial number %3 — plug in only one of them";
// %2 the USB device file.
inline constexpr const char* kFtdiNoAccess =
    "cannot open %1: Permission denied on %2 — add your user to the plugdev group, log in again and plug "
    "the adapter in again (the udev rule 60-kestova-ftdi.rules that the package installs gives that group "
    "FTDI adapters)";
// %2 libftdi's reason.
inline constexpr const char* kFtdiInUse =
    "cannot open %1: in use by another program or by the kernel's serial driver (%2) — close the program "
    "that uses the adapter and try again";
// %2 the chip's name.
inline constexpr const char* kFtdiNoSyncBitBang =
    "cannot open %1: the adapter's %2 has no synchronous bit-bang mode; use an FT232R or FT231X adapter";
inline constexpr const char* kFtdiListFailed = "cannot list the FTDI adapters: %1";
inline constexpr const char* kFtdiNotStarted = "libftdi could not start";
// An adapter in a list: %1 its port name, %2 what it is.
inline constexpr const char* kFtdiAdapter = "%1 (%2)";
// Added to what it is when its serial number does not tell it apart: %1 bus, %2 device.
inline constexpr const char* kFtdiAdapterPlace = ", USB bus %1 device %2";
inline constexpr const char* kFtdiAdapterNoAccess = ", no access";
// An adapter that stopped answering mid-run without an error of libftdi's own:
// %1 samples received, %2 expected.
inline constexpr const char* kFtdiMissingSamples = "the adapter returned %1 of %2 pin samples";
// %1 states taken, %2 sent.
inline constexpr const char* kFtdiShortWrite = "the adapter took %1 of %2 pin states";
inline constexpr const char* kPulseReset = "Pulse microcontroller reset swith and press OK";
inline constexpr const char* kFileTooBigForEeprom = "File size exceeds eeprom capacity";
inline constexpr const char* kFileTooBigForFlash = "File size exceeds Flash capacity";
inline constexpr const char* kFileSizeTooBig = "File size too big";
// The second lines of the size messages (%1 the file, %2 its size, %3 the limit or the
// chip, %4 the memory, %5 its size).
inline constexpr const char* kFileSizeLimit = "\"%1\" is %2 bytes; files of up to %3 bytes can be opened";
inline constexpr const char* kImageSizeAgainstMemory = "The image in \"%1\" is %2 bytes; the %3 %4 holds %5 bytes";
inline constexpr const char* kFlashMemory = "flash";
inline constexpr const char* kEepromMemory = "EEPROM";
inline constexpr const char* kChoosePort = "Choose the serial port connected to the programmer";
inline constexpr const char* kCannotWriteConfig = "Cannot write the configuration file";
inline constexpr const char* kUnexpectedError = "Unexpected error";

// Chip signatures
inline constexpr const char* kSignatureMismatch = "found %1 (%2), expected %3";
inline constexpr const char* kUnknownChip = "an unknown chip";

// Fuse bits that end in-system programming (%1 the bit, %2 its byte, %3 its number)
inline constexpr const char* kFuseBitPlace = "%1 (%2 bit %3)";
inline constexpr const char* kLowFuse = "low fuse";
inline constexpr const char* kHighFuse = "high fuse";
inline constexpr const char* kExtendedFuse = "extended fuse";
inline constexpr const char* kFuseResetDisabled = "programmed: the RESET pin becomes an I/O pin";
inline constexpr const char* kFuseDebugWire = "programmed: debugWIRE takes over the RESET pin";
inline constexpr const char* kFuseSpiOff = "unprogrammed: serial programming is switched off";
inline constexpr const char* kFuseEndsIsp =
    "These fuse values end in-system programming: the chip will no longer answer this programmer "
    "(only a high-voltage programmer can undo it).";
inline constexpr const char* kFuseWriteAnyway = "Write the fuses anyway?";
// The fuse and lock groups for a chip with an extended fuse, and their lines of bytes
inline constexpr const char* kFuseGroupWithExtended = "Fuse bits (AVR)     <- high / low / extended ->   ";
inline constexpr const char* kFuseBytesLine = "low %1   high %2";
inline constexpr const char* kFuseBytesLineExtended = "low %1   high %2   ext %3";
inline constexpr const char* kLockByteLine = "lock %1";
// kestova-cli (%1 the bits as above)
inline constexpr const char* kFuseRefused =
    "not writing the fuses, they end in-system programming over this cable: %1; add --force to write them anyway";
inline constexpr const char* kProgrammed = "programmed";
inline constexpr const char* kUnprogrammed = "unprogrammed";

// Usage message of the command line (joined with CR LF by the caller)
inline constexpr const char* kUsageTitle = "Parameters utilization:";
inline constexpr const char* kUsageChip = "chip";
inline constexpr const char* kUsageFile = "file";
inline constexpr const char* kUsageChipList = "CHIP = s8252, s8253, s53, s52, s51 or atmega8";
inline constexpr const char* kUsageFileText = "FILE = File to be written. (writting will auto-start)";

// Intel HEX codec and image files
inline constexpr const char* kInvalidHexFile = "Invalid .HEX file";
inline constexpr const char* kHexChecksumError = "Checksum error in .HEX file";
inline constexpr const char* kInvalidHexEnd = "Invalid end of file in .HEX";
inline constexpr const char* kUnsupportedHexBlock = "Invalid/unsupported block in.HEX file";
inline constexpr const char* kDataBinIndex = "\"DataBin\" index out of space";
inline constexpr const char* kDataUsedIndex = "\"DataUsed\" index out of space";
inline constexpr const char* kHex32BitUnsupported = "Arquivos HEX no formato 32bits não são suportados!";
inline constexpr const char* kHexAddressTooHigh = "Address above FFFF: too big for a .HEX file";
inline constexpr const char* kBinTooBigForHex = "File too big for a .HEX file (65536 bytes at most)";
inline constexpr const char* kCannotOpenFile = "Cannot open file \"%1\". %2";
inline constexpr const char* kCannotReadFile = "Cannot read file \"%1\". %2";
inline constexpr const char* kCannotCreateFile = "Cannot create file \"%1\". %2";
inline constexpr const char* kNoFileName = "No file name given";
inline constexpr const char* kOutputIsInput = "The output file \"%1\" is the input file: choose another name";
inline constexpr const char* kCannotWriteFile = "Cannot write file \"%1\". %2";
inline constexpr const char* kNoDataInFile = "The file \"%1\" holds no data";
// After a HEX error's own text: where it is.
inline constexpr const char* kHexErrorInFile = "File \"%1\", line %2";
inline constexpr const char* kHexErrorAtLine = "Line %1";
// After "Invalid/unsupported block in.HEX file" for a type 04 record (%1 its address digits).
inline constexpr const char* kHexBeyond64K = "Extended linear address %1: the data lies beyond 64 KiB";
// Which form an image file was read as (%1 the image's length).
inline constexpr const char* kReadAsHex = "Intel HEX, %1 bytes";
inline constexpr const char* kReadAsBinary = "binary, %1 bytes";

// File dialog filters ("Description|pattern|...")
inline constexpr const char* kFilterBinHex = ".BIN files|*.bin|.HEX files|*.hex";
inline constexpr const char* kFilterBin = ".BIN files|*.bin";
inline constexpr const char* kFilterHex = ".HEX files|*.hex";
inline constexpr const char* kFilterBinAll = ".BIN files|*.bin|All files|*";
// The Write and Compare dialogs: every form first, then each, then anything.
inline constexpr const char* kFilterImages = "All supported files|*.bin;*.hex;*.ihx;*.ihex;*.eep|.BIN files|*.bin|"
                                             ".HEX files|*.hex;*.ihx;*.ihex;*.eep|All files|*";
// The Read dialog: the form the chosen name asks for is written.
inline constexpr const char* kFilterBinOrHex = ".BIN files|*.bin|.HEX files|*.hex;*.ihx;*.ihex;*.eep";
inline constexpr const char* kDefaultExtBin = ".bin";
inline constexpr const char* kDefaultExtHex = ".hex";

// Main window
inline constexpr const char* kWrite = "Write";
inline constexpr const char* kRead = "Read";
inline constexpr const char* kCompare = "Compare";
inline constexpr const char* kErase = "Erase";
inline constexpr const char* kLock = "Lock";
inline constexpr const char* kExit = "Exit";
inline constexpr const char* kHelp = "Help";
inline constexpr const char* kCancelHint = "Reding/Writing interrupt";
inline constexpr const char* kMenuChip = "Chip";
inline constexpr const char* kMenuMoreChips = "More chips";
inline constexpr const char* kMenuWriteMode = "Write Mode";
inline constexpr const char* kMenuTools = "Tools";
inline constexpr const char* kMenuPort = "Port";
inline constexpr const char* kMenuHelp = "Help";
inline constexpr const char* kModeNormal = "Normal";
inline constexpr const char* kModeFast = "Fast";
inline constexpr const char* kModeDifferential = "Diferential";
inline constexpr const char* kHexToBin = "HEX -> BIN converter";
inline constexpr const char* kBinToHex = "BIN -> HEX converter";
inline constexpr const char* kHexEditor = "Hex editor";
inline constexpr const char* kMenuHelpItem = "Help";
inline constexpr const char* kSchematic = "Schematic";
inline constexpr const char* kAbout = "About...";
inline constexpr const char* kChooseSerialPort = "Choose serial port";

// Run summaries (status bar and kestova-cli), %1 the byte count ("8192 bytes")
inline constexpr const char* kSummaryBytes = "%1 bytes";
inline constexpr const char* kSummaryPartOf = "%1 of %2 bytes";
inline constexpr const char* kSummaryWrittenVerified = "%1 written and verified";
inline constexpr const char* kSummaryWrittenSomeVerified = "%1 written, the first %2 verified";
inline constexpr const char* kSummaryChecked = "%1 checked, %2 written and verified";
inline constexpr const char* kSummaryRead = "%1 read";
inline constexpr const char* kSummaryCompared = "%1 compared";
inline constexpr const char* kSummaryTiming = " in %1 s at ClockDelay %2 µs";
inline constexpr const char* kSummaryRewrites = "; %1 bytes written again";
inline constexpr const char* kSummaryRewritesOneRung = "; %1 bytes written again one rung slower";
inline constexpr const char* kSummaryRewritesRungs = "; %1 bytes written again %2 rungs slower";
inline constexpr const char* kSummaryErased = "Erased in %1 s";
inline constexpr const char* kFirstDifference = "first difference at %1: chip %2, file %3";

// The window's additions around the layout: the chosen file, the run, the questions
inline constexpr const char* kNothingWritten = "Nothing written";
inline constexpr const char* kNothingWrittenNote = "Nothing written: %1 stays chosen for the next Write";
inline constexpr const char* kUnknownKeyword = "Unknown chip \"%1\"";
inline constexpr const char* kNotAFile = "It is not a file.";
inline constexpr const char* kNoFileChosen = "No file chosen: File > Choose file... (Ctrl+O) or drop one here";
inline constexpr const char* kChosenFile = "File: %1   %2 bytes, %3, modified %4";
inline constexpr const char* kFormHex = "Intel HEX";
inline constexpr const char* kFormBinary = "binary";
inline constexpr const char* kReadAfresh = "%1 changed on disk since it was chosen: read afresh";
inline constexpr const char* kElapsed = "%1 elapsed";
inline constexpr const char* kElapsedLeft = "%1 elapsed, about %2 left";
inline constexpr const char* kConverted = "Wrote %1 bytes to %2";
inline constexpr const char* kNoPortChosen = "No port chosen";
inline constexpr const char* kNoPortHint = "No port chosen: choose one in the Port menu (Port > Choose serial port)";
inline constexpr const char* kEraseCaption = "Erase";
inline constexpr const char* kEraseQuestion = "Erase the %1?";
inline constexpr const char* kEraseGoes = "This erases: %1.";
inline constexpr const char* kEraseFlash = "the flash (%1 bytes)";
inline constexpr const char* kEraseEeprom = "the EEPROM (%1 bytes)";
inline constexpr const char* kEraseEepromUnlessKept =
    "the EEPROM (%1 bytes) unless the %2 fuse keeps it (the fuses have not been read: Fuse bits > Read tells)";
inline constexpr const char* kEraseEepromKept = "The EEPROM stays: the %1 fuse is programmed.";
inline constexpr const char* kEraseLockBits = "the lock bits";
inline constexpr const char* kStopRunCaption = "Stop?";
inline constexpr const char* kStopWriteQuestion =
    "A write is running. Stop it and leave? The chip is then left part-written.";
inline constexpr const char* kStopEraseQuestion =
    "An erase is running. Stop it and leave? The chip is then left part-erased.";
inline constexpr const char* kOpenDifferenceQuestion =
    "Open the chip's contents in the hex editor at the first difference (%1)?";
inline constexpr const char* kDetectCaption = "Detect";
inline constexpr const char* kDetectFound = "Found %1 (%2) at ClockDelay %3 µs.";
inline constexpr const char* kDetectSelect = "Select the %1 in the Chip menu?";
inline constexpr const char* kDetectSelected = "It is the chip selected.";
inline constexpr const char* kDetectNotInMenu = "The Chip menu has no entry for it.";
inline constexpr const char* kDetectNoSignature =
    "No chip answered with a signature. The AT89S8252 and AT89S53 have none and cannot be detected.";
inline constexpr const char* kAboutCaption = "About Kestova";
inline constexpr const char* kEditorTitle = "%1 %2, read %3";
inline constexpr const char* kMemoryFlash = "flash";
inline constexpr const char* kMemoryEeprom = "EEPROM";

// The window's File menu and the Chip menu's additions
inline constexpr const char* kMenuFileMain = "File";
inline constexpr const char* kChooseFile = "Choose file...";
inline constexpr const char* kReadToEditor = "Read to editor";
inline constexpr const char* kRecentFiles = "Recent files";
inline constexpr const char* kNoRecentFiles = "(none)";
inline constexpr const char* kDetect = "Detect";
inline constexpr const char* kCancelRun = "Cancel the running operation";

// Port dialog
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancelar = "Cancelar";
inline constexpr const char* kPortHint = "Pick a port or type its name";
inline constexpr const char* kNoPortsHint = "No serial port found: type a name (ttyUSB0, SIM:atmega8)";

// Hex editor
inline constexpr const char* kHexEditorCaption = "HEX Editor";
inline constexpr const char* kInsertMode = "INSERT mode";
inline constexpr const char* kReadOnlyMode = "Read-only mode";
inline constexpr const char* kMenuFile = "File";
inline constexpr const char* kMenuOpen = "Open...";
inline constexpr const char* kMenuSave = "Save";
inline constexpr const char* kMenuSaveAs = "Save as...";
inline constexpr const char* kMenuEdit = "Edit";
inline constexpr const char* kMenuUndo = "Undo";
inline constexpr const char* kMenuRedo = "Redo";
inline constexpr const char* kMenuCut = "Cut";
inline constexpr const char* kMenuCopy = "Copy";
inline constexpr const char* kMenuPaste = "Paste";
inline constexpr const char* kMenuSelectAll = "Select all";
inline constexpr const char* kMenuGoTo = "Go to offset...";
inline constexpr const char* kMenuFind = "Find...";
inline constexpr const char* kMenuFindNext = "Find next";
inline constexpr const char* kAttentionCaption = "Atenção";
inline constexpr const char* kSaveChangesQuery = "O arquivo foi alterado. Deseja salvar alterações?";
inline constexpr const char* kGoToCaption = "Go to offset";
inline constexpr const char* kGoToPrompt = "Offset (hexadecimal, or decimal after #):";
inline constexpr const char* kNotAnOffset = "Not an offset: %1";
inline constexpr const char* kOffsetOutOfRange = "Offset %1 is not inside the file (%2 bytes)";
inline constexpr const char* kFindCaption = "Find";
inline constexpr const char* kFindPrompt = "Look for:";
inline constexpr const char* kFindHexBytes = "Hex bytes (e.g. 02 00 3F)";
inline constexpr const char* kFindText = "Text";
inline constexpr const char* kNotHexBytes = "Not a sequence of hex bytes: %1";
inline constexpr const char* kNotFound = "Not found: %1";
inline constexpr const char* kCaretOffset = "Offset %1h (%2)";
inline constexpr const char* kSelectedBytes = "%1 bytes selected";
inline constexpr const char* kSizeBytes = "%1 bytes";
inline constexpr const char* kUntitled = "(no file)";

// Help, schematic, about and splash windows
inline constexpr const char* kSchematicCaption = "schematic";
inline constexpr const char* kSchematicNote =
    "Power the circuit with 5V\r\nUse 100uF capacitor between 5V and ground\r\n"
    "Check the datasheet for corresponding pins for Atmega";
inline constexpr const char* kPictureUnreadable = "The schematic picture cannot be shown: %1";
inline constexpr const char* kAboutPurpose =
    "ISP programmer for Atmel microcontrollers: 89S, Atmega8, Atmega8515 and Atmega8535";
inline constexpr const char* kAboutVersion = "%1 version %2";
inline constexpr const char* kAboutOwnership =
    "Copyright (C) the Kestova developers. Free software under the MIT License.";
inline constexpr const char* kAboutContact = "Contact: the Kestova developers, through the project's issue tracker.";
inline constexpr const char* kAboutConfigFile = "Configuration file: %1";
inline constexpr const char* kHelpText =
    "\r\n"
    "ISP programmer for Atmel microcontrollers: 89S, Atmega8, Atmega8515 and Atmega8535\r\n"
    "\r\n"
    "-WRITE MODE-\r\n"
    "Normal mode: The file is written and verified byte to byte, if one error occurs the program tries to\r\n"
    "write again in low speed.\r\n"
    "Differential mode: The file is compared with already programmed chip and only modified bytes are written\r\n"
    "(Only for AT89S8252/S53).\r\n"
    "Fast mode: Like Normal Node, but only first 15 bytes written are checked against errors.\r\n"
    "\r\n"
    "-LOCK BITS (89S)-\r\n"
    "1: Disables MOVC instructions from external memory to read bytes from internal memory, and disables\r\n"
    "internal memory writing.\r\n"
    "2: Same as 1, and disables internal program memory read.\r\n"
    "3: Same as 2, and disables execution from external memory program.\r\n"
    "- After a Lock Bit activated, the only way to deactivate them is cleaning memory.\r\n"
    "\r\n"
    "-LOCK BITS (AVR)-\r\n"
    "When a lockbit is selected, means activated (is zero).\r\n"
    "Caution; don't activate an lockbit that disables ISP programming.\r\n"
    "\r\n"
    "-FUSE BITS (AVR)-\r\n"
    "When a fusebit is selected, means activated (is zero).\r\n"
    "The fusebits are not affected by a memory erase.\r\n"
    "\r\n"
    "-MEMORY ERASE-\r\n"
    "All internal memories (flash, eeprom) and Lockbits are erased.\r\n"
    "\r\n"
    "-PARAMETERS-\r\n"
    "1: Type of chip. The values can be: s8252, s8253, s51, s52, s53 or atmega8.\r\n"
    "2: File name to be written. The programming process will begin automatically.\r\n"
    "Ex: Kestova.exe s53 file.bin\r\n"
    "\r\n"
    "-TOOLS-\r\n"
    "File converter for .HEX (Intel-HEX with 16bits address) and .BIN (binary file) file types.\r\n"
    "Hexadecimal file editor. Edit .BIN files.\r\n"
    "\r\n"
    "** PROGRAMMING **\r\n"
    "Leave reset switch open (1) to microcontroller enter in Programming Mode, and closed (0) for normal "
    "microcontroller operation (RUN).\r\n"
    "AVR microcontroller's Reset is swapped: Reset key closed (0) for Programming Mode, and open (1) for normal "
    "operation.\r\n"
    "Pulse Reset Switch from microcontroller if failed programming/reading and try again.\r\n"
    "Verify if the oscillator crystal is working.\r\n"
    "The Atmega8/85X5 comes from factory with internal oscillator enabled. Crystal is not necessary.\r\n"
    "\r\n"
    "* AT89S8253 and ATMEGA8/85X5 *\r\n"
    "In flash memory programming, the eeprom will also be erased.\r\n";

}  // namespace Str

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

// Message boxes
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kWarningCaption = "Warning";
inline constexpr const char* kInformationCaption = "Information";
inline constexpr const char* kCannotOpenPort =
    "Cannot open serial port. Use the \"port\" menu to choose another";
// A line call failed during an operation (%1 the port, %2 the system's reason).
inline constexpr const char* kPortFailed = "Lost the serial port %1: %2";
inline constexpr const char* kPulseReset = "Pulse microcontroller reset swith and press OK";
inline constexpr const char* kFileTooBigForEeprom = "File size exceeds eeprom capacity";
inline constexpr const char* kFileTooBigForFlash = "File size exceeds Flash capacity";
inline constexpr const char* kFileSizeTooBig = "File size too big";
inline constexpr const char* kChoosePort = "Choose the serial port connected to the programmer";
inline constexpr const char* kCannotWriteConfig = "Cannot write the configuration file";
inline constexpr const char* kUnexpectedError = "Unexpected error";

// Chip signatures
inline constexpr const char* kSignatureMismatch = "found %1 (%2), expected %3";
inline constexpr const char* kUnknownChip = "an unknown chip";

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

// File dialog filters ("Description|pattern|...")
inline constexpr const char* kFilterBinHex = ".BIN files|*.bin|.HEX files|*.hex";
inline constexpr const char* kFilterBin = ".BIN files|*.bin";
inline constexpr const char* kFilterHex = ".HEX files|*.hex";
inline constexpr const char* kFilterBinAll = ".BIN files|*.bin|All files|*";
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

}  // namespace Str

// The FTDI path's texts for the user: why an adapter would not open or stopped
// answering, each with what to do about it. link/ reports them as results; the front
// ends show them where they show a serial port's.
#pragma once

namespace FtdiText {

// %1 the port name as the user gave it.
inline constexpr const char* kNoneFound = "cannot open %1: no FTDI adapter (FT232R or FT231X) is plugged in";
// %2 the serial number asked for, %3 the adapters present.
inline constexpr const char* kSerialNotFound =
    "cannot open %1: no FTDI adapter with the serial number %2 is plugged in (present: %3)";
inline constexpr const char* kNonePresent = "none";
// %2 how many, %3 their port names.
inline constexpr const char* kSeveral =
    "cannot open %1: %2 FTDI adapters are plugged in — name one by its serial number: %3";
// %2 how many, %3 the serial number.
inline constexpr const char* kSameSerial =
    "cannot open %1: %2 FTDI adapters have the serial number %3 — plug in only one of them";
// %2 the USB device file.
inline constexpr const char* kNoAccess =
    "cannot open %1: Permission denied on %2 — add your user to the plugdev group, log in again and plug "
    "the adapter in again (the udev rule 60-kestova-ftdi.rules that the package installs gives that group "
    "FTDI adapters)";
// %2 libftdi's reason.
inline constexpr const char* kInUse =
    "cannot open %1: in use by another program or by the kernel's serial driver (%2) — close the program "
    "that uses the adapter and try again";
// %2 the chip's name.
inline constexpr const char* kNoSyncBitBang =
    "cannot open %1: the adapter's %2 has no synchronous bit-bang mode; use an FT232R or FT231X adapter";
// %2 libftdi's reason.
inline constexpr const char* kOpenFailed = "cannot open %1: %2";
inline constexpr const char* kListFailed = "cannot list the FTDI adapters: %1";
// A transfer that brought too little for too long: %1 samples received, %2 expected.
inline constexpr const char* kNoSamples = "the adapter returned %1 of %2 pin samples";
// A write that libftdi ended early without an error: %1 states taken, %2 sent.
inline constexpr const char* kShortWrite = "the adapter took %1 of %2 pin states";

}  // namespace FtdiText

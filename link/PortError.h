// PortError: why a port did not open, as a code and the facts its text needs. The
// user's text is made above this library (errorText).
#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

#include "link/FtdiAdapterInfo.h"

struct PortError {
    enum class Code {
        None,                  // no failure (yet)
        NotOpened,             // nothing stands behind the name, and nobody said why
        OpenFailed,            // the system refused: device, reason
        PermissionDenied,      // the device's mode bars the user, and joining a group would not help
        JoinGroup,             // the user may open it after joining group
        Busy,                  // another program has it open exclusively
        HeldBy,                // program (process pid) holds the device's lock file
        CannotDriveLines,      // it opened, but its modem lines would not move: reason
        CannotConfigure,       // it opened, but refused the line settings: reason
        UnknownSimulatedChip,  // a SIM: name with a chip keyword nobody models: detail
        BadPortOption,         // an option of the name that is not understood: detail
        FtdiNoneFound,         // FTDI: with no FTDI adapter plugged in
        FtdiSerialNotFound,    // no adapter has the serial number detail; adapters: those present
        FtdiSeveral,           // FTDI: with several adapters plugged in; adapters: them
        FtdiSameSerial,        // several adapters share the serial number detail; adapters: them
        FtdiNoAccess,          // the user may not open the adapter's USB device file detail
        FtdiInUse,             // another program or the kernel's driver holds it: reason
        FtdiNoSyncBitBang,     // the adapter's chip (detail) has no synchronous bit-bang mode
        FtdiListFailed,        // libftdi could not look at the USB bus: reason (empty: it did not start)
    };

    PortError() = default;
    PortError(Code code, const QString& port, const QString& reason = {}, const QString& detail = {}, qint64 pid = 0)
        : code(code), port(port), reason(reason), detail(detail), pid(pid)
    {
    }

    Code code = Code::None;
    QString port;                           // the name as given, or the device file behind it ("/dev/ttyUSB0")
    QString reason;                         // the system's own words
    QString detail;                         // the group, the program, the keyword or the option, as the code says
    qint64 pid = 0;                         // HeldBy
    std::vector<FtdiAdapterInfo> adapters;  // the FTDI codes that name adapters

    bool failed() const { return code != Code::None; }
};

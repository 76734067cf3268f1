// FtdiPortName: port names that mean an FTDI adapter, FTDI: (the only one plugged in)
// and FTDI:SERIAL (by serial number), the prefix in any case.
#pragma once

#include <vector>

#include <QString>

#include "link/FtdiAdapterInfo.h"
#include "link/PortError.h"

class FtdiPortName {
public:
    static constexpr const char* kPrefix = "FTDI:";

    static bool matches(const QString& portName);
    // What follows the prefix, empty for FTDI: itself.
    static QString serialOf(const QString& portName);
    // The index in `present` of the adapter the name picks, or -1 with the reason (and
    // the adapters there are) in *error. A serial number is matched exactly first, then
    // in any case.
    static int choose(const QString& portName, const std::vector<FtdiAdapterInfo>& present, PortError* error);
};

// PortOpener: what stands behind a port name. A plain name opens the serial port of
// that name; a name with a registered prefix ("SIM:" for the simulated chips) goes to
// whoever registered it, so this library never needs to know them. "FTDI:" names an
// FTDI adapter in bit-bang mode, whose cable this library opens itself.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "link/IspCable.h"
#include "link/ModemLines.h"
#include "link/PortError.h"

class PortOpener {
public:
    // Opens a port name; on failure returns null and says why in *error (may be null).
    using Open = std::function<std::unique_ptr<ModemLines>(const QString& name, PortError* error)>;

    // Names starting with prefix (in any case) go to open from now on; registering a
    // prefix again replaces its opener. Done once at start-up, before any port opens.
    static void registerPrefix(const QString& prefix, Open open);
    // The lines behind the name: the opener of its prefix, or the serial port itself.
    static std::unique_ptr<ModemLines> open(const QString& name, PortError* error);

    // True for the names of a cable that is no set of modem lines (FTDI:).
    static bool opensCable(const QString& name);
    // The cable behind such a name; null with the reason in *error.
    static std::unique_ptr<IspCable> openCable(const QString& name, PortError* error);
};

#include "sim/PortFactory.h"

#include "link/SerialLink.h"

std::unique_ptr<ModemLines> openModemLines(const QString& portName, QString* error)
{
    return SerialLink::open(portName, error);
}

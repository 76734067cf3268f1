// Which cable stands behind a port name: a real serial port, or a simulated chip.
#pragma once

#include <memory>

#include <QString>

#include "link/ModemLines.h"

std::unique_ptr<ModemLines> openModemLines(const QString& portName, QString* error);

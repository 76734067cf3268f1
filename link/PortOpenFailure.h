// Why a serial port would not open, said so that the user can act on it: a port
// that is not theirs to open names the group to join, a port another program holds
// names that program.
#pragma once

#include <QSerialPort>
#include <QString>

#include "link/PortError.h"

class PortOpenFailure {
public:
    // The device file behind a port name: "ttyUSB0" is /dev/ttyUSB0, a path stays itself.
    static QString devicePath(const QString& portName);

    // The failure, naming the device, from what QSerialPort reported.
    static PortError describe(const QString& portName, QSerialPort::SerialPortError error, const QString& errorString);

    // The live process (not this one) that holds the device's lock file, 0 for none;
    // its program name comes back through the pointer.
    static qint64 lockHolder(const QString& devicePath, QString* program);
};

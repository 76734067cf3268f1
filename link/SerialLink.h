// The real cable: a serial port whose modem lines carry the target's SPI signals.
#pragma once

#include <memory>

#include <QSerialPort>
#include <QString>

#include "link/ModemLines.h"
#include "link/PortError.h"

class SerialLink final : public ModemLines {
public:
    // Opens and configures the port (a bare name such as ttyUSB0 or COM3, or a device
    // path); both outputs end asserted. Null on failure, with the reason in *error.
    static std::unique_ptr<SerialLink> open(const QString& portName, PortError* error);
    ~SerialLink() override;

    void setDtr(bool asserted) override;
    void setRts(bool asserted) override;
    bool cts() override;
    void setLines(bool dtrAsserted, bool rtsAsserted) override;

private:
    SerialLink() = default;
    bool setLine(int line, bool asserted);
    bool readOtherOutputs();
    void recordSystemFailure();  // keeps the system's text for the last call's error

    QSerialPort port_;
    // Line state as last driven: a request that changes nothing costs no system call.
    bool dtr_ = false;
    bool rts_ = false;
    // The modem-control word as the port reported it at open: TIOCMSET writes every
    // output bit, so the ones this program does not drive are written as they were.
    int otherOutputs_ = 0;
};

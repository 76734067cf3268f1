// The line driver: the one open port, the cable behind it (a serial port's modem lines
// or an FTDI adapter's bit-bang pins), and the clock delay, the half-clock time of the
// timing ladder.
#pragma once

#include <cstdint>
#include <memory>

#include <QString>

#include "link/IspCable.h"
#include "link/LineFailure.h"
#include "link/ModemLines.h"
#include "link/PortError.h"
#include "link/PortOpener.h"

class LineDriver {
public:
    // opener stands behind every modem-line port name; FTDI: names open their adapter.
    // A null opener opens nothing (tests attach lines).
    explicit LineDriver(PortOpener::Open opener = PortOpener::open);
    ~LineDriver();

    // Replaces the open port by one opened on portName; false when it would not open,
    // with lastOpenError() saying why. The old port is closed either way.
    bool open(const QString& portName);
    // Why the last open failed, naming the port (code None after a success).
    const PortError& lastOpenError() const { return lastOpenError_; }
    void close();
    // Puts an already opened line set in place (the simulated chips of the tests).
    void attach(std::unique_ptr<ModemLines> lines, const QString& portName = QString());
    // Puts an already opened cable in place.
    void attachCable(std::unique_ptr<IspCable> cable, const QString& portName = QString());
    bool isOpen() const { return cable_ != nullptr; }
    // The cable of the open port; null without one.
    IspCable* cable() const { return cable_.get(); }
    // The modem lines of the open port; null without a port or on an FTDI adapter.
    ModemLines* lines() const { return lines_; }
    // The name the open port was opened by (empty without a port).
    const QString& portName() const { return portName_; }
    // True once a call on the open port has failed: every bit since then is noise.
    // Device code checks it after each instruction or batch (IspLink::checkSync and the
    // runner do); failure() says why.
    bool lineFailed() const { return cable_ && cable_->failed(); }
    LineFailure failure() const { return cable_ ? cable_->failure() : LineFailure{}; }

    // Both lines asserted (MOSI 0, SCK low), as opening a serial port leaves them.
    void assertLines();

    // µs, one rung of 5, 7, 25, 205, 2005, 20000
    int32_t clockDelay() const { return clockDelay_; }
    void setClockDelay(int32_t microseconds);

private:
    PortOpener::Open opener_;
    std::unique_ptr<IspCable> cable_;
    ModemLines* lines_ = nullptr;
    PortError lastOpenError_;
    QString portName_;
    int32_t clockDelay_ = 5;
};

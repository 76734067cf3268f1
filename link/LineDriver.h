// The serial line driver: the one open port, the three SPI lines on its modem lines,
// and the clock delay, the half-clock time of the timing ladder.
#pragma once

#include <cstdint>
#include <memory>

#include <QString>

#include "link/ModemLines.h"
#include "link/PortError.h"
#include "link/PortOpener.h"

class LineDriver {
public:
    // opener stands behind every port name; null opens nothing (tests attach lines).
    explicit LineDriver(PortOpener::Open opener = PortOpener::open);

    // Replaces the open port by one opened on portName; false when it would not open,
    // with lastOpenError() saying why. The old port is closed either way.
    bool open(const QString& portName);
    // Why the last open failed, naming the port (code None after a success).
    const PortError& lastOpenError() const { return lastOpenError_; }
    void close();
    // Puts an already opened line set in place (the simulated chips of the tests).
    void attach(std::unique_ptr<ModemLines> lines, const QString& portName = QString());
    bool isOpen() const { return lines_ != nullptr; }
    ModemLines* lines() const { return lines_.get(); }
    // The name the open port was opened by (empty without a port).
    const QString& portName() const { return portName_; }
    // True once a call on the open port's lines has failed: every bit since then is
    // noise. Device code checks it after each byte (IspLink::checkSync and the runner
    // do). The system's reason is lines()->failureReason().
    bool lineFailed() const { return lines_ && lines_->failed(); }

    void setMosi(int bit);   // 1 clears DTR, 0 sets it
    void clockLeading();     // clears RTS (SCK high), then waits clockDelay µs
    void clockTrailing();    // sets RTS (SCK low), then waits clockDelay µs
    int readMiso();          // 1 while CTS is not asserted; 1 with no port
    void setDtr(bool asserted);
    void setRts(bool asserted);

    // µs, one rung of 5, 7, 25, 205, 2005, 20000
    int32_t clockDelay() const { return clockDelay_; }
    void setClockDelay(int32_t microseconds) { clockDelay_ = microseconds; }

private:
    PortOpener::Open opener_;
    std::unique_ptr<ModemLines> lines_;
    PortError lastOpenError_;
    QString portName_;
    int32_t clockDelay_ = 5;
};

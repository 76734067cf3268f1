// The serial line driver: the one open port (SerialLink), the three SPI lines on its
// modem lines, and ClockDelay, the half-clock time of the timing ladder.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "link/ModemLines.h"

class OperationView;

class LineDriver {
public:
    // Opens whatever stands behind a port name; on failure returns null and may say why.
    using PortOpener = std::function<std::unique_ptr<ModemLines>(const QString& name, QString* error)>;

    LineDriver(OperationView& view, PortOpener opener);

    // Replaces SerialLink by a port opened on portName; false after telling the user.
    bool OpenSerialLink(const QString& portName);
    // Why the last OpenSerialLink failed, naming the port (empty after a success).
    const QString& lastOpenError() const { return lastOpenError_; }
    void CloseSerialLink();
    // Puts an already opened line set in place (the simulated chips of the tests).
    void attach(std::unique_ptr<ModemLines> lines, const QString& portName = QString());
    bool isOpen() const { return SerialLink != nullptr; }
    ModemLines* lines() const { return SerialLink.get(); }
    // The name the open port was opened by (empty without a port).
    const QString& portName() const { return portName_; }
    // True once a call on the open port's lines has failed: every bit since then is
    // noise. Device code checks it after each byte (IspLink::CheckSync and the runner
    // do). The system's reason is lines()->failureReason().
    bool lineFailed() const { return SerialLink && SerialLink->failed(); }

    void SetMosi(int bit);   // 1 clears DTR, 0 sets it
    void ClockLeading();     // clears RTS (SCK high), then waits ClockDelay µs
    void ClockTrailing();    // sets RTS (SCK low), then waits ClockDelay µs
    int ReadMiso();          // 1 while CTS is not asserted; 1 with no port
    void SetDtr(bool asserted);
    void SetRts(bool asserted);

    int32_t ClockDelay = 5;  // µs, one rung of 5, 7, 25, 205, 2005, 20000

private:
    OperationView& view_;
    PortOpener opener_;
    std::unique_ptr<ModemLines> SerialLink;
    QString lastOpenError_;
    QString portName_;
};

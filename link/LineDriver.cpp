// Serial line driver: opening the port and the per-bit line operations.
#include "link/LineDriver.h"

#include "view/OperationView.h"
#include "view/Strings.h"
#include "link/Timing.h"

LineDriver::LineDriver(OperationView& view, PortOpener opener)
    : view_(view), opener_(std::move(opener))
{
}

bool LineDriver::OpenSerialLink(const QString& portName)
{
    // The old port goes first, so reopening the same port succeeds.
    CloseSerialLink();
    lastOpenError_.clear();
    std::unique_ptr<ModemLines> opened = opener_ ? opener_(portName, &lastOpenError_) : nullptr;
    if (!opened) {
        if (lastOpenError_.isEmpty())
            lastOpenError_ = QStringLiteral("cannot open %1").arg(portName);
        // The second line says why, and what would cure it.
        view_.showMessage(MessageIcon::Error, Str::kProgramName,
                          QString::fromUtf8(Str::kCannotOpenPort) + QLatin1Char('\n') + lastOpenError_);
        return false;
    }
    SerialLink = std::move(opened);
    portName_ = portName;
    view_.setPanelText(2, portName);
    return true;
}

void LineDriver::CloseSerialLink()
{
    SerialLink.reset();
    portName_.clear();
}

void LineDriver::attach(std::unique_ptr<ModemLines> lines, const QString& portName)
{
    SerialLink = std::move(lines);
    portName_ = SerialLink ? portName : QString();
}

void LineDriver::SetMosi(int bit)
{
    if (SerialLink)
        SerialLink->setDtr(bit == 0);
}

void LineDriver::ClockLeading()
{
    if (SerialLink)
        SerialLink->setRts(false);
    DelayMicroseconds(ClockDelay);
}

void LineDriver::ClockTrailing()
{
    if (SerialLink)
        SerialLink->setRts(true);
    DelayMicroseconds(ClockDelay);
}

int LineDriver::ReadMiso()
{
    // With no port every bit reads 1, so a byte reads 0xFF and the sync check fails cleanly.
    if (!SerialLink)
        return 1;
    return SerialLink->cts() ? 0 : 1;
}

void LineDriver::SetDtr(bool asserted)
{
    if (SerialLink)
        SerialLink->setDtr(asserted);
}

void LineDriver::SetRts(bool asserted)
{
    if (SerialLink)
        SerialLink->setRts(asserted);
}

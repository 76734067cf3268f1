// Serial line driver: opening the port and the per-bit line operations.
#include "link/LineDriver.h"

#include "link/Timing.h"

LineDriver::LineDriver(PortOpener::Open opener) : opener_(std::move(opener)) {}

bool LineDriver::open(const QString& portName)
{
    // The old port goes first, so reopening the same port succeeds.
    close();
    lastOpenError_ = {};
    std::unique_ptr<ModemLines> opened = opener_ ? opener_(portName, &lastOpenError_) : nullptr;
    if (!opened) {
        if (!lastOpenError_.failed())
            lastOpenError_ = {PortError::Code::NotOpened, portName};
        return false;
    }
    lastOpenError_ = {};
    lines_ = std::move(opened);
    portName_ = portName;
    return true;
}

void LineDriver::close()
{
    lines_.reset();
    portName_.clear();
}

void LineDriver::attach(std::unique_ptr<ModemLines> lines, const QString& portName)
{
    lines_ = std::move(lines);
    portName_ = lines_ ? portName : QString();
}

void LineDriver::setMosi(int bit)
{
    if (lines_)
        lines_->setDtr(bit == 0);
}

void LineDriver::clockLeading()
{
    if (lines_)
        lines_->setRts(false);
    delayMicroseconds(clockDelay_);
}

void LineDriver::clockTrailing()
{
    if (lines_)
        lines_->setRts(true);
    delayMicroseconds(clockDelay_);
}

int LineDriver::readMiso()
{
    // With no port every bit reads 1, so a byte reads 0xFF and the sync check fails cleanly.
    if (!lines_)
        return 1;
    return lines_->cts() ? 0 : 1;
}

void LineDriver::setDtr(bool asserted)
{
    if (lines_)
        lines_->setDtr(asserted);
}

void LineDriver::setRts(bool asserted)
{
    if (lines_)
        lines_->setRts(asserted);
}

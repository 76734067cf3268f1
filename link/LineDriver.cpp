// Serial line driver: opening the port and putting its cable in place.
#include "link/LineDriver.h"

#include "link/ModemLineCable.h"

LineDriver::LineDriver(PortOpener::Open opener) : opener_(std::move(opener)) {}

LineDriver::~LineDriver() = default;

bool LineDriver::open(const QString& portName)
{
    // The old port goes first, so reopening the same port succeeds.
    close();
    lastOpenError_ = {};
    if (opener_ && PortOpener::opensCable(portName)) {
        std::unique_ptr<IspCable> cable = PortOpener::openCable(portName, &lastOpenError_);
        if (!cable) {
            if (!lastOpenError_.failed())
                lastOpenError_ = {PortError::Code::NotOpened, portName};
            return false;
        }
        lastOpenError_ = {};
        attachCable(std::move(cable), portName);
        return true;
    }
    std::unique_ptr<ModemLines> opened = opener_ ? opener_(portName, &lastOpenError_) : nullptr;
    if (!opened) {
        if (!lastOpenError_.failed())
            lastOpenError_ = {PortError::Code::NotOpened, portName};
        return false;
    }
    lastOpenError_ = {};
    attach(std::move(opened), portName);
    return true;
}

void LineDriver::close()
{
    cable_.reset();
    lines_ = nullptr;
    portName_.clear();
}

void LineDriver::attach(std::unique_ptr<ModemLines> lines, const QString& portName)
{
    ModemLines* raw = lines.get();
    attachCable(lines ? std::make_unique<ModemLineCable>(std::move(lines)) : nullptr, portName);
    lines_ = raw;
}

void LineDriver::attachCable(std::unique_ptr<IspCable> cable, const QString& portName)
{
    // The old cable goes first: it may still have to put its lines at rest.
    cable_.reset();
    cable_ = std::move(cable);
    lines_ = nullptr;
    portName_ = cable_ ? portName : QString();
    if (cable_)
        cable_->setHalfClock(clockDelay_);
}

void LineDriver::setClockDelay(int32_t microseconds)
{
    clockDelay_ = microseconds;
    if (cable_)
        cable_->setHalfClock(microseconds);
}

void LineDriver::assertLines()
{
    if (lines_) {
        lines_->setDtr(true);
        lines_->setRts(true);
    } else if (cable_) {
        cable_->queueLevels(false, false);
        cable_->flush();
    }
}

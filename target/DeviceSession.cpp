// The calls a device operation makes inside its frame, each followed by the line check.
#include "target/DeviceSession.h"

#include "link/LineDriver.h"
#include "target/DeviceRunner.h"
#include "view/OperationView.h"
#include "view/Strings.h"

DeviceSession::DeviceSession(DeviceRunner& runner) : runner_(runner) {}

void DeviceSession::checkLine()
{
    if (runner_.line_.lineFailed())
        throw LineLost{};
}

uint8_t DeviceSession::readByte(int32_t address)
{
    needsRelease_ = true;
    const uint8_t value = runner_.memory_.readByte(address);
    checkLine();
    return value;
}

void DeviceSession::writeByte(int32_t address, uint8_t value)
{
    needsRelease_ = true;
    runner_.memory_.writeByte(address, value);
    checkLine();
}

uint8_t DeviceSession::transfer(const IspInstruction& instruction, const IspInstruction::Operands& operands)
{
    needsRelease_ = true;
    const uint8_t output = runner_.isp_.transfer(instruction, operands);
    checkLine();
    return output;
}

uint32_t DeviceSession::loadedPage() const { return runner_.memory_.loadedPage(); }

void DeviceSession::setLoadedPage(uint32_t page) { runner_.memory_.setLoadedPage(page); }

bool DeviceSession::step()
{
    runner_.view_.processEvents();
    checkLine();
    return !cancelRequested();
}

bool DeviceSession::cancelRequested()
{
    if (runner_.view_.cancelRequested())
        cancelSeen_ = true;
    return runner_.view_.cancelRequested();
}

void DeviceSession::fail() { failed_ = true; }

void DeviceSession::release()
{
    // Each release costs 70 ms; a second one with nothing sent between changes nothing.
    if (!needsRelease_)
        return;
    runner_.isp_.releaseTarget();
    needsRelease_ = false;
}

void DeviceSession::enter()
{
    needsRelease_ = true;
    runner_.isp_.enterProgrammingMode();
    checkLine();
}

bool DeviceSession::checkSync()
{
    needsRelease_ = true;
    const bool inStep = runner_.isp_.checkSync();
    if (!inStep) {
        needsRelease_ = false;  // checkSync released the target itself
        runner_.view_.showResult(QString::fromLatin1(Str::kCommunicationError), true);
    }
    checkLine();
    return inStep;
}

bool DeviceSession::stepLadder()
{
    const bool more = runner_.isp_.stepTimingLadder();
    checkLine();
    return more;
}

int32_t DeviceSession::clockDelay() const { return runner_.line_.clockDelay(); }

void DeviceSession::setClockDelay(int32_t microseconds) { runner_.line_.setClockDelay(microseconds); }

TargetState& DeviceSession::target() { return runner_.target_; }

OperationView& DeviceSession::view() { return runner_.view_; }

RunReport& DeviceSession::report() { return runner_.report_; }

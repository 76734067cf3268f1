// The calls a device operation makes inside its frame, each followed by the line check.
#include "target/DeviceSession.h"

#include "link/LineDriver.h"
#include "target/DeviceRunner.h"
#include "view/OperationView.h"

DeviceSession::DeviceSession(DeviceRunner& runner) : runner_(runner) {}

void DeviceSession::checkLine()
{
    if (runner_.line_.lineFailed())
        throw LineLost{};
}

uint8_t DeviceSession::readByte(int32_t address)
{
    needsRelease_ = true;
    const uint8_t value = runner_.memory_.ReadTargetByte(address);
    checkLine();
    return value;
}

void DeviceSession::writeByte(int32_t address, uint8_t value)
{
    needsRelease_ = true;
    runner_.memory_.WriteTargetByte(address, value);
    checkLine();
}

uint8_t DeviceSession::send(std::initializer_list<uint8_t> instruction)
{
    needsRelease_ = true;
    uint8_t reply = 0xFF;
    for (uint8_t byte : instruction)
        reply = runner_.isp_.SpiTransferByte(byte);
    checkLine();
    return reply;
}

uint16_t& DeviceSession::LoadedPage() { return runner_.memory_.LoadedPage; }

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
    runner_.isp_.ReleaseTarget();
    needsRelease_ = false;
}

void DeviceSession::enter()
{
    needsRelease_ = true;
    runner_.isp_.EnterProgrammingMode();
    checkLine();
}

bool DeviceSession::checkSync()
{
    needsRelease_ = true;
    const bool inStep = runner_.isp_.CheckSync();
    if (!inStep)
        needsRelease_ = false;  // CheckSync released the target itself
    checkLine();
    return inStep;
}

bool DeviceSession::stepLadder()
{
    const bool more = runner_.isp_.StepTimingLadder();
    checkLine();
    return more;
}

int32_t& DeviceSession::ClockDelay() { return runner_.line_.ClockDelay; }

TargetState& DeviceSession::target() { return runner_.target_; }

OperationView& DeviceSession::view() { return runner_.view_; }

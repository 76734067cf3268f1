// The calls a device operation makes inside its frame, each followed by the line check.
#include "target/DeviceSession.h"

#include <algorithm>

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

DeviceSession::Read DeviceSession::queueRead(int32_t address)
{
    needsRelease_ = true;
    return runner_.memory_.queueRead(address);
}

void DeviceSession::queueWrite(int32_t address, uint8_t value)
{
    needsRelease_ = true;
    runner_.memory_.queueWrite(address, value);
}

DeviceSession::Read DeviceSession::queue(const IspInstruction& instruction, const IspInstruction::Operands& operands)
{
    needsRelease_ = true;
    return runner_.isp_.queue(instruction, operands);
}

uint8_t DeviceSession::output(const IspInstruction& instruction, Read read) const
{
    return runner_.isp_.output(instruction, read);
}

void DeviceSession::queueSleep(int32_t milliseconds) { runner_.isp_.queueSleep(milliseconds); }

void DeviceSession::flush()
{
    runner_.isp_.flush();
    checkLine();
}

uint8_t DeviceSession::value(Read read) const { return runner_.memory_.readValue(read); }

void DeviceSession::readBytes(int32_t first, int32_t length, std::vector<uint8_t>& values)
{
    std::vector<Read> reads;
    for (int32_t i = 0; i < length; ++i)
        reads.push_back(queueRead(first + i));
    flush();
    values.clear();
    for (Read read : reads)
        values.push_back(value(read));
}

int32_t DeviceSession::batchLength(int instructions, int32_t waitUs) const
{
    if (!runner_.isp_.batches())
        return 1;
    // An instruction is 32 bits of two half clocks each.
    const int64_t perByte = int64_t{instructions} * 64 * runner_.line_.clockDelay() + waitUs;
    return static_cast<int32_t>(std::clamp<int64_t>(kBatchTimeUs / std::max<int64_t>(perByte, 1), 1, 4096));
}

int32_t DeviceSession::writeWaitUs() const { return 1000 * runner_.memory_.writeDelay(); }

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
    if (!needsRelease_) {
        runner_.isp_.flush();
        return;
    }
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

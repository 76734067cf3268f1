// Framing-independent part of every simulated chip: enable, busy window, cells.
#include "sim/ChipModel.h"

#include <algorithm>

ChipModel::ChipModel(SimChipType type, int frameLength, int flashSize, int eepromSize)
    : type_(type), frameLength_(frameLength)
{
    memories_.flash.assign(static_cast<size_t>(flashSize), 0xFF);
    memories_.eeprom.assign(static_cast<size_t>(eepromSize), 0xFF);
}

void ChipModel::resetToFactory() { memories_.erase(); }

uint8_t ChipModel::replyAfter(const uint8_t* frame, int index, Clock::time_point now)
{
    // Until programming mode is entered only an enable instruction gets an answer:
    // the echo that tells the programmer it is in step.
    if (!enabled_ && frame[0] != 0xAC)
        return 0xFF;
    if (index + 1 < frameLength_ - 1)
        return frame[index];
    const int data = dataReply(frame);
    if (data < 0 || (!enabled_ && !isEnable(frame)))
        return frame[index];
    if (busy(now) && !isEnable(frame))
        return busyReply();
    return static_cast<uint8_t>(data);
}

void ChipModel::execute(const uint8_t* frame, Clock::time_point now)
{
    lastReceived_ = frame[frameLength_ - 1];
    if (isEnable(frame)) {
        enabled_ = true;
        return;
    }
    if (enabled_)
        run(frame, now);
}

void ChipModel::loseWrites(SimMemory memory, uint32_t address, int count)
{
    lost_ = LostWrite{memory, address, std::max(count, 0)};
}

void ChipModel::startWriteCycle(Clock::time_point now, std::chrono::microseconds length, uint8_t pollValue)
{
    busyUntil_ = now + length;
    pollValue_ = pollValue;
}

std::vector<uint8_t>& ChipModel::cells(SimMemory memory)
{
    return memory == SimMemory::Flash ? memories_.flash : memories_.eeprom;
}

void ChipModel::writeCell(SimMemory memory, uint32_t address, uint8_t value, bool andOnly)
{
    std::vector<uint8_t>& target = cells(memory);
    if (address >= target.size())
        return;
    if (lost_.remaining > 0 && lost_.memory == memory && lost_.address == address) {
        --lost_.remaining;
        return;
    }
    target[address] = andOnly ? static_cast<uint8_t>(target[address] & value) : value;
}

uint8_t ChipModel::readCell(SimMemory memory, uint32_t address) const
{
    const std::vector<uint8_t>& source = memory == SimMemory::Flash ? memories_.flash : memories_.eeprom;
    return address < source.size() ? source[address] : 0xFF;
}

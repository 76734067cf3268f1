// The read and write instructions of the chosen memory, from the chip table. A
// word-addressed memory's instructions take the word and the byte of it (H).
#include "target/MemoryCommands.h"

#include "target/TargetState.h"

namespace {

IspInstruction::Operands operandsFor(const IspInstruction& instruction, uint32_t address, uint8_t value = 0)
{
    if (instruction.selectsByte())
        return {address / 2, value, (address & 1) != 0};
    return {address, value, false};
}

}  // namespace

MemoryCommands::MemoryCommands(IspLink& isp, const TargetState& target) : isp_(isp), target_(target) {}

uint8_t MemoryCommands::readByte(int32_t address)
{
    const IspLink::Ticket ticket = queueRead(address);
    isp_.flush();
    return readValue(ticket);
}

IspLink::Ticket MemoryCommands::queueRead(int32_t address)
{
    const MemorySpec* memory = target_.selectedMemory();
    if (!memory || memory->read.isEmpty())
        return 0;
    return isp_.queue(memory->read, operandsFor(memory->read, static_cast<uint32_t>(address)));
}

uint8_t MemoryCommands::readValue(IspLink::Ticket ticket) const
{
    const MemorySpec* memory = target_.selectedMemory();
    if (!memory || memory->read.isEmpty())
        return 0;
    return isp_.output(memory->read, ticket);
}

void MemoryCommands::writeByte(int32_t address, uint8_t value)
{
    queueWrite(address, value);
    isp_.flush();
}

void MemoryCommands::queueWrite(int32_t address, uint8_t value)
{
    const MemorySpec* memory = target_.selectedMemory();
    if (!memory)
        return;
    if (memory->paged()) {
        loadIntoPage(*memory, static_cast<uint32_t>(address), value);
        return;
    }
    if (memory->write.isEmpty())
        return;
    isp_.queue(memory->write, operandsFor(memory->write, static_cast<uint32_t>(address), value));
    isp_.queueDelay(1000 * writeDelayOf(*memory));
}

void MemoryCommands::loadIntoPage(const MemorySpec& memory, uint32_t address, uint8_t value)
{
    const uint32_t unitBytes = memory.loadPage.selectsByte() ? 2 : 1;
    const uint32_t pageUnits = static_cast<uint32_t>(memory.pageBytes) / unitBytes;
    const uint32_t page = (address / unitBytes) & ~(pageUnits - 1);
    if (page != loadedPage_) {
        // The buffer holds another page's bytes: write them to the memory first.
        isp_.queue(memory.commitPage, {loadedPage_});
        isp_.queueDelay(1000 * writeDelayOf(memory));
    }
    // Loading the buffer takes no write cycle.
    isp_.queue(memory.loadPage, operandsFor(memory.loadPage, address, value));
    loadedPage_ = page;
}

int32_t MemoryCommands::writeDelay() const
{
    const MemorySpec* memory = target_.selectedMemory();
    return memory ? writeDelayOf(*memory) : 0;
}

int32_t MemoryCommands::writeDelayOf(const MemorySpec& memory) const
{
    return memory.writeDelay >= 0 ? memory.writeDelay : target_.writeDelay;
}

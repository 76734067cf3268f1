// The read and write instructions of every TargetKind. The AT89S8252 and AT89S53
// pack the high address bits into the opcode byte (three bytes in all); the others
// send a four-byte instruction. The ATmega8 flash is word addressed and paged.
#include "target/MemoryCommands.h"

#include "link/IspLink.h"
#include "link/Timing.h"
#include "target/TargetState.h"

namespace {

constexpr uint16_t kPageMask = 0x0FE0;  // 32 words per ATmega8 flash page

// Opcode byte of the AT89S8252 / AT89S53 flash: A12..A8 in bits 7..3, A13 in bit 2.
uint8_t threeByteFlashOpcode(unsigned high, unsigned operation)
{
    return static_cast<uint8_t>(((high & 0x1F) << 3) | (((high >> 5) & 1) << 2) | operation);
}

// Opcode byte of the AT89S8252 EEPROM: A10..A8 in bits 5..3.
uint8_t threeByteEepromOpcode(unsigned high, unsigned operation)
{
    return static_cast<uint8_t>(((high & 0x07) << 3) | operation);
}

}  // namespace

MemoryCommands::MemoryCommands(IspLink& isp, const TargetState& target) : isp_(isp), target_(target) {}

uint8_t MemoryCommands::ReadTargetByte(int32_t address)
{
    const auto a = static_cast<uint32_t>(address);
    const unsigned high = (a >> 8) & 0xFF;
    const auto low = static_cast<uint8_t>(a & 0xFF);
    switch (target_.TargetKind) {
    case 1:
        isp_.SpiTransferByte(threeByteEepromOpcode(high, 0x05));
        isp_.SpiTransferByte(low);
        return isp_.SpiTransferByte(0x00);
    case 2:
        isp_.SpiTransferByte(threeByteFlashOpcode(high, 0x01));
        isp_.SpiTransferByte(low);
        return isp_.SpiTransferByte(0x00);
    case 3:
    case 5:
        isp_.SpiTransferByte(0x20);
        isp_.SpiTransferByte(static_cast<uint8_t>(high & 0x3F));
        break;
    case 4:
        isp_.SpiTransferByte(0xA0);
        isp_.SpiTransferByte(static_cast<uint8_t>(high & 0x07));
        break;
    case 6:
        isp_.SpiTransferByte(0xA0);
        isp_.SpiTransferByte(static_cast<uint8_t>(high & 0x01));
        break;
    case 7: {
        const uint32_t word = a / 2;
        isp_.SpiTransferByte((a & 1) ? 0x28 : 0x20);
        isp_.SpiTransferByte(static_cast<uint8_t>((word >> 8) & 0x0F));
        isp_.SpiTransferByte(static_cast<uint8_t>(word & 0xFF));
        return isp_.SpiTransferByte(0x00);
    }
    default:
        return 0;
    }
    isp_.SpiTransferByte(low);
    return isp_.SpiTransferByte(0x00);
}

void MemoryCommands::WriteTargetByte(int32_t address, uint8_t value)
{
    const auto a = static_cast<uint32_t>(address);
    const unsigned high = (a >> 8) & 0xFF;
    const auto low = static_cast<uint8_t>(a & 0xFF);
    int32_t wait = target_.WriteDelay;
    switch (target_.TargetKind) {
    case 1:
        isp_.SpiTransferByte(threeByteEepromOpcode(high, 0x06));
        isp_.SpiTransferByte(low);
        isp_.SpiTransferByte(value);
        break;
    case 2:
        isp_.SpiTransferByte(threeByteFlashOpcode(high, 0x02));
        isp_.SpiTransferByte(low);
        isp_.SpiTransferByte(value);
        break;
    case 3:
    case 5:
    case 4:
    case 6: {
        const bool eeprom = target_.TargetKind == 4 || target_.TargetKind == 6;
        const unsigned highMask = target_.TargetKind == 6 ? 0x01 : target_.TargetKind == 4 ? 0x07 : 0x3F;
        isp_.SpiTransferByte(eeprom ? 0xC0 : 0x40);
        isp_.SpiTransferByte(static_cast<uint8_t>(high & highMask));
        isp_.SpiTransferByte(low);
        isp_.SpiTransferByte(value);
        if (target_.TargetKind == 6)
            wait = target_.EepromWriteDelay;
        break;
    }
    case 7: {
        const uint32_t word = a / 2;
        const auto page = static_cast<uint16_t>(word & kPageMask);
        if (page != LoadedPage) {
            // The buffer holds another page's bytes: write them to flash first.
            isp_.SpiTransferByte(0x4C);
            isp_.SpiTransferByte(static_cast<uint8_t>((LoadedPage >> 8) & 0x0F));
            isp_.SpiTransferByte(static_cast<uint8_t>(LoadedPage & 0xE0));
            isp_.SpiTransferByte(0x00);
            DelayMilliseconds(target_.WriteDelay);
        }
        isp_.SpiTransferByte((a & 1) ? 0x48 : 0x40);
        isp_.SpiTransferByte(0x00);
        isp_.SpiTransferByte(static_cast<uint8_t>(word & 0x1F));
        isp_.SpiTransferByte(value);
        LoadedPage = page;
        return;  // loading the buffer takes no write cycle
    }
    default:
        return;
    }
    DelayMilliseconds(wait);
}

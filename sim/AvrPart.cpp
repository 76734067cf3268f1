// The simulated AVRs, one row each, from the Atmel datasheets. Calibration values
// are arbitrary but fixed, one per internal oscillator frequency the part calibrates.
#include "sim/AvrPart.h"

namespace {

using std::chrono::microseconds;
using T = SimChipType;

constexpr AvrFuseBit kSpienHigh{AvrFuse::High, 0x20};
constexpr AvrFuseBit kEesaveHigh{AvrFuse::High, 0x08};

// The ATmega8 generation: byte-wise EEPROM, no extended fuse, no RDY/BSY poll.
constexpr AvrPart classicMega(T type, std::array<uint8_t, 3> signature, int flashBytes, int pageWords, int eepromBytes,
                              uint8_t highFuse, std::array<uint8_t, 4> calibration)
{
    return {type,
            signature,
            flashBytes,
            pageWords,
            eepromBytes,
            0,
            {0xE1, highFuse, 0xFF},
            {0xFF, 0xFF, 0x00},
            kSpienHigh,
            kEesaveHigh,
            0x3F,
            false,
            calibration,
            4,
            microseconds{4500},
            microseconds{9000},
            microseconds{9000},
            microseconds{4500}};
}

// The ATmega48/88/168/328 generation: 4-byte EEPROM page buffer, extended fuse, RDY/BSY.
constexpr AvrPart modernMega(T type, std::array<uint8_t, 3> signature, int flashBytes, int pageWords, int eepromBytes,
                             uint8_t highFuse, uint8_t extendedFuse, uint8_t extendedBits, uint8_t lockBits,
                             uint8_t calibration)
{
    return {type,
            signature,
            flashBytes,
            pageWords,
            eepromBytes,
            4,
            {0x62, highFuse, extendedFuse},
            {0xFF, 0xFF, extendedBits},
            kSpienHigh,
            kEesaveHigh,
            lockBits,
            true,
            {calibration},
            1,
            microseconds{4500},
            microseconds{3600},
            microseconds{9000},
            microseconds{4500}};
}

// The ATtinys: 4-byte EEPROM page buffer, LB1/LB2 only, RDY/BSY, shorter erase and EEPROM cycles.
constexpr AvrPart tiny(T type, std::array<uint8_t, 3> signature, int flashBytes, int pageWords, int eepromBytes,
                       std::array<uint8_t, 3> factoryFuses, std::array<uint8_t, 3> fuseBits, AvrFuseBit spien,
                       AvrFuseBit eesave, std::array<uint8_t, 2> calibration)
{
    return {type,
            signature,
            flashBytes,
            pageWords,
            eepromBytes,
            4,
            factoryFuses,
            fuseBits,
            spien,
            eesave,
            0x03,
            true,
            {calibration[0], calibration[1]},
            2,
            microseconds{4500},
            microseconds{4000},
            microseconds{4000},
            microseconds{4500}};
}

// The ATtiny2313 and 25/45/85: SELFPRGEN alone in the extended fuse.
constexpr std::array<uint8_t, 3> kTinyFuseBits = {0xFF, 0xFF, 0x01};

constexpr std::array<AvrPart, 18> kParts = {{
    classicMega(T::Atmega8, {0x1E, 0x93, 0x07}, 8192, 32, 512, 0xD9, {0xA9, 0xA5, 0xA1, 0x9E}),
    classicMega(T::Atmega8515, {0x1E, 0x93, 0x06}, 8192, 32, 512, 0xD9, {0xA9, 0xA5, 0xA1, 0x9E}),
    classicMega(T::Atmega8535, {0x1E, 0x93, 0x08}, 8192, 32, 512, 0xD9, {0xA9, 0xA5, 0xA1, 0x9E}),
    // JTAG enabled at the factory (JTAGEN programmed).
    classicMega(T::Atmega16, {0x1E, 0x94, 0x03}, 16384, 64, 512, 0x99, {0xAD, 0xAA, 0xA6, 0xA2}),
    classicMega(T::Atmega32, {0x1E, 0x95, 0x02}, 32768, 64, 1024, 0x99, {0xA8, 0xA4, 0xA2, 0x9F}),
    // No boot section on the 48: no boot lock bits, and SELFPRGEN is its only extended fuse.
    modernMega(T::Atmega48, {0x1E, 0x92, 0x05}, 4096, 32, 256, 0xDF, 0xFF, 0x01, 0x03, 0x9B),
    modernMega(T::Atmega48p, {0x1E, 0x92, 0x0A}, 4096, 32, 256, 0xDF, 0xFF, 0x01, 0x03, 0x9D),
    // BOOTSZ1..0 programmed (largest boot section), BOOTRST not.
    modernMega(T::Atmega88, {0x1E, 0x93, 0x0A}, 8192, 32, 512, 0xDF, 0xF9, 0x07, 0x3F, 0x97),
    modernMega(T::Atmega88p, {0x1E, 0x93, 0x0F}, 8192, 32, 512, 0xDF, 0xF9, 0x07, 0x3F, 0x99),
    modernMega(T::Atmega168, {0x1E, 0x94, 0x06}, 16384, 64, 512, 0xDF, 0xF9, 0x07, 0x3F, 0x95),
    modernMega(T::Atmega168p, {0x1E, 0x94, 0x0B}, 16384, 64, 512, 0xDF, 0xF9, 0x07, 0x3F, 0x9A),
    // The 328s keep BOOTSZ and BOOTRST in the high fuse and BODLEVEL2..0 in the extended one.
    modernMega(T::Atmega328, {0x1E, 0x95, 0x14}, 32768, 64, 1024, 0xD9, 0xFF, 0x07, 0x3F, 0x96),
    modernMega(T::Atmega328p, {0x1E, 0x95, 0x0F}, 32768, 64, 1024, 0xD9, 0xFF, 0x07, 0x3F, 0x98),
    // The ATtiny13 keeps SPIEN and EESAVE in its low fuse and has five high fuse bits.
    tiny(T::Attiny13, {0x1E, 0x90, 0x07}, 1024, 16, 64, {0x6A, 0xFF, 0xFF}, {0xFF, 0x1F, 0x00}, {AvrFuse::Low, 0x80},
         {AvrFuse::Low, 0x40}, {0x56, 0x4C}),
    tiny(T::Attiny25, {0x1E, 0x91, 0x08}, 2048, 16, 128, {0x62, 0xDF, 0xFF}, kTinyFuseBits, kSpienHigh, kEesaveHigh,
         {0x8E, 0x71}),
    tiny(T::Attiny45, {0x1E, 0x92, 0x06}, 4096, 32, 256, {0x62, 0xDF, 0xFF}, kTinyFuseBits, kSpienHigh, kEesaveHigh,
         {0x90, 0x73}),
    tiny(T::Attiny85, {0x1E, 0x93, 0x0B}, 8192, 32, 512, {0x62, 0xDF, 0xFF}, kTinyFuseBits, kSpienHigh, kEesaveHigh,
         {0x8C, 0x6F}),
    // EESAVE sits in bit 6 of the ATtiny2313's high fuse.
    tiny(T::Attiny2313, {0x1E, 0x91, 0x0A}, 2048, 16, 128, {0x64, 0xDF, 0xFF}, kTinyFuseBits, kSpienHigh,
         {AvrFuse::High, 0x40}, {0x5F, 0x52}),
}};

// Page buffers are fixed arrays and pages are found by masking: sizes must be powers of two.
constexpr bool powerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }
constexpr bool plausible(const AvrPart& p)
{
    const bool flashFits = powerOfTwo(p.flashBytes) && powerOfTwo(p.pageWords)
        && p.pageWords * 2 <= AvrPart::kMaxPageBytes;
    const bool eepromFits = powerOfTwo(p.eepromBytes)
        && (p.eepromPageBytes == 0
            || (powerOfTwo(p.eepromPageBytes) && p.eepromPageBytes <= AvrPart::kMaxEepromPageBytes));
    return flashFits && eepromFits && p.calibrationCount >= 1 && p.calibrationCount <= 4;
}
constexpr bool allPlausible()
{
    for (const AvrPart& p : kParts)
        if (!plausible(p))
            return false;
    return true;
}
static_assert(allPlausible());

}  // namespace

const AvrPart* findAvrPart(SimChipType type)
{
    for (const AvrPart& p : kParts)
        if (p.type == type)
            return &p;
    return nullptr;
}

// The instruction notation: which patterns are instructions, how their bits are
// filled from the address, data and byte select, and how the answer is picked out.
#include <gtest/gtest.h>

#include "link/IspInstruction.h"

namespace {

using Bytes = IspInstruction::Bytes;

IspInstruction parsed(const char* pattern)
{
    const std::optional<IspInstruction> instruction = IspInstruction::parse(pattern);
    EXPECT_TRUE(instruction.has_value()) << pattern;
    return instruction.value_or(IspInstruction());
}

TEST(IspInstruction, FillsAddressDataAndByteSelectWhereThePatternPutsThem)
{
    // The ATmega8's flash read of a word's high byte, and its page load.
    const IspInstruction read = parsed("0010 H000  xxxx a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo");
    EXPECT_EQ(read.length(), 4);
    EXPECT_TRUE(read.selectsByte());
    EXPECT_TRUE(read.hasOutput());
    EXPECT_EQ(read.addressMask(), 0xFFFu);
    EXPECT_EQ(read.encode({0x0ABC, 0, true}), (Bytes{0x28, 0x0A, 0xBC, 0x00}));
    EXPECT_EQ(read.encode({0xFABC, 0, false}), (Bytes{0x20, 0x0A, 0xBC, 0x00})) << "bits it has not are dropped";

    const IspInstruction load = parsed("0100 H000  xxxx xxxx  xxx a4 a3 a2 a1 a0  iiii iiii");
    EXPECT_EQ(load.encode({0x1F, 0xA5, true}), (Bytes{0x48, 0x00, 0x1F, 0xA5}));
    EXPECT_FALSE(load.hasOutput());

    // Three bytes, with address bits out of order in the first.
    const IspInstruction threeByte = parsed("a12 a11 a10 a9 a8 a13 1 0  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii");
    EXPECT_EQ(threeByte.length(), 3);
    EXPECT_EQ(threeByte.encode({0x2ABC, 0x5A, false}), (Bytes{0x56, 0xBC, 0x5A, 0x00}));

    // Data bits named one by one go where they stand, whatever their number.
    const IspInstruction lock = parsed("1010 1100  i7 i6 i5 0 0 1 1 1  0000 0000");
    EXPECT_EQ(lock.encode({0, 0x27, false}), (Bytes{0xAC, 0x27, 0x00, 0x00}));
    EXPECT_EQ(lock.encode({0, 0xFF, false}), (Bytes{0xAC, 0xE7, 0x00, 0x00}));
    const IspInstruction low = parsed("1010 1100  1110 00 i1 i0  xxxx xxxx  xxxx xxxx");
    EXPECT_EQ(low.encode({0, 3, false}), (Bytes{0xAC, 0xE3, 0x00, 0x00}));
}

TEST(IspInstruction, PicksTheAnswerFromTheBytesWhereItsOBitsStand)
{
    const IspInstruction enable = parsed("1010 1100  0101 0011  oooo oooo  xxxx xxxx");
    EXPECT_EQ(enable.decode({0xFF, 0xAC, 0x53, 0x00}), 0x53);
    const IspInstruction lockRead = parsed("0101 1000  0000 0000  xxxx xxxx  xxoo oooo");
    EXPECT_EQ(lockRead.decode({0xFF, 0xFF, 0xFF, 0xC5}), 0x05);
    // Output bits named one by one: LB3..LB1 read back in bits 4..2 of the last byte.
    const IspInstruction numbered = parsed("0010 0100  0000 0000  0000 0000  xxx o2 o1 o0 xx");
    EXPECT_EQ(numbered.decode({0, 0, 0, 0b00010100}), 0b101);
    EXPECT_EQ(parsed("1010 1100  100x xxxx  xxxx xxxx  xxxx xxxx").decode({0xFF, 0xFF, 0xFF, 0xFF}), 0);
}

TEST(IspInstruction, RefusesWhatIsNoInstruction)
{
    for (const char* bad : {
             "",                                                       // nothing
             "1010 1100  0101 0011",                                   // two bytes
             "1010 1100  0101 0011  0000 000",                         // not whole bytes
             "1010 1100  0101 0011  0000 0000  0000 0000  0000 0000",  // five bytes
             "1010 1100  0101 0011  0000 0000  0000 000z",             // an unknown sign
             "a8 a8 000000  0000 0000  0000 0000",                     // an address bit twice
             "a32 0000000  0000 0000  0000 0000",                      // beyond 32 address bits
             "i8 0000000  0000 0000  0000 0000",                       // beyond the data byte
             "H H 000000  0000 0000  0000 0000",                       // two byte selects
             "oooo oooo  oooo oooo  0000 0000",                        // the same answer bits twice
             "a 0000000  0000 0000  0000 0000",                        // an address bit without its number
         }) {
        EXPECT_FALSE(IspInstruction::parse(bad).has_value()) << '"' << bad << '"';
    }
    EXPECT_TRUE(IspInstruction().isEmpty());
    EXPECT_EQ(IspInstruction(), IspInstruction());
}

}  // namespace

// One set of chip-level checks run through the real IspLink against both chip
// models: our simulated chips in process, and ../shared/visp behind a real
// SerialLink (each visp case re-runs this test binary with the library preloaded,
// so QSerialPort and the modem-line ioctls are the ones a user's run makes).
#include <gtest/gtest.h>
#include <thread>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/SimulatedPorts.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "tests/sim/VispRerun.h"

namespace {

enum class Backend { Sim, Visp };
enum class Family { Avr, FourByte, ThreeByte };

struct ChipCase {
    const char* keyword;   // our SIM: keyword
    const char* vispChip;  // VISP_CHIP
    SimChipType type;
    Family family;
    bool hasEeprom;
    std::array<uint8_t, 3> signature;  // all 0 for chips without one
    Backend backend;
};

// Names a case in test listings instead of dumping its bytes, pointers included.
void PrintTo(const ChipCase& c, std::ostream* os)
{
    *os << c.keyword << (c.backend == Backend::Sim ? " on sim" : " on visp");
}

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
// Long enough for any write cycle of any chip to be over.
constexpr int kCycleOverMs = 15;

class ChipContract : public ::testing::TestWithParam<ChipCase> {
protected:
    void SetUp() override
    {
        const ChipCase& c = GetParam();
        // Our chip table's enable and signature read bring the chip into step.
        isp_.setProtocol(&chipForName(QLatin1String(c.keyword))->isp);
        if (!connectChip(line_, c.backend == Backend::Visp, c.type, c.vispChip)) {
            delegated_ = true;
            return;
        }
        isp_.enterProgrammingMode();
        ASSERT_TRUE(isp_.checkSync());
    }

    std::vector<uint8_t> send(std::initializer_list<uint8_t> bytes)
    {
        std::vector<uint8_t> replies;
        for (uint8_t b : bytes)
            replies.push_back(isp_.transferByte(b));
        return replies;
    }
    uint8_t last(std::initializer_list<uint8_t> bytes) { return send(bytes).back(); }

    Family family() const { return GetParam().family; }

    uint8_t readFlash(uint32_t a)
    {
        const auto hi = static_cast<uint8_t>(a >> 8), lo = static_cast<uint8_t>(a);
        switch (family()) {
        case Family::Avr: {
            const uint32_t w = a / 2;
            return last({uint8_t(a & 1 ? 0x28 : 0x20), uint8_t((w >> 8) & 0x0F), uint8_t(w), 0});
        }
        case Family::FourByte: return last({0x20, uint8_t(hi & 0x3F), lo, 0});
        case Family::ThreeByte: return last({uint8_t(((hi & 0x1F) << 3) | ((hi & 0x20) >> 3) | 0x01), lo, 0});
        }
        return 0;
    }
    void writeFlash(uint32_t a, uint8_t v)
    {
        const auto hi = static_cast<uint8_t>(a >> 8), lo = static_cast<uint8_t>(a);
        switch (family()) {
        case Family::Avr: {
            const uint32_t w = a / 2;
            send({uint8_t(a & 1 ? 0x48 : 0x40), 0, uint8_t(w & 0x1F), v});
            send({0x4C, uint8_t((w >> 8) & 0x0F), uint8_t(w & 0xE0), 0});
            return;
        }
        case Family::FourByte: send({0x40, uint8_t(hi & 0x3F), lo, v}); return;
        case Family::ThreeByte: send({uint8_t(((hi & 0x1F) << 3) | ((hi & 0x20) >> 3) | 0x02), lo, v}); return;
        }
    }
    uint8_t readEeprom(uint32_t a)
    {
        const auto hi = static_cast<uint8_t>(a >> 8), lo = static_cast<uint8_t>(a);
        if (family() == Family::ThreeByte)
            return last({uint8_t(((hi & 0x07) << 3) | 0x05), lo, 0});
        return last({0xA0, hi, lo, 0});
    }
    void writeEeprom(uint32_t a, uint8_t v)
    {
        const auto hi = static_cast<uint8_t>(a >> 8), lo = static_cast<uint8_t>(a);
        if (family() == Family::ThreeByte)
            send({uint8_t(((hi & 0x07) << 3) | 0x06), lo, v});
        else
            send({0xC0, hi, lo, v});
    }
    void chipErase()
    {
        if (family() == Family::ThreeByte)
            send({0xAC, 0x04, 0x00});
        else
            send({0xAC, 0x80, 0x00, 0x00});
        pause(kCycleOverMs);
    }

    LineDriver line_;
    int32_t writeDelay_ = 0;
    IspLink isp_{line_, writeDelay_};
    bool delegated_ = false;  // a child process with visp ran the test, and SetUp checked that it passed
};

TEST_P(ChipContract, AnswersTheEnableInstruction)
{
    if (delegated_)
        return;
    if (family() == Family::ThreeByte) {
        EXPECT_EQ(send({0xAC, 0x53, 0x00})[2], 0x53) << "the byte before echoes through";
    } else if (family() == Family::Avr) {
        EXPECT_EQ(send({0xAC, 0x53, 0x00, 0x00})[2], 0x53);
    } else {
        EXPECT_EQ(send({0xAC, 0x53, 0x00, 0x00})[3], 0x69);
    }
}

TEST_P(ChipContract, ReadsItsSignature)
{
    if (family() == Family::ThreeByte)
        GTEST_SKIP() << "no signature can be read from the AT89S8252 or AT89S53";
    if (delegated_)
        return;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(isp_.readSignatureByte(i), GetParam().signature[static_cast<size_t>(i)]) << "byte " << i;
}

TEST_P(ChipContract, FlashReadsBackWhatWasWrittenAfterTheCycle)
{
    if (delegated_)
        return;
    for (uint32_t a : {0x0000u, 0x0001u, 0x0FFFu}) {
        writeFlash(a, static_cast<uint8_t>(0x5A ^ a));
        pause(kCycleOverMs);
        EXPECT_EQ(readFlash(a), static_cast<uint8_t>(0x5A ^ a)) << "address " << a;
    }
    // A second write to a written cell: only the self-erasing 89S chips replace it.
    writeFlash(0x10, 0x0F);
    pause(kCycleOverMs);
    writeFlash(0x10, 0xF0);
    pause(kCycleOverMs);
    EXPECT_EQ(readFlash(0x10), family() == Family::ThreeByte ? 0xF0 : 0x00);
}

TEST_P(ChipContract, EepromReplacesBytesWithoutAnErase)
{
    if (!GetParam().hasEeprom)
        GTEST_SKIP() << "this chip has no EEPROM";
    if (delegated_)
        return;
    for (uint8_t v : {uint8_t{0x0F}, uint8_t{0xF0}}) {
        writeEeprom(0x1FF, v);
        pause(kCycleOverMs);
        EXPECT_EQ(readEeprom(0x1FF), v);
    }
}

TEST_P(ChipContract, ChipEraseLeavesFlashErased)
{
    if (delegated_)
        return;
    writeFlash(0x20, 0x00);
    pause(kCycleOverMs);
    ASSERT_EQ(readFlash(0x20), 0x00);
    chipErase();
    EXPECT_EQ(readFlash(0x20), 0xFF);
}

TEST_P(ChipContract, IgnoresWritesAndShowsPollingDataWhileBusy)
{
    if (GetParam().type == SimChipType::At89s51 || GetParam().type == SimChipType::At89s52)
        GTEST_SKIP() << "the half-millisecond write cycle is over before a read can be clocked in reliably";
    if (delegated_)
        return;
    // The second write and the read say something only when they came inside the first
    // write's cycle, and on a loaded machine a stall between two instructions can outlast
    // a cycle. So each attempt shows where it landed, and a late one is tried again at
    // fresh addresses: the 89S chips' polling data is the byte being written, so the first
    // byte's still showing after the second write proves both came inside its cycle; an
    // AVR shows only 0xFF, so its attempt is timed against the ATmega8 family's 9 ms
    // EEPROM cycle.
    constexpr auto kAvrEepromCycle = std::chrono::microseconds(9000);
    const bool avr = family() == Family::Avr;
    auto write = [&](uint32_t a, uint8_t v) { avr ? writeEeprom(a, v) : writeFlash(a, v); };
    auto read = [&](uint32_t a) { return avr ? readEeprom(a) : readFlash(a); };
    for (uint32_t a = 0x10; a < 0x38; a += 2) {
        const auto began = std::chrono::steady_clock::now();
        write(a, 0x42);
        write(a + 1, 0x43);
        const uint8_t seen = read(a);
        const bool inside = avr ? std::chrono::steady_clock::now() - began < kAvrEepromCycle : seen == (0x42 ^ 0x80);
        pause(kCycleOverMs);
        if (!inside)
            continue;
        EXPECT_EQ(seen, avr ? 0xFF : 0x42 ^ 0x80) << "read during the cycle";
        EXPECT_EQ(read(a), 0x42);
        EXPECT_EQ(read(a + 1), 0xFF) << "written while busy";
        return;
    }
    ADD_FAILURE() << "no attempt ran inside one write cycle, or the chip took a write during one";
}

TEST_P(ChipContract, LockBitsReadBackAndEraseClearsThem)
{
    const ChipCase& c = GetParam();
    if (c.type == SimChipType::At89s8253 || family() == Family::ThreeByte)
        GTEST_SKIP() << "this chip has no instruction that reads the lock bits";
    if (delegated_)
        return;
    if (family() == Family::Avr) {
        EXPECT_EQ(last({0x50, 0x00, 0x00, 0x00}), 0xE1);
        EXPECT_EQ(last({0x58, 0x08, 0x00, 0x00}), 0xD9);
        EXPECT_EQ(last({0x58, 0x00, 0x00, 0x00}), 0xFF);
        send({0xAC, 0xE0, 0x00, 0xFC});
        pause(kCycleOverMs);
        EXPECT_EQ(last({0x58, 0x00, 0x00, 0x00}), 0xFC);
        chipErase();
        EXPECT_EQ(last({0x58, 0x00, 0x00, 0x00}), 0xFF);
    } else {
        EXPECT_EQ(last({0x24, 0x00, 0x00, 0x00}) & 0x1C, 0x00);
        send({0xAC, 0xE1, 0x00, 0x00});
        EXPECT_EQ(last({0x24, 0x00, 0x00, 0x00}) & 0x1C, 0x04) << "LB1 programmed";
        chipErase();
        EXPECT_EQ(last({0x24, 0x00, 0x00, 0x00}) & 0x1C, 0x00);
    }
}

std::vector<ChipCase> allCases()
{
    const std::vector<ChipCase> chips = {
        {"atmega8", "atmega8", SimChipType::Atmega8, Family::Avr, true, {0x1E, 0x93, 0x07}, Backend::Sim},
        {"atmega8515", "atmega8515", SimChipType::Atmega8515, Family::Avr, true, {0x1E, 0x93, 0x06}, Backend::Sim},
        {"atmega8535", "atmega8535", SimChipType::Atmega8535, Family::Avr, true, {0x1E, 0x93, 0x08}, Backend::Sim},
        {"s52", "at89s52", SimChipType::At89s52, Family::FourByte, false, {0x1E, 0x52, 0x06}, Backend::Sim},
        {"s51", "at89s51", SimChipType::At89s51, Family::FourByte, false, {0x1E, 0x51, 0x06}, Backend::Sim},
        {"s8253", "at89s8253", SimChipType::At89s8253, Family::FourByte, true, {0x1E, 0x73, 0xFF}, Backend::Sim},
        {"s8252", "at89s8252", SimChipType::At89s8252, Family::ThreeByte, true, {}, Backend::Sim},
        {"s53", "at89s53", SimChipType::At89s53, Family::ThreeByte, false, {}, Backend::Sim},
    };
    std::vector<ChipCase> cases;
    for (Backend backend : {Backend::Sim, Backend::Visp})
        for (ChipCase c : chips) {
            c.backend = backend;
            cases.push_back(c);
        }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BothModels, ChipContract, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<ChipCase>& info) {
                             return std::string(info.param.keyword)
                                 + (info.param.backend == Backend::Sim ? "_sim" : "_visp");
                         });

}  // namespace

// The AVRs beyond the ATmega8 family, checked through the real IspLink against both
// chip models (ours in process, ../shared/visp behind a real SerialLink): what each
// part's datasheet says a programmer sees. Where the two models disagree one is wrong.
#include <gtest/gtest.h>
#include <functional>
#include <thread>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "tests/sim/VispRerun.h"

namespace {

using std::chrono::microseconds;
using Clock = std::chrono::steady_clock;

enum class Backend { Sim, Visp };
enum Fuse { Low, High, Extended };

struct FuseBit {
    Fuse fuse;
    uint8_t mask;
};

struct AvrCase {
    const char* keyword;  // SIM: keyword and VISP_CHIP alike
    SimChipType type;
    std::array<uint8_t, 3> signature;
    int flashBytes;
    int pageWords;
    int eepromBytes;
    bool eepromPages;                 // C1/C2 page buffer
    std::array<uint8_t, 3> fuses;     // factory low, high, extended
    std::array<uint8_t, 3> fuseBits;  // the bits each byte has; extended 0 = none
    FuseBit spien;
    FuseBit eesave;
    uint8_t lockBits;
    bool pollsReady;  // F0
    int calibrationCount;
    microseconds eepromCycle;  // the datasheet's tWD_EEPROM and tWD_ERASE
    microseconds eraseCycle;
    bool wholeFlash;
    Backend backend = Backend::Sim;
};

void PrintTo(const AvrCase& c, std::ostream* os)
{
    *os << c.keyword << (c.backend == Backend::Sim ? " on sim" : " on visp");
}

constexpr microseconds kFlashCycle{4500};  // tWD_FLASH, the same on every part here
constexpr microseconds kFuseCycle{4500};   // tWD_FUSE
constexpr FuseBit kSpienHigh{High, 0x20};
constexpr FuseBit kEesaveHigh{High, 0x08};

AvrCase mega16or32(const char* k, SimChipType t, std::array<uint8_t, 3> sig, int flash, int eeprom, bool whole)
{
    return {k,
            t,
            sig,
            flash,
            64,
            eeprom,
            false,
            {0xE1, 0x99, 0xFF},
            {0xFF, 0xFF, 0x00},
            kSpienHigh,
            kEesaveHigh,
            0x3F,
            false,
            4,
            microseconds{9000},
            microseconds{9000},
            whole};
}
AvrCase mega(const char* k, SimChipType t, std::array<uint8_t, 3> sig, int flash, int page, int eeprom, uint8_t high,
             uint8_t ext, uint8_t extBits, uint8_t lockBits, bool whole)
{
    return {k,
            t,
            sig,
            flash,
            page,
            eeprom,
            true,
            {0x62, high, ext},
            {0xFF, 0xFF, extBits},
            kSpienHigh,
            kEesaveHigh,
            lockBits,
            true,
            1,
            microseconds{3600},
            microseconds{9000},
            whole};
}
AvrCase tiny(const char* k, SimChipType t, std::array<uint8_t, 3> sig, int flash, int page, int eeprom,
             std::array<uint8_t, 3> fuses, bool whole)
{
    return {k,
            t,
            sig,
            flash,
            page,
            eeprom,
            true,
            fuses,
            {0xFF, 0xFF, 0x01},
            kSpienHigh,
            kEesaveHigh,
            0x03,
            true,
            2,
            microseconds{4000},
            microseconds{4000},
            whole};
}
AvrCase withFuseLayout(AvrCase c, std::array<uint8_t, 3> fuseBits, FuseBit spien, FuseBit eesave)
{
    c.fuseBits = fuseBits;
    c.spien = spien;
    c.eesave = eesave;
    return c;
}

// Full-size flash images go to four parts spanning the sizes (1, 4, 8 and 32 KiB; the
// last takes some 6 s per model, byte by byte over the bit-banged link); the others get
// their first two and last pages, where a wrong size, page size or address decoding shows.
std::vector<AvrCase> allCases()
{
    using T = SimChipType;
    const std::vector<AvrCase> chips = {
        mega16or32("atmega16", T::Atmega16, {0x1E, 0x94, 0x03}, 16384, 512, false),
        mega16or32("atmega32", T::Atmega32, {0x1E, 0x95, 0x02}, 32768, 1024, false),
        mega("atmega48", T::Atmega48, {0x1E, 0x92, 0x05}, 4096, 32, 256, 0xDF, 0xFF, 0x01, 0x03, true),
        mega("atmega48p", T::Atmega48p, {0x1E, 0x92, 0x0A}, 4096, 32, 256, 0xDF, 0xFF, 0x01, 0x03, false),
        mega("atmega88", T::Atmega88, {0x1E, 0x93, 0x0A}, 8192, 32, 512, 0xDF, 0xF9, 0x07, 0x3F, false),
        mega("atmega88p", T::Atmega88p, {0x1E, 0x93, 0x0F}, 8192, 32, 512, 0xDF, 0xF9, 0x07, 0x3F, false),
        mega("atmega168", T::Atmega168, {0x1E, 0x94, 0x06}, 16384, 64, 512, 0xDF, 0xF9, 0x07, 0x3F, false),
        mega("atmega168p", T::Atmega168p, {0x1E, 0x94, 0x0B}, 16384, 64, 512, 0xDF, 0xF9, 0x07, 0x3F, false),
        mega("atmega328", T::Atmega328, {0x1E, 0x95, 0x14}, 32768, 64, 1024, 0xD9, 0xFF, 0x07, 0x3F, false),
        mega("atmega328p", T::Atmega328p, {0x1E, 0x95, 0x0F}, 32768, 64, 1024, 0xD9, 0xFF, 0x07, 0x3F, true),
        // The ATtiny13 keeps SPIEN and EESAVE in its low fuse, has five high fuse bits and no extended fuse.
        withFuseLayout(tiny("attiny13", T::Attiny13, {0x1E, 0x90, 0x07}, 1024, 16, 64, {0x6A, 0xFF, 0xFF}, true),
                       {0xFF, 0x1F, 0x00}, {Low, 0x80}, {Low, 0x40}),
        tiny("attiny25", T::Attiny25, {0x1E, 0x91, 0x08}, 2048, 16, 128, {0x62, 0xDF, 0xFF}, false),
        tiny("attiny45", T::Attiny45, {0x1E, 0x92, 0x06}, 4096, 32, 256, {0x62, 0xDF, 0xFF}, false),
        tiny("attiny85", T::Attiny85, {0x1E, 0x93, 0x0B}, 8192, 32, 512, {0x62, 0xDF, 0xFF}, true),
        // The ATtiny2313's EESAVE is high fuse bit 6.
        withFuseLayout(tiny("attiny2313", T::Attiny2313, {0x1E, 0x91, 0x0A}, 2048, 16, 128, {0x64, 0xDF, 0xFF}, false),
                       {0xFF, 0xFF, 0x01}, kSpienHigh, {High, 0x40}),
    };

    std::vector<AvrCase> cases;
    for (Backend backend : {Backend::Sim, Backend::Visp})
        for (AvrCase c : chips) {
            c.backend = backend;
            cases.push_back(c);
        }
    return cases;
}

// Distinct in every byte of a page and between neighbouring pages, so a misplaced page shows.
uint8_t pattern(uint32_t address) { return static_cast<uint8_t>(address * 13 + (address >> 8) * 7 + 1); }

void pause(microseconds t) { std::this_thread::sleep_for(t); }

class AvrPartContract : public ::testing::TestWithParam<AvrCase> {
protected:
    void SetUp() override
    {
        const AvrCase& c = GetParam();
        // The ATmega8's enable and signature read, which every AVR here shares.
        isp_.setProtocol(&chipForKeyword(QStringLiteral("atmega8"))->isp);
        if (!connectChip(line_, c.backend == Backend::Visp, c.type, c.keyword)) {
            delegated_ = true;
            return;
        }
        isp_.enterProgrammingMode();
        ASSERT_TRUE(isp_.checkSync());
        // Neither model needs slow edges, and full-size images are many bytes: the shortest
        // half period after the handshake (the ladder only knows its own rungs).
        line_.setClockDelay(1);
    }

    const AvrCase& chip() const { return GetParam(); }

    uint8_t last(std::initializer_list<uint8_t> bytes)
    {
        uint8_t reply = 0;
        for (uint8_t b : bytes)
            reply = isp_.transferByte(b);
        return reply;
    }
    static uint8_t hi(uint32_t v) { return static_cast<uint8_t>(v >> 8); }
    static uint8_t lo(uint32_t v) { return static_cast<uint8_t>(v); }

    uint8_t readFlash(uint32_t a) { return last({uint8_t(a & 1 ? 0x28 : 0x20), hi(a / 2), lo(a / 2), 0}); }
    uint8_t readEeprom(uint32_t a) { return last({0xA0, hi(a), lo(a), 0}); }
    void writeEepromByte(uint32_t a, uint8_t v) { last({0xC0, hi(a), lo(a), v}); }
    void loadFlashByte(uint32_t a, uint8_t v) { last({uint8_t(a & 1 ? 0x48 : 0x40), 0, lo(a / 2), v}); }
    void commitFlashPage(uint32_t a) { last({0x4C, hi(a / 2), lo(a / 2), 0}); }
    void chipErase() { last({0xAC, 0x80, 0, 0}); }
    uint8_t readLock() { return last({0x58, 0x00, 0, 0}); }
    void writeLock(uint8_t v) { last({0xAC, 0xE0, 0, v}); }
    uint8_t readFuse(Fuse f)
    {
        static constexpr uint8_t kRead[3][2] = {{0x50, 0x00}, {0x58, 0x08}, {0x50, 0x08}};
        return last({kRead[f][0], kRead[f][1], 0, 0});
    }
    void writeFuse(Fuse f, uint8_t v)
    {
        static constexpr uint8_t kWrite[3] = {0xA0, 0xA8, 0xA4};
        last({0xAC, kWrite[f], 0, v});
    }
    bool hasExtendedFuse() const { return chip().fuseBits[Extended] != 0; }

    // What a programmer looks at to tell busy from ready: F0 where the part has it, else
    // a read, which shows 0xFF while busy (the signature's 0x1E once ready).
    uint8_t busyRead() { return chip().pollsReady ? last({0xF0, 0, 0, 0}) : isp_.readSignatureByte(0); }
    static uint8_t readyValue(const AvrCase& c) { return c.pollsReady ? 0xFE : 0x1E; }

    // Waits a cycle out: by polling where the part answers F0 (a cycle that never ends
    // fails), else by sleeping the longest cycle.
    void waitReady()
    {
        if (!chip().pollsReady) {
            pause(microseconds{10000});
            return;
        }
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(200);
        for (;;) {
            // Only a poll begun after the deadline proves the chip busy that late: a stall
            // between the poll and the clock reading must not.
            const Clock::time_point asked = Clock::now();
            if (busyRead() == 0xFE)
                return;
            ASSERT_LT(asked, deadline) << "still busy after 200 ms";
        }
    }

    void writeFlashPage(uint32_t base)
    {
        for (uint32_t a = base; a < base + uint32_t(chip().pageWords * 2); ++a)
            loadFlashByte(a, pattern(a));
        commitFlashPage(base);
        waitReady();
    }
    // Counts the cells of [from, to) that do not hold the pattern, naming the first.
    int patternMismatches(uint32_t from, uint32_t to, const std::function<uint8_t(uint32_t)>& read, std::string* first)
    {
        int bad = 0;
        for (uint32_t a = from; a < to; ++a) {
            const uint8_t got = read(a);
            if (got != pattern(a) && bad++ == 0)
                *first = "at " + std::to_string(a) + ": " + std::to_string(got) + " instead of "
                    + std::to_string(pattern(a));
        }
        return bad;
    }

    // One busy-window check: start begins a cycle of the datasheet's length, change would
    // alter the chip; then one busy read. Only an attempt that ran whole inside the cycle
    // says anything (a loaded machine can stall longer than a cycle between two
    // instructions, and a change that came after the cycle is rightly taken), so attempts
    // are timed and repeated until one fits. That one's cycle must be over once the
    // datasheet's time has passed; then verify looks at what the change left.
    void checkBusyWindow(const char* what, microseconds cycle, const std::function<void(int attempt)>& start,
                         const std::function<void(int attempt)>& change, const std::function<void(int attempt)>& verify)
    {
        constexpr int kAttempts = 20;
        constexpr microseconds kLeeway{1000};
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const Clock::time_point began = Clock::now();
            start(attempt);
            const Clock::time_point cycleBegunBy = Clock::now();
            change(attempt);
            const uint8_t seen = busyRead();
            if (Clock::now() - began >= cycle) {
                waitReady();
                continue;
            }
            EXPECT_EQ(seen, 0xFF) << what << ": a read during the cycle";
            std::this_thread::sleep_until(cycleBegunBy + cycle + kLeeway);
            EXPECT_EQ(busyRead(), readyValue(chip())) << what << ": still busy after the datasheet's time";
            waitReady();
            verify(attempt);
            return;
        }
        ADD_FAILURE() << what << ": no attempt of " << kAttempts << " ran inside one cycle";
    }

    LineDriver line_;
    int32_t writeDelay_ = 0;
    IspLink isp_{line_, writeDelay_};
    bool delegated_ = false;  // a child process with visp ran the test, and SetUp checked that it passed
};

TEST_P(AvrPartContract, NamesItselfAndAnswersReady)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(isp_.readSignatureByte(i), c.signature[size_t(i)]) << "signature byte " << i;
    // One calibration byte per oscillator setting, the index taken modulo their number.
    auto calibration = [&](int index) { return last({0x38, 0x00, uint8_t(index), 0}); };
    EXPECT_EQ(calibration(c.calibrationCount), calibration(0));
    if (c.calibrationCount > 1) {
        EXPECT_NE(calibration(1), calibration(0)) << "a byte for each setting";
    }
    if (c.pollsReady) {
        EXPECT_EQ(last({0xF0, 0, 0, 0}), 0xFE);
    }
}

TEST_P(AvrPartContract, FlashHoldsAnImageWrittenThroughThePageBuffer)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    const uint32_t pageBytes = uint32_t(c.pageWords * 2);
    const uint32_t end = uint32_t(c.flashBytes);
    const std::vector<std::pair<uint32_t, uint32_t>> spans = c.wholeFlash
        ? std::vector<std::pair<uint32_t, uint32_t>>{{0, end}}
        : std::vector<std::pair<uint32_t, uint32_t>>{{0, 2 * pageBytes}, {end - pageBytes, end}};
    for (const auto& [from, to] : spans)
        for (uint32_t page = from; page < to; page += pageBytes)
            writeFlashPage(page);
    for (const auto& [from, to] : spans) {
        std::string first;
        EXPECT_EQ(patternMismatches(
                      from, to, [&](uint32_t a) { return readFlash(a); }, &first),
                  0)
            << first;
    }
    // Address bits above the size are not decoded: the word past the end is word 0.
    EXPECT_EQ(readFlash(end), pattern(0));
    EXPECT_EQ(readFlash(end + 1), pattern(1));
    if (!c.wholeFlash) {
        EXPECT_EQ(readFlash(2 * pageBytes), 0xFF) << "a page never written";
    }
}

TEST_P(AvrPartContract, EepromHoldsAnImageAndPageWritesChangeOnlyLoadedBytes)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    const uint32_t end = uint32_t(c.eepromBytes);
    auto readBack = [&](uint32_t a) { return readEeprom(a); };
    std::string first;
    // Byte-wise writes, which every part has: the last bytes (and the first ones where that is all).
    const uint32_t bytewiseFrom = end - 4;
    for (uint32_t a = bytewiseFrom; a < end; ++a) {
        writeEepromByte(a, pattern(a));
        waitReady();
    }
    if (!c.eepromPages) {
        for (uint32_t a = 0; a < 4; ++a) {
            writeEepromByte(a, pattern(a));
            waitReady();
        }
        EXPECT_EQ(patternMismatches(0, 4, readBack, &first), 0) << first;
    } else {
        for (uint32_t page = 0; page < bytewiseFrom; page += 4) {
            for (uint32_t i = 0; i < 4; ++i)
                last({0xC1, 0x00, uint8_t(i), pattern(page + i)});
            last({0xC2, hi(page), lo(page), 0});
            waitReady();
        }
        EXPECT_EQ(patternMismatches(0, bytewiseFrom, readBack, &first), 0) << first;
        // One byte loaded: it is replaced (not ANDed) and its page neighbours keep their values.
        last({0xC1, 0x00, 0x01, uint8_t(~pattern(1))});
        last({0xC2, 0x00, 0x00, 0});
        waitReady();
        EXPECT_EQ(readEeprom(1), uint8_t(~pattern(1)));
        EXPECT_EQ(readEeprom(0), pattern(0));
        EXPECT_EQ(readEeprom(2), pattern(2));
    }
    EXPECT_EQ(patternMismatches(bytewiseFrom, end, readBack, &first), 0) << first;
    EXPECT_EQ(readEeprom(end + 2), pattern(2)) << "addresses wrap at the size";
}

TEST_P(AvrPartContract, FusesLeaveTheFactoryAsDocumentedAndKeepWhatIsWritten)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    EXPECT_EQ(readFuse(Low), c.fuses[Low]);
    EXPECT_EQ(readFuse(High), c.fuses[High]);
    if (hasExtendedFuse()) {
        EXPECT_EQ(readFuse(Extended), c.fuses[Extended]);
    }
    EXPECT_EQ(readLock(), 0xFF);

    // SPIEN stays programmed whatever is written over the interface that needs it.
    writeFuse(c.spien.fuse, 0xFF);
    waitReady();
    EXPECT_EQ(readFuse(c.spien.fuse), uint8_t(~c.spien.mask));
    // The clock selection bits, which every part has in its low fuse.
    const auto low = uint8_t(c.fuses[Low] ^ 0x0F);
    writeFuse(Low, low);
    waitReady();
    EXPECT_EQ(readFuse(Low), low);
    // Bits a fuse byte does not have read 1 whatever is written.
    writeFuse(High, 0x00);
    waitReady();
    EXPECT_EQ(readFuse(High), uint8_t(~c.fuseBits[High]));
    if (hasExtendedFuse()) {
        writeFuse(Extended, 0x00);
        waitReady();
        EXPECT_EQ(readFuse(Extended), uint8_t(~c.fuseBits[Extended]));
    }
    EXPECT_EQ(readFuse(Low), low) << "the other fuses are untouched";
}

TEST_P(AvrPartContract, IgnoresChangesAndReadsBusyDuringEveryCycle)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    checkBusyWindow(
        "EEPROM byte write", c.eepromCycle, [&](int n) { writeEepromByte(uint32_t(2 * n), 0x42); },
        [&](int n) { writeEepromByte(uint32_t(2 * n + 1), 0x43); },
        [&](int n) {
            EXPECT_EQ(readEeprom(uint32_t(2 * n)), 0x42);
            EXPECT_EQ(readEeprom(uint32_t(2 * n + 1)), 0xFF) << "written while busy";
        });
    const uint32_t pageBytes = uint32_t(c.pageWords * 2);
    checkBusyWindow(
        "flash page write", kFlashCycle,
        [&](int n) {
            loadFlashByte(0, 0x11);
            commitFlashPage(uint32_t(2 * n) * pageBytes);
        },
        [&](int) { loadFlashByte(0, 0x22); },
        [&](int n) {
            commitFlashPage(uint32_t(2 * n + 1) * pageBytes);
            waitReady();
            EXPECT_EQ(readFlash(uint32_t(2 * n) * pageBytes), 0x11);
            EXPECT_EQ(readFlash(uint32_t(2 * n + 1) * pageBytes), 0xFF) << "loaded while busy";
        });
    checkBusyWindow(
        "fuse write", kFuseCycle, [&](int) { writeFuse(Low, c.fuses[Low]); }, [&](int) { writeFuse(Low, 0xE4); },
        [&](int) { EXPECT_EQ(readFuse(Low), c.fuses[Low]); });
    checkBusyWindow(
        "chip erase", c.eraseCycle, [&](int) { chipErase(); }, [&](int n) { writeEepromByte(uint32_t(n), 0x44); },
        [&](int n) { EXPECT_EQ(readEeprom(uint32_t(n)), 0xFF) << "written while erasing"; });
}

TEST_P(AvrPartContract, ChipEraseKeepsTheEepromOnlyWhileEesaveIsProgrammed)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    auto fillAndErase = [&] {
        loadFlashByte(0, 0x5A);
        commitFlashPage(0);
        waitReady();
        writeEepromByte(7, 0xA5);
        waitReady();
        ASSERT_EQ(readFlash(0), 0x5A);
        ASSERT_EQ(readEeprom(7), 0xA5);
        chipErase();
        waitReady();
        EXPECT_EQ(readFlash(0), 0xFF);
    };
    fillAndErase();
    EXPECT_EQ(readEeprom(7), 0xFF) << "EESAVE unprogrammed at the factory";

    const auto withEesave = uint8_t(c.fuses[c.eesave.fuse] & ~c.eesave.mask);
    writeFuse(c.eesave.fuse, withEesave);
    waitReady();
    fillAndErase();
    EXPECT_EQ(readEeprom(7), 0xA5) << "EESAVE programmed";
    EXPECT_EQ(readFuse(c.eesave.fuse), withEesave) << "an erase leaves the fuses";
}

TEST_P(AvrPartContract, LockBitsProtectTheMemoriesUntilAnErase)
{
    if (delegated_)
        return;
    const AvrCase& c = chip();
    // Only the part's own bits can be programmed; the others read 1.
    writeLock(0x00);
    waitReady();
    EXPECT_EQ(readLock(), uint8_t(~c.lockBits));
    chipErase();
    waitReady();
    EXPECT_EQ(readLock(), 0xFF);

    writeEepromByte(3, 0x33);
    waitReady();
    loadFlashByte(4, 0x44);
    commitFlashPage(0);
    waitReady();

    // LB1 alone: writes refused, reads still allowed; lock bits only go from 1 to 0.
    writeLock(0xFE);
    waitReady();
    writeLock(0xFF);
    waitReady();
    EXPECT_EQ(readLock(), 0xFE);
    writeEepromByte(3, 0x35);
    waitReady();
    writeEepromByte(5, 0x55);
    waitReady();
    loadFlashByte(6, 0x66);
    commitFlashPage(0);
    waitReady();
    EXPECT_EQ(readEeprom(3), 0x33);
    EXPECT_EQ(readEeprom(5), 0xFF);
    EXPECT_EQ(readFlash(4), 0x44);
    EXPECT_EQ(readFlash(6), 0xFF);

    // LB2 as well: verification is disabled too, so reads no longer show the contents.
    writeLock(0xFC);
    waitReady();
    EXPECT_NE(readEeprom(3), 0x33);
    EXPECT_NE(readFlash(4), 0x44);

    chipErase();
    waitReady();
    EXPECT_EQ(readLock(), 0xFF);
    writeEepromByte(3, 0x33);
    waitReady();
    EXPECT_EQ(readEeprom(3), 0x33) << "writable again after the erase";
}

TEST_P(AvrPartContract, ChipEraseEmptiesThePageBuffers)
{
    if (delegated_)
        return;
    // Bytes loaded before an erase are gone after it: a programmer must load after erasing.
    loadFlashByte(2, 0x12);
    if (chip().eepromPages) {
        last({0xC1, 0x00, 0x01, 0x34});
    }
    chipErase();
    waitReady();
    commitFlashPage(0);
    waitReady();
    EXPECT_EQ(readFlash(2), 0xFF);
    if (chip().eepromPages) {
        last({0xC2, 0x00, 0x00, 0x00});
        waitReady();
        EXPECT_EQ(readEeprom(1), 0xFF);
    }
}

INSTANTIATE_TEST_SUITE_P(BothModels, AvrPartContract, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<AvrCase>& info) {
                             return std::string(info.param.keyword)
                                 + (info.param.backend == Backend::Sim ? "_sim" : "_visp");
                         });

}  // namespace

// The newer AVRs' additions through the real IspLink and the simulated chips: the
// RDY/BSY poll that ends a write cycle's wait early (and never waits longer than the
// full wait), the EEPROM written through its page buffer, the extended fuse.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>

#include "target/DeviceSession.h"
#include "target/EraseChip.h"
#include "target/FuseBits.h"
#include "target/ProgramChip.h"
#include "target/WriteCycle.h"
#include "tests/target/ChipBench.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

bool isPoll(const Bytes& frame) { return frame[0] == 0xF0; }

// The four-byte instructions in what was sent.
std::vector<Bytes> framesOf(const Bytes& sent)
{
    std::vector<Bytes> frames;
    for (size_t i = 0; i + 4 <= sent.size(); i += 4)
        frames.emplace_back(sent.begin() + static_cast<std::ptrdiff_t>(i),
                            sent.begin() + static_cast<std::ptrdiff_t>(i + 4));
    return frames;
}

TEST(WriteCycle, APolledChipEndsTheWaitWhenItIsReadyAndNeverAfterTheFullWait)
{
    ChipBench bench("atmega328p");
    const ChipEntry& chip = *bench.target.chip;
    milliseconds waited{};
    bool ready = false;
    Bytes sent;
    bench.runner.run([&](DeviceSession& session) {
        sent = bench.sentBy([&] {
            // A page write's cycle is 4.5 ms; the full wait given here is far longer.
            session.transfer(chip.flash.loadPage, {0, 0x56});
            session.transfer(chip.flash.commitPage, {64});
            const Clock::time_point start = Clock::now();
            IspLink isp(bench.line, bench.target.writeDelay);
            ready = awaitWriteCycle(isp, &chip, 2000);
            waited = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
        });
    });
    EXPECT_TRUE(ready);
    EXPECT_LT(waited, milliseconds(1000)) << "the chip was ready after 4.5 ms";
    const std::vector<Bytes> frames = framesOf(sent);
    ASSERT_GE(frames.size(), 3u);
    EXPECT_TRUE(std::all_of(frames.begin() + 2, frames.end(), isPoll));
    EXPECT_EQ(bench.chip().flash[128], 0x56);

    // An empty socket reads busy for ever: the poll gives up once the full wait is over.
    ChipBench empty("atmega328p", false, true);
    IspLink isp(empty.line, empty.target.writeDelay);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(awaitWriteCycle(isp, empty.target.chip, 30));
    EXPECT_GE(Clock::now() - start, milliseconds(30));
}

TEST(WriteCycle, ChipsWithoutThePollOrOnASlowClockGetTheFullWaitAndNoPoll)
{
    for (const char* keyword : {"atmega16", "atmega8", "attiny85"}) {
        SCOPED_TRACE(keyword);
        ChipBench bench(keyword);
        // One poll at the 2005 µs rung takes 128 ms, longer than the wait it would shorten.
        if (bench.target.chip->pollsReady())
            bench.line.setClockDelay(2005);
        IspLink isp(bench.line, bench.target.writeDelay);
        Bytes sent;
        const Clock::time_point start = Clock::now();
        sent = bench.sentBy([&] { EXPECT_FALSE(awaitWriteCycle(isp, bench.target.chip, 20)); });
        EXPECT_GE(Clock::now() - start, milliseconds(20));
        EXPECT_TRUE(sent.empty());
    }
}

class PagedEeprom : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString imageFile(const Bytes& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("image.bin"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(PagedEeprom, AWriteGoesFourBytesAPageAndLeavesWhatLiesBeyondTheImage)
{
    ChipBench bench("atmega328p", true);
    bench.clockAsFastAsTheSimulationAllows();
    std::fill(bench.chip().eeprom.begin(), bench.chip().eeprom.end(), 0x77);
    // Seven bytes: the second page holds three of them, and its fourth byte is not the image's.
    const Bytes image = {1, 2, 3, 4, 5, 6, 7};
    QString file = imageFile(image);
    Bytes sent = bench.sentBy([&] { EXPECT_EQ(programChip(bench.runner, file, true), RunOutcome::Done); });
    const std::vector<uint8_t>& eeprom = bench.chip().eeprom;
    EXPECT_TRUE(std::equal(image.begin(), image.end(), eeprom.begin()));
    EXPECT_EQ(eeprom[7], 0x77) << "the byte after an odd-length image";
    EXPECT_EQ(eeprom[8], 0x77);
    const std::vector<Bytes> frames = framesOf(sent);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const Bytes& f) { return f[0] == 0xC2; }), 2);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const Bytes& f) { return f[0] == 0xC0; }), 0);
    EXPECT_NE(std::find(frames.begin(), frames.end(), Bytes{0xC2, 0x00, 0x04, 0x00}), frames.end());

    // The whole EEPROM, as the read-back verifies it.
    Bytes full(1024);
    for (size_t i = 0; i < full.size(); ++i)
        full[i] = uint8_t(i * 7 + (i >> 8));
    file = imageFile(full);
    EXPECT_EQ(programChip(bench.runner, file, true), RunOutcome::Done);
    EXPECT_TRUE(std::equal(full.begin(), full.end(), eeprom.begin()));
}

TEST(ExtendedFuse, IsReadWrittenAfterTheHighFuseAndLeftAloneWhereAChipHasNone)
{
    ChipBench bench("atmega328p");
    FuseBytes fuses;
    ASSERT_EQ(readFuseBits(bench.runner, &fuses), RunOutcome::Done);
    EXPECT_EQ(fuses.low, 0x62);
    EXPECT_EQ(fuses.high, 0xD9);
    EXPECT_EQ(fuses.extended, 0xFF);
    const Bytes sent = bench.sentBy([&] {
        EXPECT_EQ(writeFuseBits(bench.runner, {.low = 0xFF, .high = 0xDE, .extended = 0xFD}), RunOutcome::Done);
    });
    // Each write waits for the one before: the chip ignores a write during a fuse write cycle.
    const std::vector<Bytes> frames = framesOf(sent);
    const auto at = [&](const Bytes& f) { return std::find(frames.begin(), frames.end(), f) - frames.begin(); };
    EXPECT_LT(at({0xAC, 0xA0, 0x00, 0xFF}), at({0xAC, 0xA8, 0x00, 0xDE}));
    EXPECT_LT(at({0xAC, 0xA8, 0x00, 0xDE}), at({0xAC, 0xA4, 0x00, 0xFD}));
    EXPECT_LT(at({0xAC, 0xA4, 0x00, 0xFD}), std::ptrdiff_t(frames.size()));
    EXPECT_EQ(bench.chip().lowFuse, 0xFF);
    EXPECT_EQ(bench.chip().highFuse, 0xDE);
    EXPECT_EQ(bench.chip().extendedFuse & 0x07, 0x05);

    // The ATtiny13 has no extended fuse: nothing is sent for it, and it reads 0xFF.
    ChipBench tiny("attiny13");
    const Bytes tinySent = tiny.sentBy([&] { EXPECT_EQ(readFuseBits(tiny.runner, &fuses), RunOutcome::Done); });
    for (const Bytes& frame : framesOf(tinySent))
        EXPECT_NE(frame, (Bytes{0x50, 0x08, 0x00, frame[3]}));
    EXPECT_EQ(fuses.low, 0x6A);
    EXPECT_EQ(fuses.high, 0xFF);
    EXPECT_EQ(fuses.extended, 0xFF);
}

TEST(ChipErase, APolledChipIsErasedAndWritableAtOnceAfterIt)
{
    ChipBench bench("attiny85");
    bench.chip().flash[10] = 0x00;
    const Bytes sent = bench.sentBy([&] { EXPECT_EQ(eraseChip(bench.runner), RunOutcome::Done); });
    const std::vector<Bytes> frames = framesOf(sent);
    const auto erase = std::find(frames.begin(), frames.end(), Bytes{0xAC, 0x80, 0x00, 0x00});
    ASSERT_NE(erase, frames.end());
    ASSERT_NE(erase + 1, frames.end());
    EXPECT_TRUE(isPoll(*(erase + 1))) << "the erase cycle is polled";
    EXPECT_EQ(bench.chip().flash[10], 0xFF);
}

}  // namespace

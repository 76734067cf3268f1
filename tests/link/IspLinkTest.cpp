// IspLink against a scripted cable: the exact line sequence of a byte, the enable
// and probe bytes of each chip of the table, and the timing ladder's bookkeeping.
#include <chrono>
#include <gtest/gtest.h>
#include <vector>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "target/ChipCatalogue.h"

namespace {

using Clock = std::chrono::steady_clock;

// A cable that logs every line operation and answers CTS from a fixed level, or
// with 0x1E on the byte a probe keeps once the clock is slow enough.
class ScriptedLines : public ModemLines {
public:
    struct Op {
        char line;  // 'D', 'R' or 'C' (CTS read)
        bool level;
    };
    void setDtr(bool asserted) override
    {
        ops.push_back({'D', asserted});
        ++calls;
    }
    void setRts(bool asserted) override
    {
        ops.push_back({'R', asserted});
        ++calls;
    }
    // Both in one call, logged as the two changes in the order they act.
    void setLines(bool dtr, bool rts) override
    {
        ops.push_back({'D', dtr});
        ops.push_back({'R', rts});
        ++calls;
    }
    bool cts() override
    {
        ops.push_back({'C', ctsAsserted});
        ++calls;
        return ctsAsserted;
    }

    // The bytes sent, sampled as a chip would: MOSI at each RTS clear.
    std::vector<uint8_t> sentBytes() const
    {
        std::vector<uint8_t> bytes;
        bool dtr = true;
        unsigned shift = 0;
        int bits = 0;
        for (const Op& op : ops) {
            if (op.line == 'D')
                dtr = op.level;
            if (op.line == 'R' && !op.level) {
                shift = (shift << 1) | (dtr ? 0u : 1u);
                if (++bits == 8) {
                    bytes.push_back(static_cast<uint8_t>(shift));
                    bits = 0;
                }
            }
        }
        return bytes;
    }

    std::vector<Op> ops;
    int calls = 0;  // line calls, a call that sets both lines counting once
    bool ctsAsserted = false;
};

// A link to the chip of a keyword ("" for no chip chosen) over the scripted cable.
struct LinkBench {
    explicit LinkBench(const char* keyword)
    {
        const ChipEntry* chip = chipForKeyword(QLatin1String(keyword));
        isp.setProtocol(chip ? &chip->isp : nullptr);
        isp.setEventPump([this] { ++eventPasses; });
        auto owned = std::make_unique<ScriptedLines>();
        lines = owned.get();
        driver.attach(std::move(owned));
    }
    LineDriver driver{nullptr};
    int32_t writeDelay = 0;
    IspLink isp{driver, writeDelay};
    ScriptedLines* lines = nullptr;
    int eventPasses = 0;
};

const std::vector<const char*> kKeywords = {"s8252", "s8253", "s53", "s52", "s51", "atmega8"};

TEST(TransferByte, DrivesMosiMsbFirstWithTheFallingClockAndReadsCtsWhileItIsHigh)
{
    LinkBench bench("atmega8");
    bench.isp.transferByte(0xAC);
    // Per bit: DTR (bit 1 = cleared) together with RTS set (clock low), RTS cleared
    // (the rising edge the chip samples on), then CTS.
    const bool dtrLevels[8] = {false, true, false, true, false, false, true, true};
    ASSERT_EQ(bench.lines->ops.size(), 32u);
    for (int bit = 0; bit < 8; ++bit) {
        const ScriptedLines::Op* op = &bench.lines->ops[static_cast<size_t>(bit) * 4];
        EXPECT_EQ(op[0].line, 'D');
        EXPECT_EQ(op[0].level, dtrLevels[bit]) << "bit " << bit;
        EXPECT_EQ(op[1].line, 'R');
        EXPECT_TRUE(op[1].level);
        EXPECT_EQ(op[2].line, 'R');
        EXPECT_FALSE(op[2].level);
        EXPECT_EQ(op[3].line, 'C');
    }
    EXPECT_EQ(bench.lines->calls, 8 * 3) << "MOSI and the falling clock are one call";
}

TEST(Transfer, ReadsCtsOnlyForTheBytesThatCarryTheAnswer)
{
    // An EEPROM read: three bytes out unanswered, the fourth read back. Each bit is two
    // line calls, the read byte's bits one more; the next instruction's first bit brings
    // the clock down, so a run of reads costs (64 + 8) / 32 = 2.25 calls per bit.
    LinkBench bench("atmega8");
    const IspInstruction& read = chipForKeyword(QStringLiteral("atmega8"))->eeprom.read;
    for (int i = 0; i < 4; ++i)
        bench.isp.queue(read, {static_cast<uint32_t>(i)});
    ASSERT_TRUE(bench.isp.flush());
    EXPECT_EQ(bench.lines->calls, 4 * (64 + 8));
    int ctsReads = 0;
    for (const ScriptedLines::Op& op : bench.lines->ops)
        ctsReads += op.line == 'C' ? 1 : 0;
    EXPECT_EQ(ctsReads, 4 * 8);
    // A write reads nothing at all, and a later pause brings the clock down first.
    bench.lines->ops.clear();
    bench.lines->calls = 0;
    bench.isp.queue(chipForKeyword(QStringLiteral("atmega8"))->eeprom.write, {0, 0x5A});
    bench.isp.queueDelay(0);
    EXPECT_EQ(bench.lines->calls, 64 + 1);
    EXPECT_EQ(bench.lines->ops.back().line, 'R');
    EXPECT_TRUE(bench.lines->ops.back().level);
}

TEST(TransferByte, ReadsCtsInvertedIntoTheByte)
{
    LinkBench bench("atmega8");
    bench.lines->ctsAsserted = false;
    EXPECT_EQ(bench.isp.transferByte(0x00), 0xFF);
    bench.lines->ctsAsserted = true;
    EXPECT_EQ(bench.isp.transferByte(0xFF), 0x00);
}

TEST(ProgrammingEnable, SendsThreeBytesToThreeByteChipsAndFourToTheOthers)
{
    for (const char* keyword : kKeywords) {
        LinkBench bench(keyword);
        const auto start = Clock::now();
        bench.isp.enterProgrammingMode();
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(170)) << keyword;
        std::vector<uint8_t> expected = {0xAC, 0x53, 0x00};
        if (keyword != std::string("s8252") && keyword != std::string("s53"))
            expected.push_back(0x00);
        EXPECT_EQ(bench.lines->sentBytes(), expected) << keyword;
        // It starts from the rest levels: MOSI 1 (DTR cleared), clock idle (RTS set).
        EXPECT_EQ(bench.lines->ops[0].line, 'D');
        EXPECT_FALSE(bench.lines->ops[0].level);
        EXPECT_EQ(bench.lines->ops[1].line, 'R');
        EXPECT_TRUE(bench.lines->ops[1].level);
    }
}

TEST(ProgrammingEnable, ChecksTheEchoWhereTheChipGivesOne)
{
    // An AVR echoes 0x53 during the third byte, an AT89S51/52/8253 answers 0x69 in the
    // fourth; an idle line reads 0xFF, which is neither.
    for (const char* keyword : {"s8253", "s52", "atmega8"}) {
        LinkBench bench(keyword);
        EXPECT_FALSE(bench.isp.enterProgrammingMode()) << keyword;
    }
    // Nothing is known of the three-byte chips' answer, so nothing can fail.
    LinkBench threeByte("s53");
    EXPECT_TRUE(threeByte.isp.enterProgrammingMode());
}

TEST(SignatureProbe, SendsTheSignatureReadOfEachChip)
{
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"", {0x00}},  // no chip chosen: only the answering byte, which cannot be 0x1E from nothing
        {"s52", {0x28, 0x00, 0x00, 0x00}},
        {"s51", {0x28, 0x00, 0x00, 0x00}},
        {"s8253", {0x28, 0x00, 0x30, 0x00}},
        {"atmega8", {0x30, 0x00, 0x00, 0x00}}};
    for (const auto& [keyword, bytes] : cases) {
        LinkBench bench(keyword);
        EXPECT_FALSE(bench.isp.probeSignature()) << "an idle CTS reads 0xFF, not 0x1E";
        EXPECT_EQ(bench.lines->sentBytes(), bytes) << keyword;
    }
}

TEST(SyncCheck, ThreeByteChipsAreInSyncWithoutTouchingTheLinesOrWaiting)
{
    LinkBench bench("s8252");
    // No 70 ms settle: the quickest of a few tries, since a loaded machine may stall any one.
    auto quickest = Clock::duration::max();
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        EXPECT_TRUE(bench.isp.checkSync());
        quickest = std::min(quickest, Clock::now() - start);
    }
    EXPECT_LT(quickest, std::chrono::milliseconds(60));
    EXPECT_TRUE(bench.lines->ops.empty());
    EXPECT_EQ(bench.driver.clockDelay(), 5);
}

TEST(TimingLadder, ClimbsOneRungAndStopsAtTheTop)
{
    struct Case {
        int32_t from, to;
        bool more;
    };
    for (const Case& c : {Case{5, 7, true}, Case{7, 25, true}, Case{205, 2005, true}, Case{2005, 20000, false},
                          Case{20000, 20000, false}, Case{6, 6, true}}) {
        LinkBench bench("atmega8");
        bench.driver.setClockDelay(c.from);
        bench.writeDelay = 7;
        EXPECT_EQ(bench.isp.stepTimingLadder(), c.more) << "from " << c.from;
        EXPECT_EQ(bench.driver.clockDelay(), c.to);
        EXPECT_EQ(bench.writeDelay, 10) << "every step adds 3, the last one too";
        EXPECT_EQ(bench.eventPasses, 1);
    }
}

TEST(SyncCheck, ATargetThatNeverAnswersFailsAfterFiveTriesAndResetsTheClock)
{
    LinkBench bench("atmega8");
    bench.writeDelay = 7;
    EXPECT_FALSE(bench.isp.checkSync());
    // 5 probes, each slower rung starting again from the enable (a target too slow
    // for the last rung missed that as well); the step to 20000 ends without a try.
    const std::vector<uint8_t> probe = {0x30, 0x00, 0x00, 0x00};
    std::vector<uint8_t> expected = probe;
    for (int rung = 0; rung < 4; ++rung) {
        expected.insert(expected.end(), {0xAC, 0x53, 0x00, 0x00});
        expected.insert(expected.end(), probe.begin(), probe.end());
    }
    EXPECT_EQ(bench.lines->sentBytes(), expected);
    EXPECT_EQ(bench.writeDelay, 7 + 15);
    EXPECT_EQ(bench.driver.clockDelay(), 5);
    // Released: the last line operations put MOSI to 1 and the clock to idle.
    const auto& ops = bench.lines->ops;
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[ops.size() - 2].line, 'D');
    EXPECT_FALSE(ops[ops.size() - 2].level);
    EXPECT_EQ(ops.back().line, 'R');
    EXPECT_TRUE(ops.back().level);
}

}  // namespace

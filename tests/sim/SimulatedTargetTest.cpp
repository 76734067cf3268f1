// The simulated chips' own features beyond the datasheet checks of the contract:
// a slow target against the timing ladder, lost writes, framing recovery, SIM:
// port names and the state that persists between runs.
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedPorts.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "tests/sim/SimFolderTest.h"
#include "tests/support/RecordingView.h"

namespace {

struct SimBench {
    explicit SimBench(const char* keyword)
    {
        applyChipState(target, chipForKeyword(QString::fromLatin1(keyword)));
        isp.setProtocol(&target.chip->isp);
        isp.setEventPump([this] { ++eventPasses; });
        auto chip = std::make_unique<SimulatedTarget>(
            makeChipModel(*simChipTypeForKeyword(QString::fromLatin1(keyword))));
        sim = chip.get();
        // A loaded machine can stall longer than the default inside an instruction;
        // only the framing tests need the idle clock to realign.
        sim->setResyncIdle(std::chrono::minutes(1));
        line.attach(std::move(chip));
    }
    uint8_t last(std::initializer_list<uint8_t> bytes)
    {
        uint8_t reply = 0;
        for (uint8_t b : bytes)
            reply = isp.transferByte(b);
        return reply;
    }
    LineDriver line;
    TargetState target;
    IspLink isp{line, target.writeDelay};
    SimulatedTarget* sim = nullptr;
    int eventPasses = 0;
};

void waitOutWriteCycle() { std::this_thread::sleep_for(std::chrono::milliseconds(15)); }

TEST(SlowTarget, LadderSettlesOnTheFirstRungItUnderstands)
{
    SimBench bench("atmega8");
    bench.sim->setMinHalfPeriod(std::chrono::microseconds(205));
    const int32_t writeDelay = bench.target.writeDelay;
    bench.isp.enterProgrammingMode();
    EXPECT_TRUE(bench.isp.checkSync());
    EXPECT_EQ(bench.line.clockDelay(), 205);
    EXPECT_EQ(bench.target.writeDelay, writeDelay + 9);
    EXPECT_EQ(bench.eventPasses, 3);
}

TEST(EmptySocket, FailsAfterFiveTries)
{
    LineDriver line;
    ASSERT_TRUE(line.open(QStringLiteral("SIM:none")));
    int32_t writeDelay = 0;
    IspLink isp(line, writeDelay);
    isp.setProtocol(&chipForKeyword(QStringLiteral("atmega8"))->isp);
    int eventPasses = 0;
    isp.setEventPump([&] { ++eventPasses; });
    EXPECT_FALSE(isp.enterProgrammingMode()) << "no echo from an empty socket";
    EXPECT_FALSE(isp.checkSync());
    EXPECT_EQ(eventPasses, 5);
    EXPECT_EQ(line.clockDelay(), 5);
}

TEST(LostWrites, OnlyTheFirstWritesToThatCellAreLost)
{
    SimBench bench("s8252");
    bench.sim->chip()->loseWrites(SimMemory::Flash, 0x123, 2);
    bench.isp.enterProgrammingMode();
    for (uint8_t v : {uint8_t{0x11}, uint8_t{0x22}, uint8_t{0x33}}) {
        bench.last({(0x01 << 3) | 0x02, 0x23, v});
        waitOutWriteCycle();
    }
    bench.last({(0x01 << 3) | 0x02, 0x24, 0x44});
    waitOutWriteCycle();
    EXPECT_EQ(bench.last({(0x01 << 3) | 0x01, 0x23, 0x00}), 0x33);
    EXPECT_EQ(bench.last({(0x01 << 3) | 0x01, 0x24, 0x00}), 0x44);
}

TEST(AvrPageWrite, CommitsOnlyTheLoadedBytesAndEmptiesTheBuffer)
{
    SimBench bench("atmega8");
    bench.isp.enterProgrammingMode();
    bench.last({0x40, 0x00, 0x01, 0xA5});  // word 1 low byte: byte address 2
    bench.last({0x4C, 0x00, 0x00, 0x00});
    waitOutWriteCycle();
    bench.last({0x4C, 0x00, 0x00, 0x00});  // a second commit of an empty buffer
    waitOutWriteCycle();
    EXPECT_EQ(bench.last({0x20, 0x00, 0x01, 0x00}), 0xA5);
    EXPECT_EQ(bench.last({0x28, 0x00, 0x01, 0x00}), 0xFF);
    EXPECT_EQ(bench.last({0x20, 0x00, 0x00, 0x00}), 0xFF);
}

// Where ../shared/visp answers otherwise, the datasheets side with this model: the
// ATmega8 family lists no RDY/BSY instruction and gives a 9 ms tWD_ERASE, and lock mode
// 2 locks the fuse bits as well as the memories.
TEST(AvrDatasheet, TheAtmega8FamilyIsPolledByReadingAndBusyAfterAnErase)
{
    SimBench bench("atmega8");
    bench.isp.enterProgrammingMode();
    EXPECT_NE(bench.last({0xF0, 0x00, 0x00, 0x00}), 0xFE) << "no RDY/BSY poll to answer";
    const auto erased = std::chrono::steady_clock::now();
    bench.last({0xAC, 0x80, 0x00, 0x00});
    const uint8_t during = bench.last({0x30, 0x00, 0x00, 0x00});
    if (std::chrono::steady_clock::now() - erased < std::chrono::microseconds(8000)) {
        EXPECT_EQ(during, 0xFF) << "busy during tWD_ERASE";
    }
    std::this_thread::sleep_until(erased + std::chrono::milliseconds(10));
    EXPECT_EQ(bench.last({0x30, 0x00, 0x00, 0x00}), 0x1E);
}

TEST(AvrDatasheet, LockModeTwoLocksTheFuses)
{
    for (const char* keyword : {"atmega8", "atmega328p", "attiny13"}) {
        SCOPED_TRACE(keyword);
        SimBench bench(keyword);
        bench.isp.enterProgrammingMode();
        const uint8_t low = bench.last({0x50, 0x00, 0x00, 0x00});
        bench.last({0xAC, 0xE0, 0x00, 0xFE});
        waitOutWriteCycle();
        bench.last({0xAC, 0xA0, 0x00, uint8_t(low ^ 0x01)});
        waitOutWriteCycle();
        EXPECT_EQ(bench.last({0x50, 0x00, 0x00, 0x00}), low);
        // An erase unlocks them again.
        bench.last({0xAC, 0x80, 0x00, 0x00});
        waitOutWriteCycle();
        bench.last({0xAC, 0xA0, 0x00, uint8_t(low ^ 0x01)});
        waitOutWriteCycle();
        EXPECT_EQ(bench.last({0x50, 0x00, 0x00, 0x00}), uint8_t(low ^ 0x01));
    }
}

TEST(Framing, AnIdleClockRealignsAfterAStrayBit)
{
    SimBench bench("atmega8");
    bench.isp.enterProgrammingMode();
    // One stray clock pulse puts the chip a bit out of step (with the bench's long idle
    // time, so that a stall on a loaded machine cannot realign it here)...
    bench.sim->setRts(false);
    bench.sim->setRts(true);
    EXPECT_NE(bench.last({0x30, 0x00, 0x00, 0x00}), 0x1E);
    // ...until the clock rests, as it does before every enable sequence.
    bench.sim->setResyncIdle(SimulatedTarget::kResyncIdle);
    bench.isp.enterProgrammingMode();
    bench.sim->setResyncIdle(std::chrono::minutes(1));
    EXPECT_TRUE(bench.isp.probeSignature());
}

TEST(Framing, InstructionsBeforeTheEnableAreIgnored)
{
    SimBench bench("atmega8");
    EXPECT_EQ(bench.last({0x30, 0x00, 0x00, 0x00}), 0xFF);
    bench.last({0xC0, 0x00, 0x05, 0x12});
    waitOutWriteCycle();
    bench.isp.enterProgrammingMode();
    EXPECT_EQ(bench.last({0xA0, 0x00, 0x05, 0x00}), 0xFF);
}

class SimPortNames : public SimFolderTest {};

TEST_F(SimPortNames, RefusesUnknownChipsAndOptions)
{
    PortError why;
    EXPECT_EQ(openSimulatedPort(QStringLiteral("SIM:at90s1200"), &why), nullptr);
    EXPECT_EQ(why.code, PortError::Code::UnknownSimulatedChip);
    EXPECT_EQ(why.detail, QStringLiteral("at90s1200"));
    for (const char* bad : {"SIM:atmega8,slow=x", "SIM:atmega8,lose=12", "SIM:atmega8,fast=1"}) {
        why = {};
        EXPECT_EQ(openSimulatedPort(QLatin1String(bad), &why), nullptr) << bad;
        EXPECT_EQ(why.code, PortError::Code::BadPortOption) << bad;
        EXPECT_EQ(why.port, QLatin1String(bad));
    }
    EXPECT_EQ(openSimulatedPort(QStringLiteral("SIM:"), &why), nullptr);
    EXPECT_NE(openSimulatedPort(QStringLiteral("SIM:atmega8,slow=205,lose=0x40:2"), &why), nullptr);
    // The programs reach them through the port opener, which main() told of SIM:.
    EXPECT_NE(PortOpener::open(QStringLiteral("sim:s52"), &why), nullptr);
}

TEST_F(SimPortNames, ChipStatePersistsBetweenRuns)
{
    auto run = [](const std::function<void(IspLink&)>& body) {
        LineDriver line;
        ASSERT_TRUE(line.open(QStringLiteral("SIM:atmega8")));
        TargetState target;
        applyChipState(target, chipForKeyword(QStringLiteral("atmega8")));
        IspLink isp(line, target.writeDelay);
        isp.setProtocol(&target.chip->isp);
        isp.enterProgrammingMode();
        ASSERT_TRUE(isp.checkSync());
        body(isp);
    };
    run([](IspLink& isp) {
        for (uint8_t b : {0xC0, 0x01, 0x23, 0x9A})
            isp.transferByte(b);
        waitOutWriteCycle();
        for (uint8_t b : {0xAC, 0xA0, 0x00, 0xE4})
            isp.transferByte(b);
        waitOutWriteCycle();
    });
    EXPECT_TRUE(QFileInfo::exists(dir_.filePath(QStringLiteral("atmega8.simchip"))));
    run([](IspLink& isp) {
        uint8_t reply = 0;
        for (uint8_t b : {0xA0, 0x01, 0x23, 0x00})
            reply = isp.transferByte(b);
        EXPECT_EQ(reply, 0x9A);
        for (uint8_t b : {0x50, 0x00, 0x00, 0x00})
            reply = isp.transferByte(b);
        EXPECT_EQ(reply, 0xE4);
    });
}

// Another program may open the chip next, or this one may never close it (killed): the
// file holds what each operation left, while the port is still open.
TEST_F(SimPortNames, TheStateIsSavedWhenEachOperationEndsNotOnlyAtClose)
{
    RecordingView view;
    LineDriver line;
    ASSERT_TRUE(line.open(QStringLiteral("SIM:s52")));
    TargetState target;
    applyChipState(target, chipForKeyword(QStringLiteral("s52")));
    DeviceRunner runner(line, target, view);
    const QString path = simStatePath(dir_.path(), SimChipType::At89s52);
    const auto saved = [&](int32_t address) {
        auto chip = makeChipModel(SimChipType::At89s52);
        return loadChipState(path, *chip) == ChipStateLoad::Loaded ? chip->memories().flash[address] : -1;
    };
    for (const auto& [address, value] : {std::pair{0x10, 0x5A}, std::pair{0x1FFF, 0x00}}) {
        EXPECT_EQ(runner.run([&](DeviceSession& s) { s.writeByte(address, uint8_t(value)); }), RunOutcome::Done);
        EXPECT_EQ(saved(address), value);
    }
    EXPECT_EQ(saved(0x10), 0x5A);
}

// Within one program a chip may be opened again (a port dialog reopening the port it
// has); another program is refused while one has it (the cli's tests run two).
TEST_F(SimPortNames, OneProgramMayHoldAChipMoreThanOnce)
{
    PortError why;
    std::unique_ptr<ModemLines> first = openSimulatedPort(QStringLiteral("SIM:atmega8"), &why);
    std::unique_ptr<ModemLines> second = openSimulatedPort(QStringLiteral("SIM:ATMEGA8,slow=5"), &why);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_TRUE(QFileInfo::exists(simStatePath(dir_.path(), SimChipType::Atmega8) + QStringLiteral(".lock")));
    first.reset();
    second.reset();
    EXPECT_FALSE(QFileInfo::exists(simStatePath(dir_.path(), SimChipType::Atmega8) + QStringLiteral(".lock")));
}

TEST_F(SimPortNames, ADamagedStateFileIsReportedAndPutAsideForAnErasedChip)
{
    const QString path = simStatePath(dir_.path(), SimChipType::At89s52);
    auto chip = makeChipModel(SimChipType::At89s52);
    chip->memories().flash[7] = 0x00;
    ASSERT_TRUE(saveChipState(path, *chip, nullptr));
    auto reloaded = makeChipModel(SimChipType::At89s52);
    ASSERT_EQ(loadChipState(path, *reloaded), ChipStateLoad::Loaded);
    EXPECT_EQ(reloaded->memories().flash[7], 0x00);
    auto otherChip = makeChipModel(SimChipType::At89s51);
    EXPECT_EQ(loadChipState(path, *otherChip), ChipStateLoad::Unreadable);

    QFile file(path);
    ASSERT_TRUE(file.resize(file.size() - 1));
    const QByteArray damaged = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    std::unique_ptr<ModemLines> lines = openSimulatedPort(QStringLiteral("SIM:s52"), nullptr);
    qInstallMessageHandler(previous);
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(path) && warnings[0].contains(QLatin1String("unreadable")))
        << qPrintable(warnings[0]);
    EXPECT_TRUE(warnings[0].contains(QLatin1String("starts erased"))) << qPrintable(warnings[0]);

    QFile kept(path + QStringLiteral(".bad"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    auto& target = static_cast<SimulatedTarget&>(*lines);
    EXPECT_EQ(target.chip()->memories().flash[7], 0xFF);
}

}  // namespace

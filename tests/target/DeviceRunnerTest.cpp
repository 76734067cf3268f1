// Device operations against the simulated chips through the real IspLink: the bytes
// the encoders put on the wire and where they land in the chip, the runner's frame
// (one release, one operation at a time, a pulled adapter, a file error) and the
// chip erase in both of its forms.
#include <gtest/gtest.h>

#include <stdexcept>

#include "target/DeviceSession.h"
#include "target/EraseChip.h"
#include "tests/target/ChipBench.h"
#include "view/Strings.h"

namespace {

const QString kCommunicationError = QString::fromLatin1(Str::kCommunicationError);
const QString kErased = QString::fromLatin1(Str::kErased);

TEST(MemoryCommands, EachMemoryGetsItsOwnInstructionAndTheByteLandsWhereAddressed)
{
    struct Case {
        const char* keyword;
        bool eeprom;
        int32_t address;
        Bytes read, write;  // the write's last byte is the value 0x5A
        bool inEeprom;
    };
    const std::vector<Case> cases = {
        {"s53", false, 0x2ABC, {0x55, 0xBC, 0x00}, {0x56, 0xBC, 0x5A}, false},  // A13 in bit 2
        {"s8252", true, 0x7FF, {0x3D, 0xFF, 0x00}, {0x3E, 0xFF, 0x5A}, true},
        {"s52", false, 0x1234, {0x20, 0x12, 0x34, 0x00}, {0x40, 0x12, 0x34, 0x5A}, false},
        {"s8253", false, 0x2FFF, {0x20, 0x2F, 0xFF, 0x00}, {0x40, 0x2F, 0xFF, 0x5A}, false},
        {"s8253", true, 0x7AB, {0xA0, 0x07, 0xAB, 0x00}, {0xC0, 0x07, 0xAB, 0x5A}, true},
        {"atmega8", true, 0x1FF, {0xA0, 0x01, 0xFF, 0x00}, {0xC0, 0x01, 0xFF, 0x5A}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keyword) + (c.eeprom ? " eeprom" : " flash"));
        ChipBench bench(c.keyword, c.eeprom);
        if (bench.target.writeDelay == 0)
            bench.target.writeDelay = 3;  // the AT89S8252 entry chosen first leaves it at 0
        Bytes wrote, read;
        uint8_t value = 0;
        const RunOutcome outcome = bench.runner.run([&](DeviceSession& session) {
            wrote = bench.sentBy([&] { session.writeByte(c.address, 0x5A); });
            read = bench.sentBy([&] { value = session.readByte(c.address); });
        });
        EXPECT_EQ(outcome, RunOutcome::Done);
        EXPECT_EQ(wrote, c.write);
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(value, 0x5A);
        const auto& memory = c.inEeprom ? bench.chip().eeprom : bench.chip().flash;
        EXPECT_EQ(memory[static_cast<size_t>(c.address)], 0x5A);
        EXPECT_EQ(std::count(memory.begin(), memory.end(), 0x5A), 1) << "only the one cell changed";
    }
}

TEST(MemoryCommands, AtmegaFlashIsWrittenPageByPageThroughTheBuffer)
{
    ChipBench bench("atmega8");
    Bytes firstPage, commit, odd;
    uint8_t oddValue = 0;
    bench.runner.run([&](DeviceSession& session) {
        session.setLoadedPage(0);
        firstPage = bench.sentBy([&] {
            for (int32_t a = 0; a < 64; ++a)
                session.writeByte(a, static_cast<uint8_t>(a ^ 0xA5));
        });
        commit = bench.sentBy([&] { session.writeByte(64, 0x11); });
        odd = bench.sentBy([&] { session.readByte(0x41); });
        oddValue = session.readByte(0x21);
    });
    // Page 0 only goes to flash when a byte of page 1 is loaded.
    ASSERT_EQ(firstPage.size(), 64u * 4);
    for (size_t i = 0; i < firstPage.size(); i += 4)
        EXPECT_NE(firstPage[i], 0x4C) << "no page write inside the page";
    EXPECT_EQ(Bytes(firstPage.begin() + 4, firstPage.begin() + 8), (Bytes{0x48, 0x00, 0x00, 0x01 ^ 0xA5}));
    EXPECT_EQ(commit, (Bytes{0x4C, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x11}));
    EXPECT_EQ(odd, (Bytes{0x28, 0x00, 0x20, 0x00}));
    EXPECT_EQ(oddValue, 0x21 ^ 0xA5);
    for (size_t a = 0; a < 64; ++a)
        EXPECT_EQ(bench.chip().flash[a], static_cast<uint8_t>(a ^ 0xA5)) << a;
    EXPECT_EQ(bench.chip().flash[64], 0xFF) << "still in the page buffer";
}

TEST(MemoryCommands, AtmegaEepromWaitsItsOwnWriteDelay)
{
    // With a write delay of 0 the second byte would arrive inside the first one's write cycle
    // and be ignored by the chip.
    ChipBench bench("atmega8", true);
    bench.target.writeDelay = 0;
    bench.runner.run([&](DeviceSession& session) {
        session.writeByte(0x10, 0x01);
        session.writeByte(0x11, 0x02);
    });
    EXPECT_EQ(bench.chip().eeprom[0x10], 0x01);
    EXPECT_EQ(bench.chip().eeprom[0x11], 0x02);
}

TEST(MemoryCommands, SendNothingWithoutAChip)
{
    ChipBench bench("atmega8");
    bench.target.chip = nullptr;
    IspLink isp(bench.line, bench.target.writeDelay);
    MemoryCommands memory(isp, bench.target);
    EXPECT_EQ(memory.readByte(5), 0);
    memory.writeByte(5, 0x00);
    EXPECT_TRUE(bench.tap->sent.empty());
}

TEST(DeviceRunner, APulledAdapterEndsTheOperationAtOnceWithThePortAndTheReason)
{
    // 100 line calls: gone during the enable; 900: gone during the reads.
    for (long pullAfter : {100L, 900L}) {
        SCOPED_TRACE(pullAfter);
        ChipBench bench("atmega8");
        bench.sim->unplugAfter(pullAfter);
        int bytesRead = 0;
        const RunOutcome outcome = bench.runner.run([&](DeviceSession& session) {
            for (int32_t a = 0; a < 64; ++a) {
                session.readByte(a);
                ++bytesRead;
                if (!session.step())
                    break;
            }
            session.view().showResult(QString::fromLatin1(Str::kDone), false);
        });
        EXPECT_EQ(outcome, RunOutcome::PortFailed);
        EXPECT_LT(bytesRead, 64);
        EXPECT_EQ(bench.view.status, kCommunicationError);
        EXPECT_TRUE(
            std::find(bench.view.statusHistory.begin(), bench.view.statusHistory.end(), QString::fromLatin1(Str::kDone))
            == bench.view.statusHistory.end());
        ASSERT_EQ(bench.view.messages.size(), 1u);
        EXPECT_EQ(bench.view.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(bench.view.messages[0].text, QStringLiteral("Lost the serial port SIM:atmega8: Input/output error"));
        EXPECT_FALSE(bench.runner.busy());
    }
}

TEST(DeviceRunner, AnOperationStartedDuringAnotherDoesNothing)
{
    ChipBench bench("s52");
    bool secondRan = false;
    std::vector<RunOutcome> secondOutcomes;
    bench.view.onProcessEvents = [&] {
        // A click handled while the first operation lets events run.
        secondOutcomes.push_back(eraseChip(bench.runner));
        secondOutcomes.push_back(bench.runner.run([&](DeviceSession&) { secondRan = true; }));
    };
    bench.chip().flash[3] = 0x00;
    std::vector<uint8_t> read;
    const RunOutcome first = bench.runner.run([&](DeviceSession& session) {
        for (int32_t a = 0; a < 4; ++a) {
            read.push_back(session.readByte(a));
            session.step();
        }
    });
    EXPECT_EQ(first, RunOutcome::Done);
    EXPECT_EQ(read, (Bytes{0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_FALSE(secondRan);
    ASSERT_EQ(secondOutcomes.size(), 8u);
    EXPECT_TRUE(
        std::all_of(secondOutcomes.begin(), secondOutcomes.end(), [](RunOutcome o) { return o == RunOutcome::Busy; }));
    EXPECT_EQ(bench.chip().flash[3], 0x00) << "not erased";
    EXPECT_TRUE(bench.view.statusHistory.empty());
}

TEST(DeviceRunner, ReleasesTheTargetOnceWhateverTheBodyDid)
{
    // After the last clock edge: one release, which puts both lines at rest in one call.
    constexpr int kOneRelease = 1;
    const std::vector<std::pair<const char*, DeviceRunner::Operation>> bodies = {
        {"nothing", [](DeviceSession&) {}},
        {"released itself",
         [](DeviceSession& s) {
             s.readByte(0);
             s.release();
         }},
        {"second pass",
         [](DeviceSession& s) {
             s.readByte(0);
             s.release();
             s.enter();
             s.readByte(1);
         }},
        {"in-run erase last", [](DeviceSession& s) { eraseChip(s); }},
    };
    for (const auto& [name, body] : bodies) {
        ChipBench bench("atmega8");
        EXPECT_EQ(bench.runner.run(body), RunOutcome::Done) << name;
        EXPECT_EQ(bench.tap->restsSinceClock, kOneRelease) << name;
    }

    // A file error of the body reaches the caller only after the release.
    ChipBench bench("atmega8");
    try {
        bench.runner.run([](DeviceSession& s) {
            s.readByte(0);
            throw std::runtime_error("Cannot create file");
        });
        ADD_FAILURE() << "the error was swallowed";
    } catch (const std::runtime_error&) {
        EXPECT_EQ(bench.tap->restsSinceClock, kOneRelease);
        EXPECT_FALSE(bench.runner.busy());
    }
}

TEST(ChipErase, SendsTheThreeOrFourByteEraseAndEmptiesTheChip)
{
    for (const auto& [keyword, instruction] :
         {std::pair{"s8252", Bytes{0xAC, 0x04, 0x00}}, std::pair{"s53", Bytes{0xAC, 0x04, 0x00}},
          std::pair{"s52", Bytes{0xAC, 0x80, 0x00, 0x00}}, std::pair{"s8253", Bytes{0xAC, 0x80, 0x00, 0x00}},
          std::pair{"atmega8", Bytes{0xAC, 0x80, 0x00, 0x00}}}) {
        ChipBench bench(keyword);
        bench.chip().flash[0] = 0x00;
        bench.chip().flash.back() = 0x12;
        EXPECT_EQ(eraseChip(bench.runner), RunOutcome::Done);
        const Bytes& sent = bench.tap->sent;
        ASSERT_GE(sent.size(), instruction.size());
        EXPECT_EQ(Bytes(sent.end() - static_cast<std::ptrdiff_t>(instruction.size()), sent.end()), instruction)
            << keyword;
        EXPECT_EQ(std::count(bench.chip().flash.begin(), bench.chip().flash.end(), 0xFF),
                  static_cast<std::ptrdiff_t>(bench.chip().flash.size()))
            << keyword;
        EXPECT_EQ(bench.view.statusHistory, std::vector<QString>{kErased});
        EXPECT_EQ(bench.view.erases, 1);
        EXPECT_FALSE(bench.view.erasing);
    }
}

TEST(ChipErase, TheViewHearsItEndEvenWhenThePortGoesDuringIt)
{
    // About 150 line calls bring the chip into step; the erase instruction follows.
    ChipBench bench("atmega8");
    bench.chip().flash[0] = 0x00;
    bench.sim->unplugAfter(180);
    EXPECT_EQ(eraseChip(bench.runner), RunOutcome::PortFailed);
    EXPECT_EQ(bench.view.erases, 1);
    EXPECT_FALSE(bench.view.erasing) << "the window's \"Erase\" button would stay disabled";
    EXPECT_EQ(bench.chip().flash[0], 0x00) << "the erase never reached the chip";
    EXPECT_EQ(bench.view.status, kCommunicationError);
}

TEST(ChipErase, InTheRunsFrameItSyncsAgainButNeitherReentersNorSaysErased)
{
    ChipBench bench("atmega8");
    bench.chip().flash[10] = 0x00;
    bool erased = false;
    bench.runner.run([&](DeviceSession& session) { erased = eraseChip(session); });
    EXPECT_TRUE(erased);
    // The frame's enable and probe, the erase's own probe, the erase.
    EXPECT_EQ(bench.tap->sent,
              (Bytes{0xAC, 0x53, 0x00, 0x00, 0x30, 0x00, 0x00, 0x00, 0x30, 0x00, 0x00, 0x00, 0xAC, 0x80, 0x00, 0x00}));
    EXPECT_EQ(bench.chip().flash[10], 0xFF);
    EXPECT_TRUE(bench.view.statusHistory.empty());

    // A later click on "Erase" is a whole erase again.
    EXPECT_EQ(eraseChip(bench.runner), RunOutcome::Done);
    EXPECT_EQ(bench.view.statusHistory, std::vector<QString>{kErased});
}

TEST(ChipErase, WithoutAPortEveryChipIsACommunicationError)
{
    for (const char* keyword : {"s8252", "s53", "s52", "atmega8"}) {
        RecordingView view;
        LineDriver line(nullptr);
        TargetState target;
        applyChipState(target, chipForKeyword(QLatin1String(keyword)));
        DeviceRunner runner(line, target, view);
        EXPECT_EQ(eraseChip(runner), RunOutcome::NoSync) << keyword;
        EXPECT_EQ(view.statusHistory, std::vector<QString>{kCommunicationError}) << keyword;
    }
}

}  // namespace

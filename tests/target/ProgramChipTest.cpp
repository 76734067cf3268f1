// The programming run against the simulated chips through the real IspLink: the
// ATmega8's page commits, Fast mode's read-backs, the ladder's retries and where
// they give up, Differential mode, cancel, and the files it must refuse before the
// chip is touched; with what the auto-run file, the clock delay and the write delay
// hold afterwards.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <numeric>

#include "image/FileError.h"
#include "target/ProgramChip.h"
#include "tests/target/ChipBench.h"
#include "view/Strings.h"

namespace {

const QString kDone = QString::fromLatin1(Str::kDone);
const QString kWriteError = QString::fromLatin1(Str::kWriteError);

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString imageFile(const Bytes& bytes, const char* name = "image.bin")
    {
        const QString path = dir_.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    static Bytes pattern(size_t length, uint8_t seed = 0x5A)
    {
        Bytes bytes(length);
        for (size_t i = 0; i < length; ++i)
            bytes[i] = static_cast<uint8_t>((i * 37 + seed) & 0xFF);
        return bytes;
    }
    RunOutcome program(ChipBench& bench, const QString& file, bool eeprom = false)
    {
        autoRunFile = file;
        return programChip(bench.runner, autoRunFile, eeprom);
    }
    // The instructions sent, cut into frames of the chip's length.
    static std::vector<Bytes> frames(const Bytes& sent, size_t length)
    {
        std::vector<Bytes> result;
        for (size_t i = 0; i + length <= sent.size(); i += length)
            result.emplace_back(sent.begin() + static_cast<std::ptrdiff_t>(i),
                                sent.begin() + static_cast<std::ptrdiff_t>(i + length));
        return result;
    }
    static long countFrames(const std::vector<Bytes>& all, const std::function<bool(const Bytes&)>& which)
    {
        return std::count_if(all.begin(), all.end(), which);
    }
    static bool holds(const std::vector<uint8_t>& memory, const Bytes& image)
    {
        return std::equal(image.begin(), image.end(), memory.begin());
    }
    static bool saw(const RecordingView& view, const QString& text)
    {
        return std::find(view.statusHistory.begin(), view.statusHistory.end(), text) != view.statusHistory.end();
    }

    QTemporaryDir dir_;
    QString autoRunFile;
};

TEST_F(ProgramRunTest, AtmegaPagesAreCommittedWhenTheNextOneStartsAndTheLastOneAtTheEnd)
{
    // 65 bytes: page 0 goes when byte 64 is loaded, address 65 is padded, and page 1
    // is committed by loading image[0] at address 0.
    {
        const Bytes image = pattern(65);
        ChipBench bench("atmega8");
        EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done);
        const std::vector<Bytes> sent = frames(bench.tap->sent, 4);
        const auto page0 = std::find(sent.begin(), sent.end(), Bytes{0x4C, 0x00, 0x00, 0x00});
        ASSERT_LT(page0 + 4, sent.end());
        EXPECT_EQ(std::vector<Bytes>(page0, page0 + 5),
                  (std::vector<Bytes>{{0x4C, 0x00, 0x00, 0x00},
                                      {0x40, 0x00, 0x00, image[64]},
                                      {0x48, 0x00, 0x00, 0xFF},  // padding
                                      {0x4C, 0x00, 0x20, 0x00},
                                      {0x40, 0x00, 0x00, image[0]}}));
        EXPECT_TRUE(holds(bench.chip().flash, image));
        EXPECT_EQ(bench.chip().flash[65], 0xFF);
        EXPECT_EQ(bench.view.progressText, QStringLiteral("65 of 65 bytes"));
        EXPECT_TRUE(autoRunFile.isEmpty());
    }
    // At most one page: committed by a load at address 64.
    {
        const Bytes image = pattern(64);
        ChipBench bench("atmega8");
        EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done);
        const std::vector<Bytes> sent = frames(bench.tap->sent, 4);
        const auto commit = std::find(sent.begin(), sent.end(), Bytes{0x4C, 0x00, 0x00, 0x00});
        ASSERT_NE(commit, sent.end());
        EXPECT_EQ(*(commit + 1), (Bytes{0x40, 0x00, 0x00, image[0]}));
        EXPECT_TRUE(holds(bench.chip().flash, image));
    }
}

TEST_F(ProgramRunTest, FastModeReadsBackOnlyTheFirstFifteenBytes)
{
    const Bytes image = pattern(40);
    for (const char* keyword : {"s52", "atmega8"}) {
        SCOPED_TRACE(keyword);
        ChipBench bench(keyword);
        bench.target.writeMode = WriteMode::Fast;
        EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done);
        const std::vector<Bytes> sent = frames(bench.tap->sent, 4);
        const bool avr = keyword[0] == 'a';
        std::vector<int> readAddresses;
        for (const Bytes& f : sent) {
            // On the AT89S52 0x28 is the signature read of the syncs.
            if (f[0] == 0x20 || (avr && f[0] == 0x28))
                readAddresses.push_back(avr ? f[2] * 2 + (f[0] == 0x28) : f[2]);
        }
        std::vector<int> first15(15);
        std::iota(first15.begin(), first15.end(), 0);
        EXPECT_EQ(readAddresses, first15);
        EXPECT_TRUE(holds(bench.chip().flash, image));
    }
    // The AT89S52 says so when it stops reading back.
    ChipBench bench("s52");
    bench.target.writeMode = WriteMode::Fast;
    program(bench, imageFile(image));
    const auto& history = bench.view.statusHistory;
    const auto verifying = std::find(history.begin(), history.end(), QString::fromLatin1(Str::kWritingAndVerifying));
    ASSERT_NE(verifying, history.end());
    EXPECT_EQ(*(verifying + 1), QString::fromLatin1(Str::kWriting));
    EXPECT_EQ(history.back(), kDone);
    // Once: the window draws a phase at once, so a phase per byte would repaint per byte.
    EXPECT_EQ(std::count(history.begin(), history.end(), QString::fromLatin1(Str::kWriting)), 1);
}

TEST_F(ProgramRunTest, ALostWriteIsMadeAgainOneRungSlowerAndTheRunKeepsThatRung)
{
    const Bytes image = pattern(24);
    // Normal mode on the AT89S52, Differential on the AT89S53.
    for (const auto& [keyword, mode] :
         {std::pair{"s52", WriteMode::Normal}, std::pair{"s53", WriteMode::Differential}}) {
        SCOPED_TRACE(keyword);
        ChipBench bench(keyword);
        bench.target.writeMode = mode;
        bench.sim->chip()->loseWrites(SimMemory::Flash, 9, 1);
        const int32_t ownDelay = bench.target.writeDelay;
        EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done);
        EXPECT_TRUE(holds(bench.chip().flash, image));
        EXPECT_EQ(bench.line.clockDelay(), 7);
        EXPECT_EQ(bench.target.writeDelay, ownDelay + 3);
        EXPECT_TRUE(autoRunFile.isEmpty());
    }
}

TEST_F(ProgramRunTest, AByteThatNeverReadsBackIsAWriteErrorAndTheChipsOwnTimingsReturn)
{
    // Written at 5, 7, 25, 205 and 2005 µs; the fifth miss exhausts the ladder.
    const Bytes image = pattern(6);
    ChipBench bench("s52");
    bench.sim->chip()->loseWrites(SimMemory::Flash, 2, 1000);
    EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Failed);
    const std::vector<Bytes> sent = frames(bench.tap->sent, 4);
    EXPECT_EQ(countFrames(sent, [&](const Bytes& f) { return f == Bytes{0x40, 0x00, 0x02, image[2]}; }), 5);
    EXPECT_EQ(countFrames(sent, [](const Bytes& f) { return f[0] == 0x40 && f[2] > 2; }), 0);
    EXPECT_EQ(bench.view.status, kWriteError);
    EXPECT_EQ(bench.chip().flash[1], image[1]) << "what was written stays";
    EXPECT_EQ(bench.line.clockDelay(), 5);
    EXPECT_EQ(bench.target.writeDelay, 1) << "the AT89S52's own delay, not 0";
    EXPECT_TRUE(autoRunFile.isEmpty());

    // The ATmega8 flash is not retried: its verify pass fails at the first wrong byte.
    ChipBench avr("atmega8");
    avr.target.writeDelay = 13;  // raised by an earlier run's ladder
    avr.sim->chip()->loseWrites(SimMemory::Flash, 70, 1);
    EXPECT_EQ(program(avr, imageFile(pattern(100))), RunOutcome::Failed);
    EXPECT_EQ(avr.view.status, kWriteError);
    EXPECT_EQ(avr.view.progressText, QStringLiteral("71 of 100 bytes"));
    EXPECT_EQ(avr.line.clockDelay(), 5);
    EXPECT_EQ(avr.target.writeDelay, 7);
}

TEST_F(ProgramRunTest, AFailedSyncWritesNothingAndRestoresTheChipsWriteDelay)
{
    ChipBench bench("atmega8", false, true);
    EXPECT_EQ(program(bench, imageFile(pattern(10))), RunOutcome::NoSync);
    EXPECT_EQ(bench.view.status, QString::fromLatin1(Str::kCommunicationError));
    EXPECT_FALSE(saw(bench.view, QString::fromLatin1(Str::kErasingMemory)));
    EXPECT_EQ(bench.target.writeDelay, 7) << "the ladder's 15 ms are taken back";
    EXPECT_EQ(bench.line.clockDelay(), 5);
    EXPECT_TRUE(autoRunFile.isEmpty());
}

TEST_F(ProgramRunTest, CancelKeepsTheFileAndTheRungAndTheAtmegaStillCommitsItsPage)
{
    {
        ChipBench bench("atmega8");
        const Bytes image = pattern(100);
        bench.view.onProcessEvents = [&] { bench.view.cancel = bench.view.cancel || bench.view.progressDone == 11; };
        EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Cancelled);
        EXPECT_TRUE(holds(bench.chip().flash, Bytes(image.begin(), image.begin() + 11)));
        EXPECT_EQ(bench.chip().flash[11], 0xFF);
        EXPECT_FALSE(saw(bench.view, QString::fromLatin1(Str::kVerifying)));
        EXPECT_FALSE(saw(bench.view, kDone));
        EXPECT_EQ(bench.view.status, QString::fromLatin1(Str::kCancelled));
        EXPECT_FALSE(bench.view.cancel) << "the run clears the flag it obeyed";
        EXPECT_FALSE(autoRunFile.isEmpty());
    }
    {
        ChipBench bench("s52");
        bench.sim->chip()->loseWrites(SimMemory::Flash, 1, 1);
        bench.view.onProcessEvents = [&] { bench.view.cancel = bench.view.cancel || bench.view.progressDone == 5; };
        EXPECT_EQ(program(bench, imageFile(pattern(30))), RunOutcome::Cancelled);
        EXPECT_EQ(bench.line.clockDelay(), 7);
        EXPECT_EQ(bench.target.writeDelay, 4);
        EXPECT_FALSE(autoRunFile.isEmpty());
        EXPECT_EQ(bench.chip().flash[5], 0xFF);
        EXPECT_EQ(bench.view.status, QString::fromLatin1(Str::kCancelled));
    }
}

// A cancel that comes while the last byte is on its way stops nothing: the run is
// done, in every mode (the ATmega8's verify pass included).
TEST_F(ProgramRunTest, ACancelDuringTheLastByteLeavesARunThatIsDone)
{
    for (const auto& [keyword, mode] : {std::pair{"s52", WriteMode::Normal}, std::pair{"s53", WriteMode::Differential},
                                        std::pair{"atmega8", WriteMode::Normal}}) {
        SCOPED_TRACE(keyword);
        ChipBench bench(keyword);
        bench.target.writeMode = mode;
        const Bytes image = pattern(20);
        // The last pass: the ATmega8 verifies after it writes.
        const bool paged = QLatin1String(keyword) == QLatin1String("atmega8");
        bench.view.onProgress = [&] {
            const bool lastPass = !paged || bench.view.status == QString::fromLatin1(Str::kVerifying);
            bench.view.cancel = bench.view.cancel || (lastPass && bench.view.progressDone == 20);
        };
        EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done);
        EXPECT_EQ(bench.view.status, kDone);
        EXPECT_TRUE(holds(bench.chip().flash, image));
    }
}

TEST_F(ProgramRunTest, DifferentialWritesOnlyTheBytesTheChipDoesNotHold)
{
    const Bytes image = pattern(50);
    ChipBench bench("s53");
    bench.target.writeMode = WriteMode::Differential;
    std::copy(image.begin(), image.end(), bench.chip().flash.begin());
    bench.chip().flash[7] = 0x00;
    bench.chip().flash[30] = 0x11;
    const auto writes = [](const std::vector<Bytes>& sent) {
        return countFrames(sent, [](const Bytes& f) { return f[0] != 0xAC && (f[0] & 0x03) == 0x02; });
    };
    EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done);
    EXPECT_EQ(writes(frames(bench.tap->sent, 3)), 2);
    EXPECT_TRUE(holds(bench.chip().flash, image));

    const Bytes second = bench.sentBy([&] { EXPECT_EQ(program(bench, imageFile(image)), RunOutcome::Done); });
    EXPECT_EQ(writes(frames(second, 3)), 0);
    EXPECT_EQ(bench.view.status, kDone);
}

TEST_F(ProgramRunTest, FilesItCannotTakeNeverReachTheChip)
{
    ChipBench bench("atmega8");
    bench.chip().flash[0] = 0x00;
    const auto untouched = [&] {
        EXPECT_TRUE(bench.tap->sent.empty());
        EXPECT_EQ(bench.chip().flash[0], 0x00) << "not erased";
        EXPECT_TRUE(autoRunFile.isEmpty());
    };

    // Above the loader's limit: its own box, then the run stops instead of erasing.
    const QString huge = imageFile({}, "huge.bin");
    QFile(huge).resize(10'000'001);
    EXPECT_EQ(program(bench, huge), RunOutcome::Failed);
    ASSERT_EQ(bench.view.messages.size(), 1u);
    EXPECT_TRUE(bench.view.messages[0].text.startsWith(QString::fromLatin1(Str::kFileSizeTooBig) + u'\n'));
    untouched();

    // One byte over the memory's capacity; the capacity itself would be written. (A
    // chip of the same instruction set with smaller memories keeps the test short.)
    ChipEntry small = *bench.target.chip;
    small.flash.size = 16;
    small.eeprom.size = 8;
    bench.target.chip = &small;
    EXPECT_EQ(program(bench, imageFile(pattern(17))), RunOutcome::Failed);
    EXPECT_EQ(bench.view.messages.back().text,
              QString::fromLatin1(Str::kFileTooBigForFlash)
                  + QStringLiteral("\nThe image in \"%1\" is 17 bytes; the ATmega8 flash holds 16 bytes")
                        .arg(dir_.filePath(QStringLiteral("image.bin"))));
    EXPECT_EQ(bench.view.messages.back().icon, MessageIcon::Error);
    untouched();
    EXPECT_EQ(program(bench, imageFile(pattern(9)), true), RunOutcome::Failed);
    EXPECT_TRUE(bench.view.messages.back().text.startsWith(QString::fromLatin1(Str::kFileTooBigForEeprom) + u'\n'));
    untouched();

    // A broken HEX file is the caller's error box; a later run asks for a file again.
    const QString broken = imageFile({':', '0', '1', 'x'}, "broken.hex");
    EXPECT_ANY_THROW(program(bench, broken));
    untouched();

    // A file with nothing in it would erase the chip and report "Done".
    for (const Bytes& nothing : {Bytes{}, Bytes{':', '0', '0', '0', '0', '0', '0', '0', '1', 'F', 'F'}}) {
        try {
            program(bench, imageFile(nothing, "nothing.hex"));
            ADD_FAILURE();
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), FileError::Code::NoData);
        }
        untouched();
    }

    // No file named, or a vanished file, end silently.
    const size_t boxes = bench.view.messages.size();
    autoRunFile.clear();
    EXPECT_EQ(programChip(bench.runner, autoRunFile, false), RunOutcome::Cancelled);
    EXPECT_EQ(program(bench, dir_.filePath(QStringLiteral("gone.bin"))), RunOutcome::Cancelled);
    EXPECT_EQ(bench.view.messages.size(), boxes);
    untouched();

    EXPECT_EQ(program(bench, imageFile(pattern(16))), RunOutcome::Done);
}

}  // namespace

// The "Read", "Compare", lock and fuse operations against the simulated chips: what
// lands in the file or the check boxes, what the chip holds afterwards, the status
// texts in order, cancel, a pulled adapter, and files the operation cannot use.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "image/Converters.h"
#include "image/FileError.h"
#include "image/ImageBuffer.h"
#include "target/CompareChip.h"
#include "target/ErrorText.h"
#include "target/FuseBits.h"
#include "target/LockBits.h"
#include "target/ReadChip.h"
#include "tests/support/ScratchFiles.h"
#include "tests/support/TestPaths.h"
#include "tests/target/ChipBench.h"
#include "view/Strings.h"

namespace {

using Texts = std::vector<QString>;

QString text(const char* s) { return QString::fromLatin1(s); }

// Every address gets a value that depends on its high bits too, so a misplaced
// address bit shows.
uint8_t patternAt(size_t address) { return static_cast<uint8_t>(address * 7 + (address >> 8) * 13 + 0x5A); }

void fillWithPattern(std::vector<uint8_t>& memory)
{
    for (size_t a = 0; a < memory.size(); ++a)
        memory[a] = patternAt(a);
}

QByteArray asBytes(const std::vector<uint8_t>& memory, size_t count)
{
    return QByteArray(reinterpret_cast<const char*>(memory.data()), static_cast<qsizetype>(count));
}

bool shown(const RecordingView& view, const char* status)
{
    return std::find(view.statusHistory.begin(), view.statusHistory.end(), text(status)) != view.statusHistory.end();
}

class ChipOperations : public ::testing::Test {
protected:
    QString path(const char* name) const { return scratch_.path(QLatin1String(name)); }
    QString writeFile(const char* name, const QByteArray& bytes) const
    {
        return scratch_.write(QLatin1String(name), bytes);
    }
    ScratchDir scratch_;
};

TEST_F(ChipOperations, ReadCopiesEachMemoryOfEachChipByteForByte)
{
    const std::vector<std::tuple<const char*, bool, int>> memories = {
        {"s8252", false, 8192}, {"s8252", true, 2048},    {"s53", false, 12288},
        {"s52", false, 8192},   {"s51", false, 4096},     {"s8253", false, 12288},
        {"s8253", true, 2048},  {"atmega8", false, 8192}, {"atmega8", true, 512},
    };
    for (const auto& [keyword, eeprom, size] : memories) {
        SCOPED_TRACE(std::string(keyword) + (eeprom ? " eeprom" : " flash"));
        ChipBench bench(keyword, eeprom);
        bench.clockAsFastAsTheSimulationAllows();
        std::vector<uint8_t>& memory = eeprom ? bench.chip().eeprom : bench.chip().flash;
        fillWithPattern(memory);
        const QString out = path("read.bin");

        EXPECT_EQ(readChip(bench.runner, out), RunOutcome::Done);
        ASSERT_EQ(memory.size(), static_cast<size_t>(size));
        EXPECT_EQ(readAll(out), asBytes(memory, memory.size()));
        EXPECT_EQ(bench.view.statusHistory, (Texts{text(Str::kReading), text(Str::kDone)}));
        EXPECT_EQ(bench.view.progressText, QStringLiteral("%1 bytes").arg(size));
        EXPECT_EQ(bench.view.progressDone, size);
        EXPECT_EQ(bench.view.progressTotal, size);
    }
}

TEST_F(ChipOperations, ReadStoppedByCancelKeepsTheBytesReadAndSaysCancelled)
{
    ChipBench bench("atmega8");
    bench.clockAsFastAsTheSimulationAllows();
    fillWithPattern(bench.chip().flash);
    bench.view.cancel = true;  // left over from an earlier operation: the read clears it
    bench.view.onProcessEvents = [&] {
        if (bench.view.eventPasses == 100)
            bench.view.cancel = true;  // "C" pressed while byte 99 was shown
    };
    const QString out = path("part.bin");
    EXPECT_EQ(readChip(bench.runner, out), RunOutcome::Cancelled);
    EXPECT_EQ(readAll(out), asBytes(bench.chip().flash, 100));
    EXPECT_EQ(bench.view.statusHistory, (Texts{text(Str::kReading), text(Str::kCancelled)}));
    EXPECT_TRUE(bench.view.cancel) << "the read leaves the flag as it found it at the end";

    // Ctrl+C once the last byte was read: nothing was left to stop, so it is done.
    ChipBench late("atmega8", true);
    late.clockAsFastAsTheSimulationAllows();
    late.view.onProgress = [&] { late.view.cancel = late.view.progressDone == 512; };
    EXPECT_EQ(readChip(late.runner, out), RunOutcome::Done);
    EXPECT_EQ(readAll(out).size(), 512);
    EXPECT_EQ(late.view.status, text(Str::kDone));
}

// A HEX name gets an Intel HEX file of the memory, as bin2hex would write it; a
// cancel keeps the bytes read so far in that form too.
TEST_F(ChipOperations, ReadIntoAHexNameWritesIntelHex)
{
    ChipBench bench("atmega8", true);
    bench.clockAsFastAsTheSimulationAllows();
    fillWithPattern(bench.chip().eeprom);
    for (const char* name : {"eeprom.hex", "eeprom.EEP", "eeprom.ihx"}) {
        EXPECT_EQ(readChip(bench.runner, path(name)), RunOutcome::Done);
        EXPECT_EQ(readAll(path(name)), hexTextOf(asBytes(bench.chip().eeprom, 512))) << name;
    }
    ImageBuffer back;
    EXPECT_EQ(loadImageFile(path("eeprom.hex"), back).length, 512);
    EXPECT_EQ(asBytes(back, 512), asBytes(bench.chip().eeprom, 512));

    bench.view.eventPasses = 0;
    bench.view.onProcessEvents = [&] { bench.view.cancel = bench.view.eventPasses == 100; };
    EXPECT_EQ(readChip(bench.runner, path("part.hex")), RunOutcome::Cancelled);
    EXPECT_EQ(readAll(path("part.hex")), hexTextOf(asBytes(bench.chip().eeprom, 100)));
}

TEST_F(ChipOperations, ReadCreatesNoFileWhenTheChipDoesNotAnswer)
{
    RecordingView view;
    LineDriver line(nullptr);  // no port: nothing answers
    TargetState target;
    applyChipState(target, chipForKeyword(QStringLiteral("atmega8")));
    DeviceRunner runner(line, target, view);
    const QString out = path("never.bin");
    EXPECT_EQ(readChip(runner, out), RunOutcome::NoSync);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(view.statusHistory, Texts{text(Str::kCommunicationError)});
}

TEST_F(ChipOperations, ReadFileErrorsReachTheUserOnlyAfterTheTargetIsReleased)
{
    // After the last clock edge: one release.
    constexpr int kReleased = 1;
    struct Case {
        QString file;
        QString error;
        size_t readInstructions;  // how far the read got
    };
    const std::vector<Case> cases = {
        {path("no/such/dir/out.bin"), QStringLiteral("Cannot create file \"%1\"").arg(path("no/such/dir/out.bin")), 0},
        // Every write to /dev/full fails with "No space left on device".
        {QStringLiteral("/dev/full"), QStringLiteral("Cannot write file \"/dev/full\". No space left on device"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        ChipBench bench("s52");
        try {
            readChip(bench.runner, c.file);
            ADD_FAILURE() << "the error was swallowed";
        } catch (const FileError& e) {
            EXPECT_TRUE(errorText(e).startsWith(c.error)) << e.what();
            EXPECT_EQ(bench.tap->restsSinceClock, kReleased);
            EXPECT_FALSE(bench.runner.busy());
        }
        // Enable and probe, then one four-byte read per byte that went out.
        EXPECT_EQ(bench.tap->sent.size(), 8 + 4 * c.readInstructions);
        EXPECT_FALSE(shown(bench.view, Str::kDone));
    }
}

TEST_F(ChipOperations, CompareCountsDifferencesAndTellsWhenThereAreNone)
{
    ChipBench bench("atmega8", true);
    bench.clockAsFastAsTheSimulationAllows();
    fillWithPattern(bench.chip().eeprom);
    QByteArray image = asBytes(bench.chip().eeprom, 300);
    const QString file = writeFile("image.bin", image);

    bench.view.cancel = true;  // an old cancel must not cut the compare short
    EXPECT_EQ(compareChip(bench.runner, file), RunOutcome::Done);
    EXPECT_EQ(bench.view.statusHistory,
              (Texts{text(Str::kWait), QStringLiteral("binary, 300 bytes"), text(Str::kVerifying), text(Str::kDone)}));
    EXPECT_EQ(bench.view.progressText, text(Str::kIdenticalData));
    EXPECT_EQ(bench.view.progressTotal, 300);
    EXPECT_TRUE(bench.view.messages.empty());
    EXPECT_FALSE(bench.view.cancel);

    image[0] = static_cast<char>(image[0] ^ 1);
    image[299] = static_cast<char>(image[299] ^ 0x80);
    writeFile("image.bin", image);
    EXPECT_EQ(compareChip(bench.runner, file), RunOutcome::Failed);
    EXPECT_EQ(bench.view.progressText, QStringLiteral("2 different bytes"));
    EXPECT_EQ(bench.view.status, text(Str::kDone));
    ASSERT_EQ(bench.view.messages.size(), 1u);
    EXPECT_EQ(bench.view.messages[0].text, text(Str::kDevergenceInData));
    EXPECT_EQ(bench.view.messages[0].icon, MessageIcon::None);

    // The HEX file of a program compares with the chip that holds its image.
    ChipBench flash("atmega8");
    const QByteArray program = readAll(testDataPath(QStringLiteral("avr-atmega8.bin")));
    std::copy(program.begin(), program.end(), flash.chip().flash.begin());
    EXPECT_EQ(compareChip(flash.runner, testDataPath(QStringLiteral("avr-atmega8.hex"))), RunOutcome::Done);
    EXPECT_EQ(flash.view.progressText, text(Str::kIdenticalData));
    EXPECT_TRUE(shown(flash.view, "Intel HEX, 152 bytes"));
}

TEST_F(ChipOperations, CompareOfAnEmptyFileIsRefusedAndACancelledOneIsIdenticalForThePartCompared)
{
    // Nothing compared is no "Identical data": the file is refused before the chip.
    ChipBench bench("s52");
    writeFile("empty.bin", {});
    EXPECT_THROW(compareChip(bench.runner, path("empty.bin")), FileError);
    EXPECT_TRUE(bench.tap->sent.empty());
    EXPECT_TRUE(bench.view.progressText.isEmpty());

    const size_t frame = 8;  // the enable and the probe
    // Cancelled after 10 bytes, before the difference at byte 20.
    ChipBench cancelled("s52");
    QByteArray image(64, '\xFF');
    image[20] = 0;
    writeFile("late.bin", image);
    cancelled.view.onProcessEvents = [&] { cancelled.view.cancel = cancelled.view.eventPasses == 10; };
    EXPECT_EQ(compareChip(cancelled.runner, path("late.bin")), RunOutcome::Cancelled);
    EXPECT_EQ(cancelled.tap->sent.size(), frame + 4 * 10);
    EXPECT_EQ(cancelled.view.progressText, text(Str::kIdenticalData));
    EXPECT_EQ(cancelled.view.status, text(Str::kCancelled));
    EXPECT_FALSE(cancelled.view.cancel);
}

TEST_F(ChipOperations, CompareStopsBeforeTheChipWhenTheFileCannotBeUsed)
{
    // Refused by the loader (above 10,000,000 bytes; sparse, so it costs no disk).
    QFile huge(path("huge.bin"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(10'000'001));
    huge.close();
    writeFile("513.bin", QByteArray(513, '\0'));
    writeFile("8193.bin", QByteArray(8193, '\0'));

    // The product's text first, then the sizes that tell why.
    const std::vector<std::tuple<QString, bool, QString>> cases = {
        {path("huge.bin"), false,
         text(Str::kFileSizeTooBig)
             + QStringLiteral("\n\"%1\" is 10000001 bytes; files of up to 10000000 bytes can be "
                              "opened")
                   .arg(path("huge.bin"))},
        {path("513.bin"), true,
         text(Str::kFileTooBigForEeprom)
             + QStringLiteral("\nThe image in \"%1\" is 513 bytes; the ATmega8 EEPROM holds 512 bytes")
                   .arg(path("513.bin"))},
        {path("8193.bin"), false,
         text(Str::kFileTooBigForFlash)
             + QStringLiteral("\nThe image in \"%1\" is 8193 bytes; the ATmega8 flash holds 8192 bytes")
                   .arg(path("8193.bin"))},
    };
    for (const auto& [file, eeprom, error] : cases) {
        SCOPED_TRACE(error.toStdString());
        ChipBench bench("atmega8", eeprom);
        EXPECT_EQ(compareChip(bench.runner, file), RunOutcome::Failed);
        EXPECT_TRUE(bench.tap->sent.empty());
        ASSERT_EQ(bench.view.messages.size(), 1u);
        EXPECT_EQ(bench.view.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(bench.view.messages[0].text, error);
        EXPECT_FALSE(shown(bench.view, Str::kDone));
        EXPECT_TRUE(bench.view.progressText.isEmpty()) << "no \"Identical data\"";
    }
}

TEST_F(ChipOperations, APulledAdapterEndsReadAndCompareWithoutAResult)
{
    const QString image = writeFile("image.bin", QByteArray(512, '\xFF'));
    const std::vector<std::function<RunOutcome(ChipBench&)>> operations = {
        [&](ChipBench& b) { return readChip(b.runner, path("read.bin")); },
        [&](ChipBench& b) { return compareChip(b.runner, image); },
    };
    for (const auto& operation : operations) {
        ChipBench bench("atmega8", true);
        bench.sim->unplugAfter(3000);  // some twenty bytes into the memory
        EXPECT_EQ(operation(bench), RunOutcome::PortFailed);
        EXPECT_EQ(bench.view.status, text(Str::kCommunicationError));
        EXPECT_FALSE(shown(bench.view, Str::kDone));
        EXPECT_NE(bench.view.progressText, text(Str::kIdenticalData));
        ASSERT_EQ(bench.view.messages.size(), 1u);
        EXPECT_TRUE(bench.view.messages[0].text.contains(QLatin1String("SIM:atmega8: Input/output error")));
    }
    const qint64 kept = QFileInfo(path("read.bin")).size();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 512);
}

TEST_F(ChipOperations, LockLevelsSendEachChipsInstructionsAndProgramItsBits)
{
    struct Case {
        const char* keyword;
        int level;
        Bytes sent;    // after the frame's enable and probe
        uint8_t lock;  // the chip's LB1..LB3 in bits 0..2, 0 = programmed
    };
    const std::vector<Case> cases = {
        {"s52", 2, {0xAC, 0xE0, 0, 0, 0xAC, 0xE1, 0, 0, 0xAC, 0xE2, 0, 0}, 0b100},
        {"s51", 3, {0xAC, 0xE0, 0, 0, 0xAC, 0xE1, 0, 0, 0xAC, 0xE2, 0, 0, 0xAC, 0xE3, 0, 0}, 0b000},
        {"s8253", 1, {0xAC, 0xE6, 0, 0}, 0b110},
        {"s8252", 1, {0xAC, 0x67, 0x00}, 0b110},
        {"s53", 3, {0xAC, 0x07, 0x00}, 0b000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword);
        ChipBench bench(c.keyword);
        const size_t frame = bench.target.chip->hasSignature() ? 8 : 3;
        EXPECT_EQ(writeLockBits89S(bench.runner, c.level), RunOutcome::Done);
        EXPECT_EQ(Bytes(bench.tap->sent.begin() + static_cast<std::ptrdiff_t>(frame), bench.tap->sent.end()), c.sent);
        EXPECT_EQ(bench.chip().lock & 0x07, c.lock);
        EXPECT_EQ(bench.view.statusHistory, Texts{text(Str::kLockBitsProgrammed)});
    }

    // The list's first item, or the ATmega8 selected: nothing at all.
    for (const auto& [keyword, level] : {std::pair{"s52", 0}, std::pair{"atmega8", 1}}) {
        ChipBench bench(keyword);
        EXPECT_EQ(writeLockBits89S(bench.runner, level), RunOutcome::Cancelled);
        EXPECT_TRUE(bench.tap->sent.empty());
        EXPECT_TRUE(bench.view.statusHistory.empty());
    }
}

TEST_F(ChipOperations, FusesAndAvrLockBitsRoundTripThroughTheChip)
{
    ChipBench bench("atmega8");
    FuseBytes fuses;
    EXPECT_EQ(readFuseBits(bench.runner, &fuses), RunOutcome::Done);
    EXPECT_EQ(fuses.low, 0xE1);
    EXPECT_EQ(fuses.high, 0xD9);
    EXPECT_EQ(fuses.extended, 0xFF) << "the ATmega8 has none";

    // Both bytes changed in one write: the high fuse must wait out the low fuse's cycle.
    const Bytes written = bench.sentBy(
        [&] { EXPECT_EQ(writeFuseBits(bench.runner, {.low = 0xE4, .high = 0xC9}), RunOutcome::Done); });
    EXPECT_EQ(Bytes(written.end() - 8, written.end()), (Bytes{0xAC, 0xA0, 0x00, 0xE4, 0xAC, 0xA8, 0x00, 0xC9}));
    EXPECT_EQ(bench.chip().lowFuse, 0xE4);
    EXPECT_EQ(bench.chip().highFuse, 0xC9);
    fuses = {};
    readFuseBits(bench.runner, &fuses);
    EXPECT_EQ(fuses.low, 0xE4);
    EXPECT_EQ(fuses.high, 0xC9);

    // Every lock bit programmed: bits 6 and 7, which the chip lacks, stay unprogrammed.
    const Bytes locked = bench.sentBy([&] { EXPECT_EQ(writeAvrLockBits(bench.runner, 0x00), RunOutcome::Done); });
    EXPECT_EQ(Bytes(locked.end() - 4, locked.end()), (Bytes{0xAC, 0xE0, 0x00, 0xC0}));
    EXPECT_EQ(bench.chip().lock, 0xC0);
    uint8_t lock = 0x00;
    EXPECT_EQ(readAvrLockBits(bench.runner, &lock), RunOutcome::Done);
    EXPECT_EQ(lock, 0xC0);
    EXPECT_EQ(bench.view.statusHistory,
              (Texts{text(Str::kFuseBitsRead), text(Str::kFuseBitsProgrammed), text(Str::kFuseBitsRead),
                     text(Str::kLockBitsProgrammed), text(Str::kLockBitsRead)}));
}

TEST_F(ChipOperations, BitsReadAreOnlyGivenBackWhenTheReadRanToItsEnd)
{
    // An empty socket: the sync fails, and what the caller holds stays as it was.
    ChipBench bench("atmega8", false, true);
    FuseBytes fuses{.low = 0x12, .high = 0x34};
    uint8_t lock = 0x56;
    EXPECT_EQ(readFuseBits(bench.runner, &fuses), RunOutcome::NoSync);
    EXPECT_EQ(readAvrLockBits(bench.runner, &lock), RunOutcome::NoSync);
    EXPECT_EQ(fuses.low, 0x12);
    EXPECT_EQ(fuses.high, 0x34);
    EXPECT_EQ(lock, 0x56);
}

TEST_F(ChipOperations, AvrBitsAreNeverSentToAnotherChip)
{
    // A four-byte instruction would put a three-byte chip out of step.
    for (const char* keyword : {"s8252", "s53", "s52", "s8253"}) {
        ChipBench bench(keyword);
        FuseBytes fuses;
        uint8_t lock = 0;
        EXPECT_EQ(readFuseBits(bench.runner, &fuses), RunOutcome::Cancelled) << keyword;
        EXPECT_EQ(writeFuseBits(bench.runner, fuses), RunOutcome::Cancelled) << keyword;
        EXPECT_EQ(readAvrLockBits(bench.runner, &lock), RunOutcome::Cancelled) << keyword;
        EXPECT_EQ(writeAvrLockBits(bench.runner, lock), RunOutcome::Cancelled) << keyword;
        EXPECT_TRUE(bench.tap->sent.empty()) << keyword;
        EXPECT_TRUE(bench.view.statusHistory.empty()) << keyword;
    }
}

}  // namespace

// Every AVR of the chip table beyond the ATmega8 family, part by part, through both
// chip models (ours in process, ../shared/visp behind a real SerialLink in a child
// process): the signature names its entry, a flash image of the chip's full size and
// an EEPROM image are written, verified, read back and compared, the fuses read as the
// table's factory values, and a changed fuse is written and read back. The operations
// are the ones the window and kestova-cli call.
#include <gtest/gtest.h>

#include "link/LineDriver.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "target/CompareChip.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/FuseBits.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"
#include "target/TargetState.h"
#include "tests/sim/VispRerun.h"
#include "tests/support/RecordingView.h"
#include "tests/support/ScratchFiles.h"
#include "view/Strings.h"

namespace {

enum class Backend { Sim, Visp };

struct Part {
    const char* name;  // SIM: keyword and VISP_CHIP alike
    Backend backend = Backend::Sim;
};

void PrintTo(const Part& p, std::ostream* os) { *os << p.name << (p.backend == Backend::Sim ? " on sim" : " on visp"); }

std::vector<Part> allParts()
{
    std::vector<Part> parts;
    for (Backend backend : {Backend::Sim, Backend::Visp})
        for (const char* name :
             {"atmega48", "atmega48p", "atmega88", "atmega88p", "atmega168", "atmega168p", "atmega328", "atmega328p",
              "atmega16", "atmega32", "attiny13", "attiny25", "attiny45", "attiny85", "attiny2313"})
            parts.push_back({name, backend});
    return parts;
}

// Different in every byte of a page and from one page to the next, and never all 0xFF.
QByteArray image(int32_t size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int32_t a = 0; a < size; ++a)
        bytes[a] = char((a * 13 + (a >> 7) * 7 + seed) & 0xFF);
    return bytes;
}

class ChipRoundTrip : public ::testing::TestWithParam<Part> {
protected:
    void SetUp() override
    {
        const Part& part = GetParam();
        chip_ = chipForName(QLatin1String(part.name));
        ASSERT_NE(chip_, nullptr);
        applyChipState(target_, chip_);
        if (!connectChip(line_, part.backend == Backend::Visp, *simChipTypeForKeyword(QLatin1String(part.name)),
                         part.name)) {
            delegated_ = true;
            return;
        }
        // Both models follow any clock, and full-size images are many bytes: no wait
        // between edges (the ladder's 5 µs would make each image take tens of seconds).
        line_.setClockDelay(0);
    }

    // Writes a file's bytes into the chosen memory and checks the whole round trip.
    void roundTrip(bool eeprom, const QByteArray& bytes)
    {
        const char* memory = eeprom ? "EEPROM" : "flash";
        const QString file = scratch_.write(QStringLiteral("image.bin"), bytes);
        QString autoRun = file;
        EXPECT_EQ(programChip(runner_, autoRun, eeprom), RunOutcome::Done) << memory;
        EXPECT_EQ(view_.status, QLatin1String(Str::kDone)) << memory;
        EXPECT_TRUE(view_.failures.empty()) << memory << ": " << view_.failures.front().toStdString();

        // The read is of the whole memory: the image, then what its erase left.
        const QString back = scratch_.path(QStringLiteral("back.bin"));
        EXPECT_EQ(readChip(runner_, back), RunOutcome::Done) << memory;
        const QByteArray read = readAll(back);
        EXPECT_EQ(read.size(), chip_->memory(eeprom ? MemoryKind::Eeprom : MemoryKind::Flash).size) << memory;
        EXPECT_TRUE(read.startsWith(bytes)) << memory << " read back differs";
        if (!eeprom) {
            EXPECT_EQ(read.mid(bytes.size()).count('\xFF'), read.size() - bytes.size()) << "erased beyond the image";
        }
        view_.messages.clear();
        EXPECT_EQ(compareChip(runner_, file), RunOutcome::Done) << memory;
        EXPECT_EQ(view_.progressText, QLatin1String(Str::kIdenticalData)) << memory;
        EXPECT_TRUE(view_.messages.empty()) << memory << " compare found differences";
    }

    const ChipEntry* chip_ = nullptr;
    RecordingView view_;
    LineDriver line_;
    TargetState target_;
    DeviceRunner runner_{line_, target_, view_};
    ScratchDir scratch_;
    bool delegated_ = false;  // a child process with visp ran the test, and SetUp checked that it passed
};

TEST_P(ChipRoundTrip, SignatureNamesThePartAndItsEntry)
{
    if (delegated_)
        return;
    SignatureBytes signature{};
    EXPECT_EQ(runner_.run([&](DeviceSession& session) {
        for (uint32_t i = 0; i < 3; ++i)
            signature[i] = session.transfer(chip_->isp.signature, {i});
    }),
              RunOutcome::Done);
    const SignatureMatch found = chipForSignature(signature);
    ASSERT_TRUE(found) << signatureText(signature).toStdString();
    EXPECT_EQ(found.chip, chip_);
    EXPECT_EQ(QString::fromLatin1(found.part->part).toLower(), QLatin1String(GetParam().name));
}

TEST_P(ChipRoundTrip, FullFlashAndEepromImagesAreWrittenVerifiedReadBackAndCompared)
{
    if (delegated_)
        return;
    roundTrip(false, image(chip_->flash.size, 1));
    // The EEPROM after the flash: the flash write's erase must not be the EEPROM's only cause of 0xFF.
    roundTrip(true, image(chip_->eeprom.size, 2));
    // A second flash image: each run erases before it writes.
    roundTrip(false, image(chip_->flash.pageBytes * 3 + 1, 3));
}

TEST_P(ChipRoundTrip, FusesReadTheFactoryValuesAndAChangedFuseIsKept)
{
    if (delegated_)
        return;
    const FuseBytes factory = {chip_->fuse(FuseByte::Low).factory, chip_->fuse(FuseByte::High).factory,
                               chip_->fuse(FuseByte::Extended).factory};
    FuseBytes read;
    ASSERT_EQ(readFuseBits(runner_, &read), RunOutcome::Done);
    EXPECT_EQ(read.low, factory.low);
    EXPECT_EQ(read.high, factory.high);
    EXPECT_EQ(read.extended, factory.extended);

    // The clock source in the low fuse (every part has CKSEL0), and each extended fuse bit.
    FuseBytes changed = factory;
    changed.low ^= 0x01;
    changed.extended = chip_->fuse(FuseByte::Extended).normalized(uint8_t(~factory.extended));
    ASSERT_EQ(writeFuseBits(runner_, changed), RunOutcome::Done);
    ASSERT_EQ(readFuseBits(runner_, &read), RunOutcome::Done);
    EXPECT_EQ(read.low, changed.low);
    EXPECT_EQ(read.high, changed.high);
    EXPECT_EQ(read.extended, changed.extended);
}

INSTANTIATE_TEST_SUITE_P(BothModels, ChipRoundTrip, ::testing::ValuesIn(allParts()),
                         [](const ::testing::TestParamInfo<Part>& info) {
                             return std::string(info.param.name)
                                 + (info.param.backend == Backend::Sim ? "_sim" : "_visp");
                         });

}  // namespace

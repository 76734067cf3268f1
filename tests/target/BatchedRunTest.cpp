// The programming run on a cable that batches (the FTDI path), with a simulated chip at
// the adapter's pins: writes and read-backs go out many to a batch, and Normal mode's
// read-back keeps its meaning there: a byte that did not stay is written again one rung
// slower, and so is every byte its batch wrote after it.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "link/BitBangPort.h"
#include "link/FtdiCable.h"
#include "link/FtdiClock.h"
#include "link/Timing.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"
#include "tests/target/ChipBench.h"

namespace {

// The adapter's pins wired to a set of modem lines through the cable's logic: SCK = D2,
// MOSI = D4, MISO = D3, none inverted. Each sample shows the pins before its state, and
// each state lasts as long as the rate says, since the simulated chip times its write
// cycles on the same clock.
class PinsToLines final : public BitBangPort {
public:
    explicit PinsToLines(ModemLines& lines) : lines_(lines) {}
    bool setBaudValue(int value) override
    {
        stateUs_ = static_cast<int32_t>(std::ceil(FtdiClock::stateUsFor(value)));
        return !failed();
    }
    bool exchange(std::span<const uint8_t> states, std::span<uint8_t> samples) override
    {
        ++exchanges;
        for (size_t k = 0; k < states.size(); ++k) {
            samples[k] = static_cast<uint8_t>(states[k] | (lines_.cts() ? 0 : FtdiPin::kMiso));
            lines_.setLines((states[k] & FtdiPin::kMosi) == 0, (states[k] & FtdiPin::kSck) == 0);
            delayMicroseconds(stateUs_);
        }
        return true;
    }
    void sleepHost(std::chrono::microseconds duration) override { std::this_thread::sleep_for(duration); }
    int exchanges = 0;

private:
    ModemLines& lines_;
    int32_t stateUs_ = 5;
};

// A chip behind a wire tap behind an FTDI cable, as the window or kestova-cli would hold it.
struct BatchedBench {
    explicit BatchedBench(const char* keyword)
    {
        applyChipState(target, chipForKeyword(QLatin1String(keyword)));
        auto chip = std::make_unique<SimulatedTarget>(makeChipModel(*simChipTypeForKeyword(QLatin1String(keyword))));
        sim = chip.get();
        sim->setResyncIdle(std::chrono::minutes(1));
        tap = std::make_unique<WireTap>(std::move(chip));
        auto port = std::make_unique<PinsToLines>(*tap);
        pins = port.get();
        line.attachCable(std::make_unique<FtdiCable>(std::move(port)), QStringLiteral("FTDI:TEST"));
    }
    ChipMemories& chip() { return sim->chip()->memories(); }

    std::unique_ptr<WireTap> tap;  // outlives the cable, which ends on the lines at rest
    RecordingView view;
    LineDriver line{nullptr};
    TargetState target;
    DeviceRunner runner{line, target, view};
    SimulatedTarget* sim = nullptr;
    PinsToLines* pins = nullptr;
};

int framesWriting(const Bytes& sent, uint8_t op, int address)
{
    int count = 0;
    for (size_t i = 0; i + 3 < sent.size(); i += 4)
        count += sent[i] == op && ((sent[i + 1] << 8) | sent[i + 2]) == address ? 1 : 0;
    return count;
}

TEST(BatchedRun, AByteThatDidNotStayIsWrittenAgainSlowerWithWhatItsBatchWroteAfterIt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("image.bin"));
    QByteArray image(300, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7 + 1);
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(image);
    out.close();

    BatchedBench bench("s52");
    bench.sim->chip()->loseWrites(SimMemory::Flash, 100, 1);
    QString autoRun = file;
    EXPECT_EQ(programChip(bench.runner, autoRun, false), RunOutcome::Done);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), bench.chip().flash.begin(),
                           [](char a, uint8_t b) { return uint8_t(a) == b; }));
    EXPECT_EQ(bench.line.clockDelay(), 7) << "one rung slower";
    // The lost byte went out twice, and so did the next one, which its batch had written
    // at the faster rung; a byte of an earlier batch went once.
    const Bytes& sent = bench.tap->sent;
    EXPECT_EQ(framesWriting(sent, 0x40, 100), 2);
    EXPECT_EQ(framesWriting(sent, 0x40, 101), 2);
    EXPECT_EQ(framesWriting(sent, 0x40, 0), 1);
    // Many bytes to a batch: far fewer exchanges than instructions.
    EXPECT_LT(bench.pins->exchanges, 300);
}

TEST(BatchedRun, AWholeFlashIsReadInBatchesByteForByte)
{
    BatchedBench bench("atmega8");
    for (size_t i = 0; i < bench.chip().flash.size(); ++i)
        bench.chip().flash[i] = static_cast<uint8_t>(i * 13 + 5);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("read.bin"));
    EXPECT_EQ(readChip(bench.runner, out), RunOutcome::Done);
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray read = file.readAll();
    ASSERT_EQ(read.size(), 8192);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), bench.chip().flash.begin(),
                           [](char a, uint8_t b) { return uint8_t(a) == b; }));
    // A batch holds at most about 150 ms of work: many reads, and still many batches.
    EXPECT_LT(bench.pins->exchanges, 8192 / 10);
    EXPECT_GT(bench.pins->exchanges, 8192 * 320 / 150000);
}

}  // namespace

// A whole Normal-mode programming run of an 8 KiB image from the main window (live,
// on the offscreen platform) into a simulated ATmega8 and a simulated AT89S52,
// against the floor: the waits the protocol itself mandates, summed from what went
// over the cable (two clock-delay half periods per bit, the write delay after each
// byte or page write, the erase's 500 ms, and the pauses of every enable, signature
// probe and release). The same run without a window shows what the window costs.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

#include "BenchImage.h"
#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "image/ImageBuffer.h"
#include "sim/SimulatedPorts.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/ProgramChip.h"
#include "view/SilentView.h"
#include "view/Strings.h"

namespace {

constexpr int kImageBytes = 8192;

// Passes every line call on and adds up the waits that the traffic on it mandates.
class WaitTally final : public ModemLines {
public:
    WaitTally(std::unique_ptr<ModemLines> inner, const LineDriver& line, const TargetState& target)
        : inner_(std::move(inner)), line_(line), target_(target)
    {
    }
    void setDtr(bool asserted) override
    {
        dtr_ = asserted;
        inner_->setDtr(asserted);
    }
    void setRts(bool asserted) override
    {
        clockEdge(asserted, true);
        inner_->setRts(asserted);
    }
    // MOSI with SCK going low, as every bit after the first of an instruction is sent:
    // not a rest of the lines, however long SCK was already low.
    void setLines(bool dtrAsserted, bool rtsAsserted) override
    {
        dtr_ = dtrAsserted;
        clockEdge(rtsAsserted, false);
        inner_->setLines(dtrAsserted, rtsAsserted);
    }
    bool cts() override { return inner_->cts(); }

    double floorUs = 0;

private:
    void clockEdge(bool asserted, bool restIfIdle)
    {
        if (!asserted && rts_) {
            floorUs += 2.0 * line_.clockDelay();  // one bit: leading and trailing half periods
            shift_ = (shift_ << 1) | (dtr_ ? 0u : 1u);
            if (++bits_ == 8) {
                frame_[bytes_++] = static_cast<uint8_t>(shift_);
                bits_ = 0;
                if (bytes_ == 4) {
                    frameDone();
                    bytes_ = 0;
                }
            }
        } else if (asserted && rts_ && restIfIdle) {
            // Clock already idle: the lines put at rest by an enable (100 ms, then 70 ms
            // after its bytes) or by a release (70 ms).
            floorUs += 70'000.0;
        }
        rts_ = asserted;
    }

    void frameDone()
    {
        // The chip's own instructions, from the table, tell which frame waits how long.
        const ChipEntry& chip = *target_.chip;
        const MemorySpec& memory = chip.flash;
        const IspInstruction& timedWrite = memory.paged() ? memory.commitPage : memory.write;
        const uint8_t op = frame_[0];
        if (op == 0xAC && frame_[1] == 0x53)
            floorUs += 100'000.0;
        else if (op == 0xAC && frame_[1] == 0x80)
            floorUs += 500'000.0;
        else if (op == chip.isp.signature.encode({})[0])
            floorUs += 70'000.0;  // signature probe
        else if (op == timedWrite.encode({})[0])
            floorUs += 1000.0 * target_.writeDelay;
    }

    std::unique_ptr<ModemLines> inner_;
    const LineDriver& line_;
    const TargetState& target_;
    bool dtr_ = true;
    bool rts_ = true;
    unsigned shift_ = 0;
    int bits_ = 0;
    uint8_t frame_[4] = {};
    int bytes_ = 0;
};

// Keeps only the last phase or result, to check that the run ended with "Done".
class StatusView : public SilentView {
public:
    void showPhase(const QString& text) override { status = text; }
    void showResult(const QString& text, bool) override { status = text; }
    void showMessage(MessageIcon, const QString&, const QString& text) override { status = text; }
    QString status;
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool chipHolds(ModemLines* lines, const QByteArray& image)
{
    // Under the tally sits the simulated chip; its flash must now start with the image.
    auto* sim = dynamic_cast<SimulatedTarget*>(lines);
    if (!sim)
        return false;
    const std::vector<uint8_t>& flash = sim->chip()->memories().flash;
    return std::equal(image.begin(), image.end(), flash.begin(), [](char a, uint8_t b) { return uint8_t(a) == b; });
}

// The main window with the user's answer to the open dialog ready: the image.
class BenchWindow : public MainWindow {
public:
    BenchWindow(Options options, QString file) : MainWindow(std::move(options)), file_(std::move(file)) {}

protected:
    QString askOpenFileName(const QString&) override { return file_; }

private:
    QString file_;
};

struct Result {
    double seconds = 0;
    double floorSeconds = 0;
    bool ok = false;
    double reportedSeconds = 0;  // what the run's summary (and kestova-cli's) says
};

// The run as a user starts it: the "Write" button of the live main window.
Result runInWindow(const QTemporaryDir& dir, const char* keyword, int chipIndex, const QString& file,
                   const QByteArray& image)
{
    QFile ini(dir.filePath(QStringLiteral("kestova.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("[CONFIG]\r\nCHIP=%1\r\nPORTA=SIM:%2\r\n")
                  .arg(chipIndex)
                  .arg(QLatin1String(keyword))
                  .toLatin1());
    ini.close();

    WaitTally* tally = nullptr;
    SimulatedTarget* sim = nullptr;
    MainWindow* window = nullptr;
    MainWindow::Options options;
    options.executablePath = dir.filePath(QStringLiteral("kestova"));
    options.startupPauseMs = 0;
    options.opener = [&](const QString& name, PortError* error) -> std::unique_ptr<ModemLines> {
        auto lines = openSimulatedPort(name, error);
        sim = dynamic_cast<SimulatedTarget*>(lines.get());
        auto tapped = std::make_unique<WaitTally>(std::move(lines), window->link(), window->target());
        tally = tapped.get();
        return tapped;
    };
    BenchWindow w(options, file);
    window = &w;
    w.start({});
    w.show();
    QApplication::processEvents();
    tally->floorUs = 0;

    const auto start = std::chrono::steady_clock::now();
    w.findChild<QPushButton*>(QStringLiteral("ButtonWrite"))->click();
    Result result{secondsSince(start), tally->floorUs / 1e6, false, w.runner().report().elapsedMs / 1000.0};
    const auto* phase = w.findChild<StatusPanel*>(QStringLiteral("StatusPanel0"));
    result.ok = phase->fullText() == QLatin1String(Str::kDone) && chipHolds(sim, image);
    return result;
}

// The same run with a view that draws nothing: the cost of the window is the difference.
Result runHeadless(const char* keyword, int chipIndex, const QString& file, const QByteArray& image)
{
    StatusView view;
    LineDriver line(nullptr);
    TargetState target;
    applyChipState(target, chipAt(chipIndex));
    auto sim = openSimulatedPort(QStringLiteral("SIM:") + QLatin1String(keyword), nullptr);
    SimulatedTarget* chip = dynamic_cast<SimulatedTarget*>(sim.get());
    auto tapped = std::make_unique<WaitTally>(std::move(sim), line, target);
    WaitTally* tally = tapped.get();
    line.attach(std::move(tapped), QStringLiteral("SIM"));
    DeviceRunner runner(line, target, view);
    QString autoRun = file;
    const auto start = std::chrono::steady_clock::now();
    programChip(runner, autoRun, false);
    return {secondsSince(start), tally->floorUs / 1e6,
            view.status == QLatin1String(Str::kDone) && chipHolds(chip, image), runner.report().elapsedMs / 1000.0};
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerSimulatedPorts();
    QTemporaryDir dir;
    qputenv("KESTOVA_SIM_DIR", dir.path().toLocal8Bit());
    // A stall of a loaded machine inside an instruction must not count as the reset pulse.
    qputenv("KESTOVA_SIM_RESYNC_MS", "60000");

    const QString file = dir.filePath(QStringLiteral("image.bin"));
    const QByteArray image = writeBenchImage(file, kImageBytes);

    int status = 0;
    QStringList summary;
    for (const auto& [keyword, index] : {std::pair{"atmega8", 5}, std::pair{"s52", 3}}) {
        // Other work on the machine only ever adds time: the faster of two runs counts.
        Result headless, windowed;
        for (int round = 0; round < 2; ++round) {
            const Result h = runHeadless(keyword, index, file, image);
            const Result w = runInWindow(dir, keyword, index, file, image);
            if (round == 0 || h.seconds < headless.seconds)
                headless = h;
            if (round == 0 || w.seconds < windowed.seconds)
                windowed = w;
        }
        if (!headless.ok || !windowed.ok) {
            std::fprintf(stderr, "%s: the run did not end with the image in the chip\n", keyword);
            status = 1;
        }
        std::printf("%s without a window: %.2f s, floor %.2f s, ratio %.3f; the window adds %.1f %%\n", keyword,
                    headless.seconds, headless.floorSeconds, headless.seconds / headless.floorSeconds,
                    100.0 * (windowed.seconds - headless.seconds) / headless.seconds);
        // The summary times the run from the enable to the release; the click around it
        // only adds loading the file. Both must tell the user the same time.
        for (const Result* r : {&headless, &windowed}) {
            if (r->seconds - r->reportedSeconds > 0.02 * r->seconds + 0.05 || r->reportedSeconds > r->seconds) {
                std::fprintf(stderr, "%s: the summary says %.2f s for a run of %.2f s\n", keyword, r->reportedSeconds,
                             r->seconds);
                status = 1;
            }
        }
        summary << QString::asprintf("program-run %s %d B: %.2f s, floor %.2f s, ratio %.3f, summary %.2f s", keyword,
                                     kImageBytes, windowed.seconds, windowed.floorSeconds,
                                     windowed.seconds / windowed.floorSeconds, windowed.reportedSeconds);
    }
    for (const QString& line : summary)
        std::printf("%s\n", qPrintable(line));
    return status;
}

// What a USB serial adapter costs: an 8 KiB Normal-mode write (with its erase and
// verify) into an ATmega8 and an 8 KiB flash read, over the simulated FTDI adapter at
// 1 ms per USB round trip (../shared/vftdi) and over visp's modem-line path at 125 µs
// per line call (a PL2303 or CH340). Each figure runs the engine in a child process
// with the simulation preloaded; the floor is what the protocol itself needs for what
// went over the cable: every bit's two half clocks at the half clock the cable chose,
// and every wait and pause.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

#include "BenchImage.h"
#include "link/FtdiClock.h"
#include "link/LineDriver.h"
#include "link/ModemLineCable.h"
#include "link/PortOpener.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"
#include "view/SilentView.h"
#include "view/Strings.h"

namespace {

constexpr int kImageBytes = 8192;
const char* kChildVariable = "KESTOVA_BENCH_FIGURE";

// Passes everything on to the cable and adds up the floor of what went through.
class FloorTally final : public IspCable {
public:
    FloorTally(std::unique_ptr<IspCable> inner, bool ftdi) : inner_(std::move(inner)), ftdi_(ftdi) {}
    void setHalfClock(int32_t microseconds) override
    {
        halfUs_ = ftdi_ ? FtdiClock::forHalfClock(microseconds).halfUs() : std::max(microseconds, 5);
        inner_->setHalfClock(microseconds);
    }
    Ticket queueBytes(const IspInstruction::Bytes& bytes, int count, unsigned used) override
    {
        floorUs += 16.0 * count * halfUs_;
        return inner_->queueBytes(bytes, count, used);
    }
    void queueDelay(int32_t microseconds) override
    {
        floorUs += microseconds;
        inner_->queueDelay(microseconds);
    }
    void queueSleep(int32_t milliseconds) override
    {
        floorUs += 1000.0 * milliseconds;
        inner_->queueSleep(milliseconds);
    }
    void queueLevels(bool sck, bool mosi) override { inner_->queueLevels(sck, mosi); }
    bool flush() override { return inner_->flush(); }
    IspInstruction::Bytes replies(Ticket ticket) const override { return inner_->replies(ticket); }
    bool batches() const override { return inner_->batches(); }
    const LineFailure& failure() const override { return inner_->failure(); }

    double floorUs = 0;

private:
    std::unique_ptr<IspCable> inner_;
    bool ftdi_;
    double halfUs_ = 5;
};

class StatusView : public SilentView {
public:
    void showResult(const QString& text, bool) override { status = text; }
    QString status;
};

// The child: one figure ("ftdi write", "visp read", ...) run through the engine.
int runFigure(const QString& figure, const QString& file)
{
    const bool ftdi = figure.startsWith(QLatin1String("ftdi"));
    PortError error;
    std::unique_ptr<IspCable> cable;
    if (ftdi)
        cable = PortOpener::openCable(QStringLiteral("FTDI:VFTDI001"), &error);
    else if (auto lines = PortOpener::open(QStringLiteral("/dev/ttyVISP0"), &error))
        cable = std::make_unique<ModemLineCable>(std::move(lines));
    if (!cable) {
        std::fprintf(stderr, "%s: the port did not open\n", qPrintable(figure));
        return 1;
    }
    auto tallied = std::make_unique<FloorTally>(std::move(cable), ftdi);
    FloorTally* tally = tallied.get();
    LineDriver line(nullptr);
    line.attachCable(std::move(tallied), QStringLiteral("bench"));
    TargetState target;
    applyChipState(target, chipForKeyword(QStringLiteral("atmega8")));
    StatusView view;
    DeviceRunner runner(line, target, view);

    const auto start = std::chrono::steady_clock::now();
    QString autoRun = file;
    if (figure.endsWith(QLatin1String("write")))
        programChip(runner, autoRun, false);
    else
        readChip(runner, file + QStringLiteral(".read"));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double floorSeconds = tally->floorUs / 1e6;
    line.close();  // the simulations save their counters when the port closes
    std::printf("%.3f %.3f %s\n", seconds, floorSeconds, view.status == QLatin1String(Str::kDone) ? "ok" : "failed");
    return 0;
}

QMap<QString, double> counters(const QString& tool, const QString& state)
{
    QProcess info;
    info.start(tool, {QStringLiteral("info"), state});
    info.waitForFinished(30000);
    QMap<QString, double> values;
    for (const QByteArray& line : info.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromLatin1(line.left(eq)), line.mid(eq + 1).toDouble());
    }
    return values;
}

// The parent: each figure in a child under its simulation, then its summary line.
bool measure(const QString& figure, const QString& file, const QTemporaryDir& dir)
{
    const bool ftdi = figure.startsWith(QLatin1String("ftdi"));
    const QString state = dir.filePath(figure.section(QLatin1Char(' '), 0, 0) + QStringLiteral(".state"));
    const QString simDir = QString::fromUtf8(ftdi ? KESTOVA_VFTDI_DIR : KESTOVA_VISP_DIR);
    const QString tool = simDir + QLatin1String(ftdi ? "/vftdi" : "/visp");
    // A second figure on the same chip starts its counters from nought.
    if (QFile::exists(state))
        QProcess::execute(tool, {QStringLiteral("zero"), state});

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), simDir + QLatin1String(ftdi ? "/libvftdi.so" : "/libvisp.so"));
    env.insert(QStringLiteral("VISP_CHIP"), QStringLiteral("atmega8"));
    env.insert(QStringLiteral("VISP_STATE"), state);
    env.insert(QStringLiteral("VFTDI_USB_LATENCY_US"), QStringLiteral("1000"));
    env.insert(QStringLiteral("VFTDI_TIME_SCALE"), QStringLiteral("1"));
    env.insert(QStringLiteral("VISP_LINE_LATENCY_US"), QStringLiteral("125"));
    env.insert(QStringLiteral("VISP_IDLE_RESYNC_MS"), QStringLiteral("500"));
    env.insert(QLatin1String(kChildVariable), figure);
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {file});
    child.waitForFinished(-1);
    const QStringList result = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (result.size() != 3 || result[2] != QLatin1String("ok")) {
        std::fprintf(stderr, "%s: the run did not end with \"Done\": %s\n", qPrintable(figure),
                     qPrintable(QString::fromLocal8Bit(child.readAllStandardError())));
        return false;
    }
    const double seconds = result[0].toDouble();
    const double floor = result[1].toDouble();
    const QMap<QString, double> count = counters(tool, state);
    const char* what = figure.endsWith(QLatin1String("write")) ? "write" : "read";
    if (ftdi)
        std::printf("usb-ftdi %s %d B atmega8: %.2f s, floor %.2f s, ratio %.3f, %.0f transfers\n", what, kImageBytes,
                    seconds, floor, seconds / floor,
                    count.value(QStringLiteral("usb_writes")) + count.value(QStringLiteral("usb_reads"))
                        + count.value(QStringLiteral("usb_control")));
    else
        std::printf("usb-modem-lines %s %d B atmega8 at 125 us a call: %.2f s, floor %.2f s, %.0f line calls, "
                    "%.2f per bit\n",
                    what, kImageBytes, seconds, floor, count.value(QStringLiteral("line_ioctls")),
                    count.value(QStringLiteral("line_ioctls")) / std::max(1.0, count.value(QStringLiteral("bits"))));
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString figure = qEnvironmentVariable(kChildVariable);
    if (!figure.isEmpty())
        return runFigure(figure, app.arguments().value(1));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("image.bin"));
    writeBenchImage(file, kImageBytes);

    bool ok = true;
    for (const char* figure : {"ftdi write", "ftdi read", "visp write", "visp read"})
        ok = measure(QLatin1String(figure), file, dir) && ok;
    return ok ? 0 : 1;
}

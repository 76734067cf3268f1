// Opens a 10,000,000-byte file in the hex view and drags it from the top to the
// bottom, drawing each step offscreen; prints opening (against reading the same file
// from disk) and one drawn frame of scrolling apart, and the memory the view took
// against the file's size.
#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

#include "app/HexView.h"

namespace {

constexpr qint64 kFileSize = 10'000'000;
// Dragging the scroll bar's thumb from top to bottom for one second: a screen
// refreshing 60 times a second shows at most 60 frames of it.
constexpr int kScrollFrames = 60;
constexpr int kRuns = 7;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Both the floor and the editor read the file from the disk, not from the page
// cache: the file's cached pages are dropped before each run (Linux).
void dropFromCache(const QString& path)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

// Peak resident memory of this process in bytes (Linux), or -1.
qint64 peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

// Starts the peak over from the current use, so the figure covers only what follows.
void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

bool writeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // In chunks, so making the file does not raise this process's peak memory.
    std::mt19937 random(2024);
    QByteArray chunk(1 << 16, 0);
    for (qint64 written = 0; written < kFileSize; written += chunk.size()) {
        for (char& byte : chunk)
            byte = char(random());
        if (file.write(chunk.constData(), std::min<qint64>(chunk.size(), kFileSize - written)) < 0)
            return false;
    }
    return true;
}

struct Run {
    double openMs = 0;
    double scrollMs = 0;
    qint64 memory = -1;
    bool reachedEnd = false;
};

Run openAndScroll(const QString& path)
{
    auto view = std::make_unique<HexView>();
    view->resize(760, 620);
    view->show();
    view->viewport()->repaint();  // the backing store exists before the measurement starts
    QCoreApplication::processEvents();
    dropFromCache(path);

    Run run;
    resetPeakMemory();
    const qint64 before = peakMemory();
    const auto start = Clock::now();
    view->loadFromFile(path);
    view->viewport()->repaint();
    run.openMs = msSince(start);
    QScrollBar* bar = view->verticalScrollBar();
    for (int frame = 1; frame <= kScrollFrames; ++frame) {
        bar->setValue(int(qint64(bar->maximum()) * frame / kScrollFrames));
        view->viewport()->repaint();
    }
    run.scrollMs = msSince(start) - run.openMs;
    const qint64 after = peakMemory();
    run.memory = before < 0 || after < 0 ? -1 : after - before;
    run.reachedEnd = bar->value() == bar->maximum() && view->buffer().size() == kFileSize;
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    if (!writeFile(path)) {
        std::fprintf(stderr, "hex-editor: cannot write %s\n", qPrintable(path));
        return 1;
    }

    std::vector<double> openTimes, scrollTimes, totalTimes, readTimes;
    qint64 memory = -1;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = openAndScroll(path);
        if (!run.reachedEnd) {
            std::fprintf(stderr, "hex-editor: the view did not reach the end of the file\n");
            return 1;
        }
        openTimes.push_back(run.openMs);
        scrollTimes.push_back(run.scrollMs);
        totalTimes.push_back(run.openMs + run.scrollMs);
        memory = std::max(memory, run.memory);

        dropFromCache(path);
        const auto start = Clock::now();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll().size() != kFileSize) {
            std::fprintf(stderr, "hex-editor: cannot read %s back\n", qPrintable(path));
            return 1;
        }
        readTimes.push_back(msSince(start));
    }

    const double openMs = median(openTimes);
    const double frameMs = median(scrollTimes) / kScrollFrames;
    const double readMs = median(readTimes);
    std::printf("open %.1f ms (first rows drawn), scroll %d frames in %.1f ms, open+scroll %.0f ms; medians of %d "
                "runs, file read from disk each time\n",
                openMs, kScrollFrames, median(scrollTimes), median(totalTimes), kRuns);
    // What a user feels, each against its goal: opening within twice the disk read,
    // a frame of scrolling within 2 ms.
    std::printf("hex-editor %lld B: open %.0f ms = %.1f x disk read, frame %.2f ms, memory ratio %.1f\n",
                static_cast<long long>(kFileSize), openMs, openMs / readMs, frameMs,
                memory < 0 ? -1.0 : double(memory) / double(kFileSize));
    return 0;
}

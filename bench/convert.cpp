// Converts a 64 KiB image HEX -> BIN and BIN -> HEX, file to file as the menu and
// kestova-cli do, and compares each with reading the same image bytes from disk.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "image/Converters.h"
#include "image/ImageBuffer.h"

namespace {

// Median of several runs in milliseconds: the page cache makes the first run an outlier.
double medianMs(const std::function<void()>& work, int runs = 31)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The largest image a HEX file converts back into: addresses 0..65533.
    const int size = kHexImageSize;
    QByteArray image(size, 0);
    std::mt19937 random(12345);
    for (char& byte : image)
        byte = char(random());

    const QString bin = dir.filePath(QStringLiteral("image.bin"));
    const QString hex = dir.filePath(QStringLiteral("image.hex"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QFile file(bin);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != size)
        return 1;
    file.close();
    convertBinToHex(bin, hex);

    qint64 sink = 0;
    const double readMs = medianMs([&] {
        QFile in(bin);
        if (in.open(QIODevice::ReadOnly))
            sink += in.readAll().size();
    });
    const double hexToBinMs = medianMs([&] { convertHexToBin(hex, out); });
    const double binToHexMs = medianMs([&] { convertBinToHex(bin, out); });

    std::printf("read %lld B from disk in total, HEX file %lld B\n", static_cast<long long>(sink),
                static_cast<long long>(QFile(hex).size()));
    std::printf("convert %d B: hex->bin %.3f ms, bin->hex %.3f ms, disk read %.3f ms, ratio %.1f / %.1f\n", size,
                hexToBinMs, binToHexMs, readMs, hexToBinMs / readMs, binToHexMs / readMs);
    return 0;
}

// The firmware image the programming benchmarks write: the same random bytes in every
// run, so that runs and benchmarks compare.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <random>

// Writes `bytes` such bytes to `file` and returns them.
inline QByteArray writeBenchImage(const QString& file, int bytes)
{
    QByteArray image(bytes, '\0');
    std::mt19937 random(8192);
    for (char& byte : image)
        byte = static_cast<char>(random() & 0xFF);
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(image);
    return image;
}

// State file layout (little-endian):
//   8 bytes "KSIMCHP1", u32 chip type, u32 flash size, u32 EEPROM size,
//   u8 low fuse, u8 high fuse, u8 lock, u8 extended fuse, flash bytes, EEPROM bytes.
// The sizes are checked against the chip on load, so a file from another chip
// or a truncated one is never half applied.
// The extended fuse byte was reserved (written 0) before any chip with one was
// simulated: it counts only for chips that have that fuse and is 0 for the others,
// so every file written before reads as it did and earlier builds read today's.
#include "sim/ChipStateFile.h"

#include <cstring>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "sim/SimChipCatalogue.h"

namespace {

constexpr char kMagic[8] = {'K', 'S', 'I', 'M', 'C', 'H', 'P', '1'};

bool readBytes(QDataStream& in, std::vector<uint8_t>& into, quint32 size)
{
    if (size != into.size())
        return false;
    return in.readRawData(reinterpret_cast<char*>(into.data()), static_cast<int>(size)) == static_cast<int>(size);
}

}  // namespace

QString simStateDirectory()
{
    const QString overridden = qEnvironmentVariable("KESTOVA_SIM_DIR");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/kestova/sim");
}

QString simStatePath(const QString& directory, SimChipType type)
{
    return directory + QLatin1Char('/') + simChipKeyword(type) + QStringLiteral(".simchip");
}

ChipStateLoad loadChipState(const QString& path, ChipModel& chip, QString* why)
{
    const auto unreadable = [&](const char* reason) {
        if (why)
            *why = QString::fromLatin1(reason);
        return ChipStateLoad::Unreadable;
    };
    QFile file(path);
    if (!file.exists())
        return ChipStateLoad::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        if (why)
            *why = file.errorString();
        return ChipStateLoad::Unreadable;
    }
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    char magic[8];
    quint32 type = 0, flashSize = 0, eepromSize = 0;
    quint8 lowFuse = 0, highFuse = 0, lock = 0, extendedFuse = 0;
    if (in.readRawData(magic, 8) != 8 || std::memcmp(magic, kMagic, 8) != 0)
        return unreadable("not a simulated chip file");
    in >> type >> flashSize >> eepromSize >> lowFuse >> highFuse >> lock >> extendedFuse;
    if (in.status() != QDataStream::Ok)
        return unreadable("truncated");
    if (type != static_cast<quint32>(chip.type()))
        return unreadable("made for another chip");
    // Read into copies first: a short file leaves the chip as it was.
    ChipMemories loaded = chip.memories();
    if (!readBytes(in, loaded.flash, flashSize) || !readBytes(in, loaded.eeprom, eepromSize))
        return unreadable("truncated or of the wrong size");
    loaded.lowFuse = lowFuse;
    loaded.highFuse = highFuse;
    loaded.lock = lock;
    if (chip.hasExtendedFuse())
        loaded.extendedFuse = extendedFuse;
    chip.memories() = std::move(loaded);
    return ChipStateLoad::Loaded;
}

bool saveChipState(const QString& path, const ChipModel& chip, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const ChipMemories& m = chip.memories();
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData(kMagic, 8);
    out << static_cast<quint32>(chip.type()) << static_cast<quint32>(m.flash.size())
        << static_cast<quint32>(m.eeprom.size()) << m.lowFuse << m.highFuse << m.lock
        << (chip.hasExtendedFuse() ? m.extendedFuse : quint8{0});
    out.writeRawData(reinterpret_cast<const char*>(m.flash.data()), static_cast<int>(m.flash.size()));
    out.writeRawData(reinterpret_cast<const char*>(m.eeprom.data()), static_cast<int>(m.eeprom.size()));
    if (out.status() != QDataStream::Ok || !file.commit())
        return fail(file.errorString());
    return true;
}

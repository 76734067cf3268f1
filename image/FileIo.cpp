// Whole-file reads and all-or-nothing writes for the image files.
#include "image/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

#include "view/Strings.h"

namespace {

[[noreturn]] void fail(const char* text, const QString& name, const QFileDevice& file)
{
    throw std::runtime_error(QString::fromUtf8(text).arg(name, file.errorString()).toStdString());
}

// Qt only warns on its own console about an empty name; the user gets our message.
void requireName(const QString& name)
{
    if (name.isEmpty())
        throw std::runtime_error(Str::kNoFileName);
}

}  // namespace

QByteArray readFileBytes(const QString& name, qint64 maxBytes)
{
    requireName(name);
    QFile file(name);
    // Read-only: an image on a read-only medium or without write permission still loads.
    if (!file.open(QIODevice::ReadOnly))
        fail(Str::kCannotOpenFile, name, file);
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        fail(Str::kCannotReadFile, name, file);
    return bytes;
}

void writeFileBytes(const QString& name, const char* data, qint64 size)
{
    requireName(name);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        fail(Str::kCannotCreateFile, name, file);
    if (file.write(data, size) != size || !file.commit())
        fail(Str::kCannotCreateFile, name, file);
}

bool isSameFile(const QString& a, const QString& b)
{
    // Canonical paths see through "./", "..", and symbolic links; a file that does
    // not exist yet has none and so is never the same as an existing one.
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Whole-file reads and all-or-nothing writes for the image files.
#include "image/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "image/FileError.h"

namespace {

[[noreturn]] void fail(FileError::Code code, const QString& name, const QFileDevice& file)
{
    throw FileError(code, name, file.errorString());
}

// Qt only warns on its own console about an empty name; the user gets our message.
void requireName(const QString& name)
{
    if (name.isEmpty())
        throw FileError(FileError::Code::NoFileName);
}

}  // namespace

QByteArray readFileBytes(const QString& name, qint64 maxBytes)
{
    requireName(name);
    QFile file(name);
    // Read-only: an image on a read-only medium or without write permission still loads.
    if (!file.open(QIODevice::ReadOnly))
        fail(FileError::Code::CannotOpen, name, file);
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        fail(FileError::Code::CannotRead, name, file);
    return bytes;
}

void writeFileBytes(const QString& name, const char* data, qint64 size)
{
    requireName(name);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        fail(FileError::Code::CannotCreate, name, file);
    if (file.write(data, size) != size || !file.commit())
        fail(FileError::Code::CannotCreate, name, file);
}

bool isSameFile(const QString& a, const QString& b)
{
    // Canonical paths see through "./", "..", and symbolic links; a file that does
    // not exist yet has none and so is never the same as an existing one.
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

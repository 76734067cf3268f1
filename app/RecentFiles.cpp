// RecentFiles: FILE1..FILE8 and FOLDER in the [RECENT] section.
#include "app/RecentFiles.h"

#include <QDir>

#include "settings/ConfigFile.h"

namespace {

const QString kSection = QStringLiteral("RECENT");
const QString kFolderKey = QStringLiteral("FOLDER");

QString fileKey(int index) { return QStringLiteral("FILE%1").arg(index + 1); }

}  // namespace

void RecentFiles::load()
{
    files_.clear();
    for (int i = 0; i < kMaxFiles; ++i) {
        const QString path = config_.readString(kSection, fileKey(i), QString());
        if (!path.isEmpty() && !files_.contains(path))
            files_ << path;
    }
    folder_ = config_.readString(kSection, kFolderKey, QString());
}

bool RecentFiles::add(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    files_.removeAll(clean);
    files_.prepend(clean);
    while (files_.size() > kMaxFiles)
        files_.removeLast();
    return store();
}

bool RecentFiles::remove(const QString& path)
{
    if (files_.removeAll(path) == 0)
        return true;
    return store();
}

bool RecentFiles::setFolder(const QString& folder)
{
    if (folder.isEmpty() || folder == folder_)
        return true;
    folder_ = folder;
    return config_.writeString(kSection, kFolderKey, folder_);
}

bool RecentFiles::store()
{
    // Every slot is written, an emptied one as an empty value, so a shorter list
    // leaves no stale name behind.
    bool written = true;
    for (int i = 0; i < kMaxFiles; ++i) {
        const QString value = i < files_.size() ? files_[i] : QString();
        if (i >= files_.size() && config_.readString(kSection, fileKey(i), QString()).isEmpty())
            continue;
        written = config_.writeString(kSection, fileKey(i), value) && written;
    }
    return written;
}

// ConfigLocation: the choice between the file beside the executable and the user's.
#include "settings/ConfigLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "settings/ConfigFile.h"

const char* const ConfigLocation::kInstalledMarker = "../share/applications/org.kestova.Kestova.desktop";

QString ConfigLocation::userConfigDir()
{
    // Not AppConfigLocation: that follows the application name, and kestova-cli must
    // name the same folder as the window.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kestova");
}

bool ConfigLocation::besideExecutable(const QString& executablePath)
{
    const QDir folder = QFileInfo(executablePath).absoluteDir();
    if (QFileInfo::exists(folder.filePath(QLatin1String(kInstalledMarker))))
        return false;
    return QFileInfo(folder.absolutePath()).isWritable();
}

QString ConfigLocation::filePath(const QString& executablePath, const QString& userDir)
{
    if (besideExecutable(executablePath))
        return ConfigFile::pathForExecutable(executablePath);
    return userDir + QStringLiteral("/kestova.ini");
}

QString ConfigLocation::prepare(const QString& executablePath, const QString& userDir)
{
    const QString path = filePath(executablePath, userDir);
    const QString beside = ConfigFile::pathForExecutable(executablePath);
    if (path == beside || QFileInfo::exists(path))
        return path;
    // A failure here is not reported: the first write names the file it cannot write.
    QDir().mkpath(userDir);
    if (QFileInfo(beside).isFile())
        QFile::copy(beside, path);
    // QFile::copy keeps the source's permission bits, and a system folder's file may be read-only.
    if (QFileInfo::exists(path))
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    return path;
}

// Where the window's configuration file lives. Beside the executable, so another
// program that starts Kestova finds it, as long as that folder is the user's to
// write; an installed copy keeps it in the user's configuration folder instead.
#pragma once

#include <QString>

class ConfigLocation {
public:
    // The installed menu entry, relative to the executable's folder: its presence
    // marks an installed copy, whose folder is the system's even when root can write it.
    static const char* const kInstalledMarker;

    // $XDG_CONFIG_HOME/kestova (~/.config/kestova), the same for kestova and kestova-cli.
    static QString userConfigDir();

    // True when the file beside the executable is the one to use.
    static bool besideExecutable(const QString& executablePath);

    // The file to use, without touching the disk.
    static QString filePath(const QString& executablePath, const QString& userDir = userConfigDir());

    // filePath(), made ready: the user's folder is created and, the first time, the
    // file beside the executable (when one exists) is copied there as starting values.
    static QString prepare(const QString& executablePath, const QString& userDir = userConfigDir());
};

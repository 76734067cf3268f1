// RecentFiles: the files last chosen for writing, newest first, at most eight, and the
// one folder every file dialog starts in. Both live in kestova.ini under a section of
// their own ([RECENT]), so the CONFIG keys that other programs read stay as they are.
#pragma once

#include <QString>
#include <QStringList>

class ConfigFile;

class RecentFiles {
public:
    static constexpr int kMaxFiles = 8;

    explicit RecentFiles(ConfigFile& config) : config_(config) {}

    // Reads the list and the folder from the file (missing entries are skipped).
    void load();
    const QStringList& files() const { return files_; }
    // Puts a file first (once) and stores the list; false when the file could not be written.
    bool add(const QString& path);
    bool remove(const QString& path);

    const QString& folder() const { return folder_; }
    // Stores the folder when it changed.
    bool setFolder(const QString& folder);

private:
    bool store();

    ConfigFile& config_;
    QStringList files_;
    QString folder_;
};

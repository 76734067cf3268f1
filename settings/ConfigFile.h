// The initialisation file beside the executable: sections of key=value lines.
// Every write reaches the disk at once (another program may start next), and goes
// through a temporary file, so a failed write never leaves a half-written file.
#pragma once

#include <QString>

class ConfigFile {
public:
    explicit ConfigFile(QString path = {}) : path_(std::move(path)) {}

    // The executable's path with its extension replaced by ".ini".
    static QString pathForExecutable(const QString& executablePath);

    const QString& path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }

    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // False when the file could not be read or written; it then stays as it was.
    // Storing the value the file already holds writes nothing.
    bool writeInteger(const QString& section, const QString& key, int value);
    bool writeString(const QString& section, const QString& key, const QString& value);
    // Takes the key out of the section; a file without it is left alone.
    bool removeKey(const QString& section, const QString& key);

private:
    bool readValue(const QString& section, const QString& key, QString* value) const;
    QString path_;
};

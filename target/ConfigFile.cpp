// ConfigFile: a small INI store that keeps the lines it does not own untouched.
#include "target/ConfigFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool isSectionHeader(const QString& trimmed, QString* name)
{
    if (!trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return false;
    *name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return true;
}

// Splits "key=value"; false for comments and lines without '='.
bool splitEntry(const QString& line, QString* key, QString* value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return false;
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return true;
}

}  // namespace

QString ConfigFile::pathForExecutable(const QString& executablePath)
{
    const QFileInfo info(executablePath);
    const QString suffix = info.suffix();
    QString base = executablePath;
    if (!suffix.isEmpty())
        base.chop(suffix.size() + 1);
    return base + QStringLiteral(".ini");
}

bool ConfigFile::readValue(const QString& section, const QString& key, QString* value) const
{
    QString current;
    for (const QString& line : readLines(path_)) {
        QString name, k, v;
        if (isSectionHeader(line.trimmed(), &name)) {
            current = name;
            continue;
        }
        if (current.compare(section, Qt::CaseInsensitive) == 0 && splitEntry(line, &k, &v)
            && k.compare(key, Qt::CaseInsensitive) == 0) {
            *value = v;
            return true;
        }
    }
    return false;
}

int ConfigFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    QString text;
    if (!readValue(section, key, &text))
        return defaultValue;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

QString ConfigFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    QString text;
    return readValue(section, key, &text) ? text : defaultValue;
}

bool ConfigFile::writeInteger(const QString& section, const QString& key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool ConfigFile::writeString(const QString& section, const QString& key, const QString& value)
{
    if (path_.isEmpty())
        return false;
    QStringList lines = readLines(path_);
    const QString entry = key + QLatin1Char('=') + value;
    QString current;
    int sectionEnd = -1;  // index after the last line of the section, -1 if absent
    bool replaced = false;
    for (int i = 0; i < lines.size() && !replaced; ++i) {
        QString name, k, v;
        if (isSectionHeader(lines[i].trimmed(), &name)) {
            current = name;
            if (current.compare(section, Qt::CaseInsensitive) == 0)
                sectionEnd = i + 1;
            continue;
        }
        if (current.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        if (splitEntry(lines[i], &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            replaced = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            sectionEnd = i + 1;
        }
    }
    if (!replaced) {
        if (sectionEnd < 0) {
            lines << QLatin1Char('[') + section + QLatin1Char(']');
            sectionEnd = lines.size();
        }
        lines.insert(sectionEnd, entry);
    }

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& line : lines) {
        file.write(line.toUtf8());
        file.write("\r\n");
    }
    return file.commit();
}

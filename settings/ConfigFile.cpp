// ConfigFile: a small INI store that owns a few ASCII values and keeps every other
// byte of the file as it found it: lines are handled as bytes with their own line
// breaks, so text in another encoding (a Latin-1 comment from a Windows editor)
// comes back unchanged, and the file is written only when one of our values changes.
#include "settings/ConfigFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

namespace {

struct Line {
    QByteArray text;  // without its line break
    QByteArray end;   // "\r\n", "\n", or empty for a last line without one
};

// False when the file exists but cannot be read: writing then would lose it.
bool readLines(const QString& path, std::vector<Line>* lines)
{
    lines->clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype lf = data.indexOf('\n', start);
        const qsizetype stop = lf < 0 ? data.size() : lf;
        const qsizetype textEnd = stop > start && data[stop - 1] == '\r' ? stop - 1 : stop;
        lines->push_back(
            {data.mid(start, textEnd - start), data.mid(textEnd, lf < 0 ? stop - textEnd : lf + 1 - textEnd)});
        start = lf < 0 ? data.size() : lf + 1;
    }
    return true;
}

// Section and key names are ASCII; Latin-1 maps every byte to one character, so
// nothing is lost while they are compared.
QString structural(const QByteArray& bytes)
{
    static const QByteArray kBom("\xEF\xBB\xBF");
    return QString::fromLatin1(bytes.startsWith(kBom) ? bytes.mid(kBom.size()) : bytes).trimmed();
}

bool isSectionHeader(const QByteArray& line, QString* name)
{
    const QString trimmed = structural(line);
    if (!trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return false;
    *name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return true;
}

// Splits "key=value"; false for comments and lines without '='. Our values are
// written as UTF-8 (ASCII in practice), so they are read back the same way.
bool splitEntry(const QByteArray& line, QString* key, QString* value)
{
    const QString trimmed = structural(line);
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    *key = structural(line.left(eq));
    *value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool saveLines(const QString& path, const std::vector<Line>& lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const Line& line : lines) {
        file.write(line.text);
        file.write(line.end);
    }
    return file.commit();
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
    std::vector<Line> lines;
    readLines(path_, &lines);
    QString current;
    for (const Line& line : lines) {
        QString name, k, v;
        if (isSectionHeader(line.text, &name)) {
            current = name;
            continue;
        }
        if (sameName(current, section) && splitEntry(line.text, &k, &v) && sameName(k, key)) {
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
    std::vector<Line> lines;
    if (path_.isEmpty() || !readLines(path_, &lines))
        return false;
    // New lines follow the file's own line breaks; a new file gets the Windows ones.
    QByteArray lineBreak("\r\n");
    for (const Line& line : lines)
        if (!line.end.isEmpty()) {
            lineBreak = line.end;
            break;
        }
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();

    QString current;
    qsizetype sectionEnd = -1;  // index after the last line of the section, -1 if absent
    qsizetype found = -1;
    for (qsizetype i = 0; i < qsizetype(lines.size()) && found < 0; ++i) {
        QString name, k, v;
        if (isSectionHeader(lines[i].text, &name)) {
            current = name;
            if (sameName(current, section))
                sectionEnd = i + 1;
            continue;
        }
        if (!sameName(current, section))
            continue;
        if (splitEntry(lines[i].text, &k, &v) && sameName(k, key)) {
            if (v == value)
                return true;  // nothing changes, so the file is left alone
            found = i;
        } else if (!structural(lines[i].text).isEmpty()) {
            sectionEnd = i + 1;
        }
    }
    if (found >= 0) {
        lines[found].text = entry;
    } else {
        if (!lines.empty() && lines.back().end.isEmpty())
            lines.back().end = lineBreak;
        if (sectionEnd < 0) {
            lines.push_back({'[' + section.toUtf8() + ']', lineBreak});
            sectionEnd = qsizetype(lines.size());
        }
        lines.insert(lines.begin() + sectionEnd, Line{entry, lineBreak});
    }
    return saveLines(path_, lines);
}

bool ConfigFile::removeKey(const QString& section, const QString& key)
{
    std::vector<Line> lines;
    if (path_.isEmpty() || !readLines(path_, &lines))
        return false;
    QString current;
    bool removed = false;
    for (auto line = lines.begin(); line != lines.end();) {
        QString name, k, v;
        if (isSectionHeader(line->text, &name))
            current = name;
        else if (sameName(current, section) && splitEntry(line->text, &k, &v) && sameName(k, key)) {
            line = lines.erase(line);
            removed = true;
            continue;
        }
        ++line;
    }
    return !removed || saveLines(path_, lines);
}

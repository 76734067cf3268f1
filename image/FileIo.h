// Whole-file reads and all-or-nothing writes for the image files; a file the system
// refuses is thrown as a FileError with the system's reason.
#pragma once

#include <QByteArray>
#include <QString>

// Reads at most maxBytes from the start of the file (all of it when maxBytes < 0).
// Throws FileError when the name is empty or the file cannot be opened or read.
QByteArray readFileBytes(const QString& name, qint64 maxBytes = -1);

// Writes the bytes through a temporary file that replaces the target only once it
// is complete, so a failure leaves the old file (or none) rather than half of one.
// Throws FileError (CannotCreate) when the file cannot be written.
void writeFileBytes(const QString& name, const char* data, qint64 size);

// True when both names lead to the same existing file.
bool isSameFile(const QString& a, const QString& b);

// Where the tests find their fixtures, the built programs and the virtual serial port.
#pragma once

#include <QString>

inline QString testDataPath(const QString& name)
{
    return QStringLiteral(KESTOVA_TEST_DATA "/") + name;
}
inline QString builtProgramPath(const QString& name)
{
    return QStringLiteral(KESTOVA_BIN_DIR "/") + name;
}
inline QString vispDir() { return QStringLiteral(KESTOVA_VISP_DIR); }

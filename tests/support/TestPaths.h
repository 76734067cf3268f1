// Where the tests find their fixtures, the built programs and the virtual serial port.
#pragma once

#include <QCoreApplication>
#include <QFileInfo>
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
// Built with the project whenever ../shared/visp is present beside it.
inline bool haveVisp() { return QFileInfo::exists(vispDir() + QStringLiteral("/libvisp.so")); }
// A device name of this test process's own for visp (its VISP_DEVICE): a serial port is
// locked by the process that opens it, and ctest runs test processes side by side.
inline QString vispDevice()
{
    return QStringLiteral("/dev/ttyVISP%1").arg(QCoreApplication::applicationPid());
}

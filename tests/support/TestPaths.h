// Where the tests find their fixtures, the built programs and the virtual serial port.
#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QString>

inline QString testDataPath(const QString& name) { return QStringLiteral(KESTOVA_TEST_DATA "/") + name; }
inline QString builtProgramPath(const QString& name) { return QStringLiteral(KESTOVA_BIN_DIR "/") + name; }
inline QString vispDir() { return QStringLiteral(KESTOVA_VISP_DIR); }
// Built with the project whenever ../shared/visp is present beside it.
inline bool haveVisp() { return QFileInfo::exists(vispDir() + QStringLiteral("/libvisp.so")); }
// A device name of this test process's own for visp (its VISP_DEVICE): a serial port is
// locked by the process that opens it, and ctest runs test processes side by side.
inline QString vispDevice() { return QStringLiteral("/dev/ttyVISP%1").arg(QCoreApplication::applicationPid()); }
// What a child process needs to run with visp preloaded: a chip of its own on this
// process's device, its state in statePath.
inline QProcessEnvironment vispEnvironment(const QString& chip, const QString& statePath)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("LD_PRELOAD"), vispDir() + QStringLiteral("/libvisp.so"));
    env.insert(QStringLiteral("VISP_CHIP"), chip);
    env.insert(QStringLiteral("VISP_DEVICE"), vispDevice());
    env.insert(QStringLiteral("VISP_STATE"), statePath);
    // A scheduling stall on a loaded machine must not count as the reset pulse.
    env.insert(QStringLiteral("VISP_IDLE_RESYNC_MS"), QStringLiteral("5000"));
    // The preloaded library comes before the sanitizer runtime in a sanitized build.
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0:detect_leaks=0"));
    return env;
}

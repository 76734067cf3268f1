// Tests under ../shared/vftdi, the simulated FTDI adapter: the test in progress runs once
// more in a child process with the library preloaded (so libftdi's calls reach an FT232R
// model with a chip behind its pins), and the parent reads what the run left behind:
// the chip's state file, its counters and the USB counters beside it.
#pragma once

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <gtest/gtest.h>

#include "tests/support/ChildTest.h"

inline QString vftdiDir() { return QStringLiteral(KESTOVA_VFTDI_DIR); }
// Built with the project whenever ../shared/vftdi is present beside it.
inline bool haveVftdi() { return QFileInfo::exists(vftdiDir() + QStringLiteral("/libvftdi.so")); }

inline constexpr const char* kVftdiChildVariable = "KESTOVA_VFTDI_CHILD";
inline bool inVftdiChild() { return qEnvironmentVariableIsSet(kVftdiChildVariable); }

// What a child needs: the adapter preloaded, `chip` behind it with its state in statePath.
// VFTDI_TIME_SCALE=0: the modelled USB and clock times still run on the device's clock
// (the chip sees every half period and write cycle as they would be), but the host does
// not sleep them out, since these tests check what the chip got, not how long it took.
// The host's own sleeps still take their time.
inline QProcessEnvironment vftdiEnvironment(const QString& chip, const QString& statePath)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("LD_PRELOAD"), vftdiDir() + QStringLiteral("/libvftdi.so"));
    env.insert(QString::fromLatin1(kVftdiChildVariable), QStringLiteral("1"));
    env.insert(QStringLiteral("VISP_CHIP"), chip);
    env.insert(QStringLiteral("VISP_STATE"), statePath);
    env.insert(QStringLiteral("VFTDI_TIME_SCALE"), QStringLiteral("0"));
    // A scheduling stall on a loaded machine must not count as the reset pulse.
    env.insert(QStringLiteral("VISP_IDLE_RESYNC_MS"), QStringLiteral("5000"));
    // The preloaded library comes before the sanitizer runtime in a sanitized build.
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0:detect_leaks=0"));
    return env;
}

// Runs the current test in the child and expects it to have passed; its output is
// returned so that a measurement it printed can be shown.
inline QString expectChildPasses(const QProcessEnvironment& env)
{
    const ChildTestRun child = rerunCurrentTest(env);
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
    EXPECT_TRUE(child.output.contains(QLatin1String("[  PASSED  ] 1 test"))) << child.output.toStdString();
    return child.output;
}

// key=value lines into a map.
inline QMap<QString, QString> keyValues(const QByteArray& text)
{
    QMap<QString, QString> values;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromLatin1(line.left(eq).trimmed()),
                          QString::fromLatin1(line.mid(eq + 1).trimmed()));
    }
    return values;
}

// Runs one of vftdi's tools (vftdi or its copy of visp) in the parent, without the
// library preloaded; its standard output.
inline QByteArray runVftdiTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(vftdiDir() + QLatin1Char('/') + tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

// `vftdi info STATE`: the chip's state and counters (garbled, min_half_us, ...) and the
// USB counters (usb_writes, usb_reads, usb_control, ...).
inline QMap<QString, QString> vftdiInfo(const QString& statePath)
{
    return keyValues(runVftdiTool(QStringLiteral("vftdi"), {QStringLiteral("info"), statePath}));
}

// The USB counters as the adapter last saved them (it does at every close), readable
// from inside the child between two opens.
inline QMap<QString, qint64> vftdiUsbCounters(const QString& statePath)
{
    QFile file(statePath + QStringLiteral(".usb"));
    QMap<QString, qint64> counters;
    if (!file.open(QIODevice::ReadOnly))
        return counters;
    const QMap<QString, QString> values = keyValues(file.readAll());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        counters.insert(it.key(), it.value().toLongLong());
    return counters;
}

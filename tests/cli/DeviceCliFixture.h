// The harness of kestova-cli's device-command tests: runs the built program with a
// simulated-chip folder of its own, or with visp preloaded and its chip preset.
#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

#include "tests/cli/CliRun.h"
#include "tests/support/TestPaths.h"

class DeviceCli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QProcessEnvironment environment(const QProcessEnvironment& extra) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTOVA_SIM_DIR"), dir_.path());
        // A scheduling stall inside an instruction must not count as the reset pulse.
        env.insert(QStringLiteral("KESTOVA_SIM_RESYNC_MS"), QStringLiteral("60000"));
        env.insert(extra);
        return env;
    }
    void start(QProcess& process, const QStringList& args, const QProcessEnvironment& extra = {})
    {
        process.setProcessEnvironment(environment(extra));
        process.start(builtProgramPath(QStringLiteral("kestova-cli")), args);
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // Standard error until the status text shows (the operation is under way), or a
    // minute; what it printed so far.
    static QByteArray waitForStatus(QProcess& process, const char* status)
    {
        QByteArray err;
        for (int i = 0; i < 600 && !err.contains(status); ++i) {
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
        return err;
    }
    // Ctrl+C once the status text shows; what it said (standard error whole) and returned.
    static CliRun interruptWhenUnderWay(QProcess& process, const char* status)
    {
        const QByteArray err = waitForStatus(process, status);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        CliRun run = finish(process);
        run.err.prepend(QString::fromUtf8(err));
        return run;
    }
    static CliRun finish(QProcess& process)
    {
        process.waitForFinished(60000);
        return CliRun::split(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                             QString::fromUtf8(process.readAllStandardOutput()),
                             QString::fromUtf8(process.readAllStandardError()));
    }
    CliRun cli(const QStringList& args, const QProcessEnvironment& extra = {})
    {
        return runCli(args, environment(extra));
    }

    // visp with a chip of its own, its state in our folder.
    QProcessEnvironment underVisp(const char* chip) const { return vispEnvironment(QLatin1String(chip), vispState()); }
    QString vispState() const { return dir_.filePath(QStringLiteral("visp.state")); }
    QByteArray visp(const QStringList& args) const
    {
        QProcess tool;
        tool.start(vispDir() + QStringLiteral("/visp"), args);
        tool.waitForFinished(10000);
        return tool.readAllStandardOutput();
    }
    // A fresh visp chip with one memory preset.
    void presetVisp(const char* chip, const char* memory, const QByteArray& bytes)
    {
        const QString image = dir_.filePath(QStringLiteral("preset.bin"));
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QFile::remove(vispState());
        visp({QStringLiteral("init"), vispState(), QLatin1String(chip)});
        visp({QStringLiteral("load"), vispState(), QLatin1String(memory), image});
    }
    // A visp chip whose flash holds zeros, so an erase shows.
    void presetVispFlash(const char* chip, int size) { presetVisp(chip, "flash", QByteArray(size, '\0')); }
    QByteArray vispFlash() { return vispMemory("flash"); }
    QByteArray vispMemory(const char* memory)
    {
        const QString out = dir_.filePath(QStringLiteral("dump.bin"));
        visp({QStringLiteral("dump"), vispState(), QLatin1String(memory), out});
        QFile file(out);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

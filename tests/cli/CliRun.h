// Runs the built kestova-cli as a script would and keeps what it said and returned.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "tests/support/TestPaths.h"

struct CliRun {
    int exitCode = -1;  // -1 when it crashed or hung
    QString out;
    QString err;
};

// extra is added to this process's environment.
inline CliRun runCli(const QStringList& arguments, const QProcessEnvironment& extra = {},
                     const QString& workingDirectory = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(extra);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingDirectory);
    process.start(builtProgramPath(QStringLiteral("kestova-cli")), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

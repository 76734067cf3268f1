// Runs the built kestova-cli as a script would and keeps what it said and returned.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStringList>

#include "tests/support/TestPaths.h"

struct CliRun {
    int exitCode = -1;  // -1 when it crashed or hung
    QString out;
    QString err;      // standard error without the two lines below
    QString summary;  // the run's summary line ("8192 bytes written ... in 1.2 s ..."), if any
    QString result;   // the last line for scripts ("result: command=write ..."), if any

    // A device command ends its standard error with the summary and the result line;
    // they are taken apart so each can be checked on its own.
    static CliRun split(int exitCode, const QString& out, const QString& err)
    {
        CliRun run{exitCode, out, err, {}, {}};
        QStringList lines = err.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (lines.isEmpty() || !lines.last().startsWith(QLatin1String("result: ")))
            return run;
        run.result = lines.takeLast();
        static const QRegularExpression timed(QStringLiteral(" in \\d+\\.\\d s"));
        if (!lines.isEmpty() && timed.match(lines.last()).hasMatch())
            run.summary = lines.takeLast();
        run.err = lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        return run;
    }
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
    return CliRun::split(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                         QString::fromUtf8(process.readAllStandardOutput()),
                         QString::fromUtf8(process.readAllStandardError()));
}

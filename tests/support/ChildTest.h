// Runs the test in progress once more in a child process of the same test binary,
// with more environment (visp preloaded, a marker that tells the child it is one).
#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

struct ChildTestRun {
    int exitCode = -1;
    QString output;  // standard output and error together
};

inline ChildTestRun rerunCurrentTest(const QProcessEnvironment& extra)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(extra);
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QLatin1String(info->test_suite_name()), QLatin1String(info->name()))});
    // The largest chips' full images take over a minute on a quiet machine, and twice
    // that on a loaded one; ctest's own timeout still ends a child that hangs.
    if (!child.waitForFinished(600000))
        return {-1, QStringLiteral("the child test did not finish in ten minutes")};
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
            QString::fromLocal8Bit(child.readAll())};
}

// The visp half of the chip contract tests: a test re-runs itself in a child process
// of this binary with ../shared/visp preloaded, so that the chip is reached through a
// real SerialLink (QSerialPort and the modem-line ioctls a user's run makes).
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "link/LineDriver.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"
#include "tests/support/ChildTest.h"
#include "tests/support/TestPaths.h"

inline constexpr char kVispChildVariable[] = "KESTOVA_VISP_CHILD";

// True in the child: the test talks to visp on VISP_DEVICE.
inline bool isVispChild() { return qEnvironmentVariableIsSet(kVispChildVariable); }

// In the parent: runs the current test in a child whose visp models vispChip (a fresh
// chip), and passes, fails or skips as the child did.
inline void rerunUnderVisp(const char* vispChip)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcessEnvironment env = vispEnvironment(QString::fromLatin1(vispChip),
                                              dir.filePath(QStringLiteral("chip.state")));
    env.insert(QString::fromLatin1(kVispChildVariable), QStringLiteral("1"));
    // These tests never put the chip out of step, and a scheduling stall on a loaded
    // machine must not drop half an instruction.
    env.insert(QStringLiteral("VISP_IDLE_RESYNC_MS"), QStringLiteral("60000"));
    const ChildTestRun child = rerunCurrentTest(env);
    const QString& output = child.output;
    EXPECT_EQ(child.exitCode, 0) << output.toStdString();
    if (output.contains(QLatin1String("[  SKIPPED ] 1 test"))) {
        // The check does not apply to this chip; say why here as the child did.
        const QStringList lines = output.split(QLatin1Char('\n'));
        QString reason;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].endsWith(QLatin1String(": Skipped")))
                reason = lines[i + 1];
        GTEST_SKIP() << reason.toStdString();
    }
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}

// The chip a test of both models talks to: our simulated chip of `type` behind the line,
// or visp's device in the child of a visp case. In the parent of a visp case the test is
// re-run in a child, and false says that the test has nothing more to do here (as it
// does when the child cannot open visp's device, which fails the test).
inline bool connectChip(LineDriver& line, bool throughVisp, SimChipType type, const char* vispChip)
{
    if (!throughVisp) {
        auto sim = std::make_unique<SimulatedTarget>(makeChipModel(type));
        // Nothing in these tests puts the chip out of step, and a scheduling stall on a
        // loaded machine must not either (visp's child gets the same).
        sim->setResyncIdle(std::chrono::minutes(1));
        line.attach(std::move(sim));
        return true;
    }
    if (!isVispChild()) {
        rerunUnderVisp(vispChip);
        return false;
    }
    const bool opened = line.open(qEnvironmentVariable("VISP_DEVICE"));
    EXPECT_TRUE(opened) << "visp's device did not open";
    return opened;
}

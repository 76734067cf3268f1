// A fixture for device commands from the main window against the simulated chips:
// the chips keep their state in a folder of the test's own, and each window starts
// with a chip entry and a SIM: port in its kestova.ini.
#pragma once

#include <gtest/gtest.h>

#include "sim/SimulatedTarget.h"
#include "tests/app/TestWindow.h"

class SimWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simDir_.isValid());
        qputenv("KESTOVA_SIM_DIR", simDir_.path().toLocal8Bit());
        // A scheduling stall inside an instruction must not count as the reset pulse.
        qputenv("KESTOVA_SIM_RESYNC_MS", "60000");
    }
    void TearDown() override
    {
        qunsetenv("KESTOVA_SIM_DIR");
        qunsetenv("KESTOVA_SIM_RESYNC_MS");
    }

    std::unique_ptr<TestWindow> openWindow(int chip, const QString& port)
    {
        folder_.writeIni(QStringLiteral("[CONFIG]\r\nCHIP=%1\r\nPORTA=%2\r\n").arg(chip).arg(port).toLatin1());
        auto w = std::make_unique<TestWindow>(folder_.executable(), std::make_shared<TestWindow::Cable>());
        w->start({});
        return w;
    }
    static SimulatedTarget& simOf(TestWindow& w) { return dynamic_cast<SimulatedTarget&>(*w.link().lines()); }
    static ChipMemories& chipOf(TestWindow& w) { return simOf(w).chip()->memories(); }

    QTemporaryDir simDir_;
    InstallFolder folder_;
};

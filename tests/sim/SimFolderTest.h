// A fixture for tests of SIM: ports: the simulated chips keep their state in a folder
// of the test's own, and keep their framing through a loaded machine's stalls.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>

class SimFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        qputenv("KESTOVA_SIM_DIR", dir_.path().toLocal8Bit());
        // A scheduling stall on a loaded machine must not drop half an instruction.
        qputenv("KESTOVA_SIM_RESYNC_MS", "60000");
    }
    void TearDown() override
    {
        qunsetenv("KESTOVA_SIM_DIR");
        qunsetenv("KESTOVA_SIM_RESYNC_MS");
    }

    QTemporaryDir dir_;
};

// Test entry point for the window tests: a widget application (offscreen under ctest)
// that knows the SIM: port names, as the program does.
#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/SimulatedPorts.h"

int main(int argc, char** argv)
{
    // Window tests never need a screen; this also covers test discovery at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerSimulatedPorts();
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}

// Test entry point for the library areas: a Qt core application, no display, and the
// SIM: port names known, as the programs know them.
#include <QCoreApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/SimulatedPorts.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    registerSimulatedPorts();
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}

// The line driver: what each line operation does to the cable, the missing port,
// opening and reopening with the reason a failed open gives, the port opener's
// prefixes, and the busy-wait delays.
#include <gtest/gtest.h>

#include <chrono>

#include "link/LineDriver.h"
#include "link/PortOpener.h"
#include "link/Timing.h"
#include "tests/support/FakeLines.h"

namespace {

struct Fixture : ::testing::Test {
    FakeLines* lines = nullptr;
    bool oldDestroyed = false;
    std::vector<QString> openedNames;
    bool destroyedBeforeReopen = false;

    LineDriver driver{[this](const QString& name, PortError* error) -> std::unique_ptr<ModemLines> {
        openedNames.push_back(name);
        destroyedBeforeReopen = oldDestroyed;
        if (name == QLatin1String("ttyUSB1") && error)
            *error = {PortError::Code::Busy, QStringLiteral("/dev/ttyUSB1"), QStringLiteral("Device or resource busy")};
        if (name != QLatin1String("ttyUSB0"))
            return nullptr;
        auto fake = std::make_unique<FakeLines>(openedNames.size() == 1 ? &oldDestroyed : nullptr);
        lines = fake.get();
        return fake;
    }};
};

TEST_F(Fixture, LineOperationsDriveTheInvertedLines)
{
    ASSERT_TRUE(driver.open(QStringLiteral("ttyUSB0")));
    EXPECT_EQ(driver.portName(), QStringLiteral("ttyUSB0"));
    EXPECT_FALSE(driver.lastOpenError().failed());
    driver.setClockDelay(0);
    lines->events.clear();

    driver.setMosi(1);
    EXPECT_FALSE(lines->dtr);  // data 1 = DTR cleared
    driver.setMosi(0);
    EXPECT_TRUE(lines->dtr);   // data 0 = DTR set
    driver.clockLeading();
    EXPECT_FALSE(lines->rts);
    driver.clockTrailing();
    EXPECT_TRUE(lines->rts);
    EXPECT_EQ(lines->events, (std::vector<std::string>{"DTR-", "DTR+", "RTS-", "RTS+"}));

    lines->ctsAsserted = true;
    EXPECT_EQ(driver.readMiso(), 0);
    lines->ctsAsserted = false;
    EXPECT_EQ(driver.readMiso(), 1);
}

TEST_F(Fixture, FailedOpenSaysWhyAndLeavesNoPortThatReadsOnes)
{
    // An opener that gives no reason still leaves one naming the port.
    EXPECT_FALSE(driver.open(QStringLiteral("COM99")));
    EXPECT_EQ(driver.lastOpenError().code, PortError::Code::NotOpened);
    EXPECT_EQ(driver.lastOpenError().port, QStringLiteral("COM99"));
    EXPECT_FALSE(driver.isOpen());
    EXPECT_TRUE(driver.portName().isEmpty());

    // The opener's own reason is kept as it gave it.
    EXPECT_FALSE(driver.open(QStringLiteral("ttyUSB1")));
    EXPECT_EQ(driver.lastOpenError().code, PortError::Code::Busy);
    EXPECT_EQ(driver.lastOpenError().port, QStringLiteral("/dev/ttyUSB1"));

    // Without a port the operations do nothing and every bit reads 1.
    driver.setClockDelay(0);
    driver.setMosi(0);
    driver.clockLeading();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(driver.readMiso(), 1);

    // A success clears the reason.
    ASSERT_TRUE(driver.open(QStringLiteral("ttyUSB0")));
    EXPECT_FALSE(driver.lastOpenError().failed());
}

TEST_F(Fixture, ReopeningClosesTheOldPortFirst)
{
    ASSERT_TRUE(driver.open(QStringLiteral("ttyUSB0")));
    ASSERT_TRUE(driver.open(QStringLiteral("ttyUSB0")));
    EXPECT_TRUE(destroyedBeforeReopen);
    EXPECT_TRUE(driver.isOpen());
}

TEST_F(Fixture, FailedReopenStillClosesTheOldPort)
{
    ASSERT_TRUE(driver.open(QStringLiteral("ttyUSB0")));
    EXPECT_FALSE(driver.open(QStringLiteral("COM2")));
    EXPECT_TRUE(oldDestroyed);
    EXPECT_FALSE(driver.isOpen());
}

TEST(PortOpener, RegisteredPrefixesTakeTheirNamesInAnyCaseAndTheRestAreSerialPorts)
{
    std::vector<QString> asked;
    PortOpener::registerPrefix(QStringLiteral("TEST:"), [&](const QString& name, PortError*) {
        asked.push_back(name);
        return std::make_unique<FakeLines>();
    });
    PortError error;
    EXPECT_NE(PortOpener::open(QStringLiteral("test:one"), &error), nullptr);
    EXPECT_NE(PortOpener::open(QStringLiteral("TEST:two,opt=1"), &error), nullptr);
    EXPECT_EQ(asked, (std::vector<QString>{QStringLiteral("test:one"), QStringLiteral("TEST:two,opt=1")}));

    // Registered again, the prefix goes to the new opener.
    PortOpener::registerPrefix(QStringLiteral("Test:"), [](const QString& name, PortError* why) {
        *why = {PortError::Code::BadPortOption, name, {}, QStringLiteral("opt=1")};
        return std::unique_ptr<ModemLines>();
    });
    EXPECT_EQ(PortOpener::open(QStringLiteral("TEST:two,opt=1"), &error), nullptr);
    EXPECT_EQ(error.code, PortError::Code::BadPortOption);
    EXPECT_EQ(asked.size(), 2u);

    // Any other name is the serial port of that name, with the system's reason.
    error = {};
    EXPECT_EQ(PortOpener::open(QStringLiteral("/dev/kestova-no-such-port"), &error), nullptr);
    EXPECT_EQ(error.code, PortError::Code::OpenFailed);
    EXPECT_EQ(error.port, QStringLiteral("/dev/kestova-no-such-port"));
    EXPECT_FALSE(error.reason.isEmpty());
}

TEST(Timing, DelaysNeverReturnEarly)
{
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 2000; ++i) {
        const auto start = Clock::now();
        delayMicroseconds(5);
        ASSERT_GE(Clock::now() - start, std::chrono::microseconds(5)) << "round " << i;
    }
    const auto start = Clock::now();
    delayMilliseconds(3);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(3));
}

}  // namespace

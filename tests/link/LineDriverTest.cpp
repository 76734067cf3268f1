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

TEST_F(Fixture, TheOpenPortsCableDrivesTheInvertedLines)
{
    ASSERT_TRUE(driver.open(QStringLiteral("ttyUSB0")));
    EXPECT_EQ(driver.portName(), QStringLiteral("ttyUSB0"));
    EXPECT_FALSE(driver.lastOpenError().failed());
    ASSERT_NE(driver.cable(), nullptr);
    EXPECT_EQ(driver.lines(), lines);
    EXPECT_FALSE(driver.cable()->batches());
    driver.setClockDelay(0);
    lines->events.clear();

    // Bit 1 clears DTR, the rising clock clears RTS; the answer's bit is CTS inverted.
    lines->ctsAsserted = false;
    const IspCable::Ticket one = driver.cable()->queueBytes({0x80}, 1, 1u);
    EXPECT_EQ(lines->events[0], "DTR-");
    EXPECT_EQ(lines->events[2], "RTS-");
    EXPECT_EQ(lines->events[3], "CTS?");
    EXPECT_TRUE(driver.cable()->flush());
    EXPECT_EQ(driver.cable()->replies(one)[0], 0xFF);
    lines->ctsAsserted = true;
    const IspCable::Ticket zero = driver.cable()->queueBytes({0x00}, 1, 1u);
    EXPECT_TRUE(lines->dtr);  // data 0 = DTR set
    EXPECT_EQ(driver.cable()->replies(zero)[0], 0x00);

    driver.assertLines();
    EXPECT_TRUE(lines->dtr);
    EXPECT_TRUE(lines->rts);
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

    // Without a port there is no cable, and nothing has failed.
    EXPECT_EQ(driver.cable(), nullptr);
    EXPECT_FALSE(driver.lineFailed());

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

// The line driver: what each line operation does to the cable, the missing port,
// opening and reopening, and the busy-wait delays.
#include <gtest/gtest.h>

#include <chrono>

#include "link/LineDriver.h"
#include "view/Strings.h"
#include "link/Timing.h"
#include "tests/support/FakeLines.h"
#include "tests/support/RecordingView.h"

namespace {

struct Fixture : ::testing::Test {
    RecordingView view;
    FakeLines* lines = nullptr;
    bool oldDestroyed = false;
    std::vector<QString> openedNames;
    bool destroyedBeforeReopen = false;

    LineDriver driver{view, [this](const QString& name, QString*) -> std::unique_ptr<ModemLines> {
                          openedNames.push_back(name);
                          destroyedBeforeReopen = oldDestroyed;
                          if (name != QLatin1String("ttyUSB0"))
                              return nullptr;
                          auto fake = std::make_unique<FakeLines>(openedNames.size() == 1 ? &oldDestroyed : nullptr);
                          lines = fake.get();
                          return fake;
                      }};
};

TEST_F(Fixture, LineOperationsDriveTheInvertedLines)
{
    ASSERT_TRUE(driver.OpenSerialLink(QStringLiteral("ttyUSB0")));
    driver.ClockDelay = 0;
    lines->events.clear();

    driver.SetMosi(1);
    EXPECT_FALSE(lines->dtr);  // data 1 = DTR cleared
    driver.SetMosi(0);
    EXPECT_TRUE(lines->dtr);   // data 0 = DTR set
    driver.ClockLeading();
    EXPECT_FALSE(lines->rts);
    driver.ClockTrailing();
    EXPECT_TRUE(lines->rts);
    EXPECT_EQ(lines->events, (std::vector<std::string>{"DTR-", "DTR+", "RTS-", "RTS+"}));

    lines->ctsAsserted = true;
    EXPECT_EQ(driver.ReadMiso(), 0);
    lines->ctsAsserted = false;
    EXPECT_EQ(driver.ReadMiso(), 1);
}

TEST_F(Fixture, OpenShowsThePortNameInTheThirdPanel)
{
    ASSERT_TRUE(driver.OpenSerialLink(QStringLiteral("ttyUSB0")));
    EXPECT_EQ(view.panels[2], QStringLiteral("ttyUSB0"));
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(Fixture, FailedOpenReportsOnceAndLeavesNoPortThatReadsOnes)
{
    view.panels[2] = QStringLiteral("earlier");
    EXPECT_FALSE(driver.OpenSerialLink(QStringLiteral("COM99")));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(view.messages[0].caption, QStringLiteral("Kestova"));
    // The first line is the product's, the second names the port and the reason.
    EXPECT_EQ(view.messages[0].text, QLatin1String(Str::kCannotOpenPort) + QStringLiteral("\ncannot open COM99"));
    EXPECT_EQ(view.panels[2], QStringLiteral("earlier"));
    EXPECT_FALSE(driver.isOpen());

    // Without a port the operations do nothing and every bit reads 1.
    driver.ClockDelay = 0;
    driver.SetMosi(0);
    driver.ClockLeading();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(driver.ReadMiso(), 1);
}

TEST_F(Fixture, ReopeningClosesTheOldPortFirst)
{
    ASSERT_TRUE(driver.OpenSerialLink(QStringLiteral("ttyUSB0")));
    ASSERT_TRUE(driver.OpenSerialLink(QStringLiteral("ttyUSB0")));
    EXPECT_TRUE(destroyedBeforeReopen);
    EXPECT_TRUE(driver.isOpen());
}

TEST_F(Fixture, FailedReopenStillClosesTheOldPort)
{
    ASSERT_TRUE(driver.OpenSerialLink(QStringLiteral("ttyUSB0")));
    EXPECT_FALSE(driver.OpenSerialLink(QStringLiteral("COM2")));
    EXPECT_TRUE(oldDestroyed);
    EXPECT_FALSE(driver.isOpen());
}

TEST(Timing, DelaysNeverReturnEarly)
{
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 2000; ++i) {
        const auto start = Clock::now();
        DelayMicroseconds(5);
        ASSERT_GE(Clock::now() - start, std::chrono::microseconds(5)) << "round " << i;
    }
    const auto start = Clock::now();
    DelayMilliseconds(3);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(3));
}

}  // namespace

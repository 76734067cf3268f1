// The bit-bang rate chosen for each half clock: never faster than the half clock under
// either reading of the FT232R's rate, checked against vftdi's own account of what
// libftdi programs, and not needlessly slower.
#include <QProcess>
#include <gtest/gtest.h>

#include "link/FtdiClock.h"
#include "tests/support/Vftdi.h"

namespace {

const int32_t kLadder[] = {5, 7, 25, 205, 2005, 20000};

// vftdi's pin update period for a value given to ftdi_set_baudrate in bit-bang mode,
// with `ratio` updates per programmed Bd.
double vftdiUpdatePeriodUs(int value, const char* ratio)
{
    const QStringList arguments = {QStringLiteral("rate"), QString::number(value), QLatin1String(ratio)};
    const QMap<QString, QString> rate = keyValues(runVftdiTool(QStringLiteral("vftdi"), arguments));
    return rate.value(QStringLiteral("update_period_us")).toDouble();
}

TEST(FtdiClock, EveryRungHoldsItsHalfClockUnderEitherReadingAsVftdiProgramsIt)
{
    if (!haveVftdi())
        GTEST_SKIP() << "the simulated FTDI adapter was not built";
    for (int32_t half : kLadder) {
        const FtdiClock clock = FtdiClock::forHalfClock(half);
        // vftdi prints its periods to the nanosecond.
        const double faster = vftdiUpdatePeriodUs(clock.baudValue(), "4") * clock.repeat();
        const double slower = vftdiUpdatePeriodUs(clock.baudValue(), "0.25") * clock.repeat();
        EXPECT_GE(faster + 0.0005 * clock.repeat(), half) << half;
        EXPECT_NEAR(faster, clock.halfUs(), 0.001 * clock.repeat()) << half;
        EXPECT_NEAR(slower, clock.slowestHalfUs(), 0.016 * clock.repeat()) << half;
    }
}

TEST(FtdiClock, EveryHalfClockGetsTheFastestRateThatHoldsIt)
{
    for (int32_t half = 5; half <= 30000; half += half < 300 ? 1 : 97) {
        const FtdiClock clock = FtdiClock::forHalfClock(half);
        ASSERT_GT(FtdiClock::divisorEighths(clock.baudValue()), 0) << "libftdi takes the value, " << half;
        ASSERT_GE(clock.halfUs(), half);
        ASSERT_LE(clock.halfUs(), half * 1.02) << half;
        // Where the divisor's steps are fine, no repeat: every state is a sample to carry back.
        if (half <= 300) {
            ASSERT_EQ(clock.repeat(), 1) << half;
        }
    }
}

TEST(FtdiClock, HalfClocksBelowFiveMicrosecondsAreFive)
{
    const FtdiClock five = FtdiClock::forHalfClock(5);
    EXPECT_EQ(FtdiClock::forHalfClock(4), five);
    EXPECT_EQ(FtdiClock::forHalfClock(0), five);
    EXPECT_EQ(FtdiClock::forHalfClock(-20000), five);
    EXPECT_EQ(five.requestedUs(), 5);
    EXPECT_DOUBLE_EQ(five.halfUs(), 5.0);
    EXPECT_EQ(five.repeat(), 1);
}

}  // namespace

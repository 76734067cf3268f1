// The run summary's wording in the cases a user meets, and the time-left estimate
// against the waits the chip's delays and the rung in use mandate.
#include <gtest/gtest.h>

#include "target/ChipCatalogue.h"
#include "target/RunReport.h"

namespace {

RunReport write(int32_t done, int32_t total)
{
    RunReport r;
    r.kind = RunKind::Write;
    r.total = total;
    r.done = r.written = r.verified = done;
    r.startClockDelay = r.endClockDelay = 5;
    r.elapsedMs = 7640;
    return r;
}

TEST(RunSummary, SaysWhatTheRunDidInOneLine)
{
    RunReport r = write(8192, 8192);
    EXPECT_EQ(runSummaryText(r), QStringLiteral("8192 bytes written and verified in 7.6 s at ClockDelay 5 µs"));

    r.rewrites = 3;
    r.endClockDelay = 7;
    EXPECT_EQ(runSummaryText(r),
              QStringLiteral("8192 bytes written and verified in 7.6 s at ClockDelay 5 µs; "
                             "3 bytes written again one rung slower"));
    r.endClockDelay = 205;
    EXPECT_TRUE(runSummaryText(r).endsWith(QStringLiteral("3 bytes written again 3 rungs slower")));

    // Fast mode reads back only the first bytes; Differential writes only what differs.
    RunReport fast = write(8192, 8192);
    fast.verified = 15;
    EXPECT_TRUE(runSummaryText(fast).startsWith(QStringLiteral("8192 bytes written, the first 15 verified in ")));
    RunReport differential = write(8192, 8192);
    differential.written = differential.verified = 12;
    EXPECT_TRUE(runSummaryText(differential).startsWith(QStringLiteral("8192 bytes checked, 12 written and verified")));

    // A run stopped early says how far it got.
    EXPECT_TRUE(runSummaryText(write(3845, 8192)).startsWith(QStringLiteral("3845 of 8192 bytes written")));

    RunReport nothing;
    EXPECT_TRUE(runSummaryText(nothing).isEmpty());
}

TEST(RunSummary, CompareGivesTheFirstDifferenceAndTheResultLineItsFields)
{
    RunReport r;
    r.kind = RunKind::Compare;
    r.total = r.done = 256;
    r.differences = 2;
    r.firstDifference = 0x40;
    r.chipValue = 0xFF;
    r.fileValue = 0x0C;
    r.startClockDelay = 5;
    EXPECT_EQ(firstDifferenceText(r), QStringLiteral("first difference at 0x0040: chip FF, file 0C"));
    EXPECT_TRUE(runSummaryText(r).endsWith(QStringLiteral("; first difference at 0x0040: chip FF, file 0C")));
    EXPECT_EQ(runResultLine(r, QStringLiteral("compare"), QStringLiteral("failed"), 1),
              QStringLiteral("result: command=compare outcome=failed exit=1 bytes=256 total=256 seconds=0.000 "
                             "clock-delay-us=5 differences=2 first-difference=0x0040 chip=ff file=0c"));
    EXPECT_EQ(rungsBetween(5, 20000), 5);
    EXPECT_EQ(rungsBetween(5, 6), 0) << "off the ladder";
}

TEST(TimeLeft, FollowsTheMandatedWaitsOfTheRungInUseOrWhatTheRunTakes)
{
    TargetState target;
    applyChipState(target, chipForKeyword(QStringLiteral("s52")));  // byte-wise flash
    RunReport r = write(0, 1000);
    // At 2005 µs a byte's write and read-back instructions alone take 2 × 32 bits × 2 half clocks.
    const double slow = secondsLeft(r, target, 2005, 0, 1000, 0);
    EXPECT_GE(slow, 1000 * 2 * 32 * 2 * 2005e-6);
    EXPECT_LT(secondsLeft(r, target, 5, 0, 1000, 0), slow / 100);
    // When the run has been slower than the waits, its own pace counts.
    EXPECT_NEAR(secondsLeft(r, target, 5, 500, 1000, 5000), 5.0, 0.01);
    EXPECT_DOUBLE_EQ(secondsLeft(r, target, 5, 1000, 1000, 5000), 0.0);
    EXPECT_LT(secondsLeft(r, target, 5, 0, 0, 0), 0) << "nothing to estimate";

    // A paged write still has its verify pass to come.
    TargetState avr;
    applyChipState(avr, chipForKeyword(QStringLiteral("atmega8")));
    RunReport paged = write(0, 8192);
    paged.pagedWrite = true;
    const double withVerify = secondsLeft(paged, avr, 5, 8192, 8192, 0);
    EXPECT_GE(withVerify, 8192 * 32 * 2 * 5e-6);
    paged.verifyPass = true;
    EXPECT_DOUBLE_EQ(secondsLeft(paged, avr, 5, 8192, 8192, 0), 0.0);
}

TEST(TimeLeft, ReadsAsAPersonWould)
{
    EXPECT_EQ(durationText(7.64), QStringLiteral("7.6 s"));
    EXPECT_EQ(durationText(42.4), QStringLiteral("42 s"));
    EXPECT_EQ(durationText(65), QStringLiteral("1:05"));
    EXPECT_TRUE(durationText(-1).isEmpty());
}

}  // namespace

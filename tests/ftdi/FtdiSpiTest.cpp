// FtdiSpi against a chip model at the pins (EchoChipPort): what goes onto the wire,
// where the replies are read, how waits and rate changes cut a batch, and that a
// failed transfer leaves no reply behind.
#include <gtest/gtest.h>

#include <vector>

#include "link/FtdiSpi.h"
#include "tests/ftdi/EchoChipPort.h"

namespace {

using Tickets = std::vector<FtdiSpi::Ticket>;

Tickets queue(FtdiSpi& spi, const std::vector<uint8_t>& bytes)
{
    Tickets tickets;
    for (uint8_t b : bytes)
        tickets.push_back(spi.queueByte(b));
    return tickets;
}

std::vector<int> replies(const FtdiSpi& spi, const Tickets& tickets)
{
    std::vector<int> values;
    for (FtdiSpi::Ticket t : tickets)
        values.push_back(spi.reply(t) ? *spi.reply(t) : -1);
    return values;
}

TEST(FtdiSpi, ABatchGoesOutInOneExchangeAndEachByteGetsItsOwnReply)
{
    EchoChipPort port;
    FtdiSpi spi(port);
    const Tickets tickets = queue(spi, {0xAC, 0x53, 0x00, 0x00, 0x30, 0x01, 0x80, 0x7F});
    EXPECT_FALSE(spi.reply(tickets[0])) << "nothing before the flush";
    ASSERT_TRUE(spi.flush());
    EXPECT_EQ(port.exchanges(), 1u);
    EXPECT_EQ(port.received, (std::vector<uint8_t>{0xAC, 0x53, 0x00, 0x00, 0x30, 0x01, 0x80, 0x7F}));
    EXPECT_EQ(replies(spi, tickets), (std::vector<int>{0xFF, 0xAC, 0x53, 0x00, 0x00, 0x30, 0x01, 0x80}));
    // 16 states a byte and one to bring SCK down after the last.
    EXPECT_EQ(port.events[0].states, 8u * 16u + 1u);
    EXPECT_EQ(port.last, FtdiPin::kTxd | FtdiPin::kMosi) << "at rest: SCK low, MOSI at the last bit";
}

TEST(FtdiSpi, KeepsTheCableRulesAtEveryRung)
{
    for (int32_t half : {5, 7, 25, 205, 2005, 20000}) {
        EchoChipPort port;
        FtdiSpi spi(port);
        spi.setHalfClock(half);
        const Tickets tickets = queue(spi, {0xA5, 0x5A, 0xFF, 0x00});
        spi.queueIdle(3 * half);
        ASSERT_TRUE(spi.flush()) << half;
        EXPECT_FALSE(port.mosiChangedWithRisingEdge) << half;
        EXPECT_FALSE(port.txdWentLow) << half;
        EXPECT_EQ(port.shortestHalf, static_cast<size_t>(spi.clock().repeat())) << half;
        EXPECT_GE(spi.clock().halfUs(), half);
        EXPECT_EQ(replies(spi, tickets), (std::vector<int>{0xFF, 0xA5, 0x5A, 0xFF})) << half;
        EXPECT_FALSE(port.last & FtdiPin::kSck) << half;
    }
}

TEST(FtdiSpi, IdleStatesLastTheWaitAndHostSleepsSplitTheBatch)
{
    EchoChipPort port;
    FtdiSpi spi(port);
    const Tickets first = queue(spi, {0x12});
    spi.queueIdle(1000);  // 200 states of 5 µs, in the same stream
    spi.queueSleep(70000);
    spi.queueSleep(30000);  // back to back: one sleep
    const Tickets second = queue(spi, {0x34});
    spi.queueWait(FtdiSpi::kIdleStatesUpToUs);      // idle states
    spi.queueWait(FtdiSpi::kIdleStatesUpToUs + 1);  // a host sleep
    ASSERT_TRUE(spi.flush());
    ASSERT_EQ(port.events.size(), 4u);
    EXPECT_EQ(port.events[0].states, 16u + 200u);
    EXPECT_EQ(port.events[1].sleep, std::chrono::microseconds(100000));
    EXPECT_EQ(port.events[2].states, 16u + 400u);
    EXPECT_EQ(port.events[3].sleep, std::chrono::microseconds(FtdiSpi::kIdleStatesUpToUs + 1));
    EXPECT_EQ(spi.reply(first[0]), 0xFF);
    EXPECT_EQ(spi.reply(second[0]), 0x12);
}

TEST(FtdiSpi, ASleepRightAfterAByteStillReadsItsLastBit)
{
    EchoChipPort port;
    FtdiSpi spi(port);
    queue(spi, {0x00});
    const Tickets echo = queue(spi, {0x00});
    spi.queueSleep(5000);
    ASSERT_TRUE(spi.flush());
    // The chip puts 0x00's echo out; the last bit's sample needs the falling edge that
    // closes the stream before the sleep.
    EXPECT_EQ(spi.reply(echo[0]), 0x00);
    EXPECT_EQ(port.events[0].states, 2u * 16u + 1u);
}

TEST(FtdiSpi, ARateChangeTakesEffectBetweenTransfersAtThatPointOfTheBatch)
{
    EchoChipPort port;
    FtdiSpi spi(port);
    const Tickets fast = queue(spi, {0xC3});
    spi.setHalfClock(2005);
    const Tickets slow = queue(spi, {0x3C});
    spi.setHalfClock(5);
    const Tickets again = queue(spi, {0x99});
    ASSERT_TRUE(spi.flush());
    const int fastValue = FtdiClock::forHalfClock(5).baudValue();
    const FtdiClock slowClock = FtdiClock::forHalfClock(2005);
    EXPECT_EQ(port.baudValues, (std::vector<int>{fastValue, slowClock.baudValue(), fastValue}));
    ASSERT_EQ(port.exchanges(), 3u);
    EXPECT_EQ(port.events[1].states, 16u * static_cast<size_t>(slowClock.repeat()) + 1u);
    EXPECT_EQ(replies(spi, {fast[0], slow[0], again[0]}), (std::vector<int>{0xFF, 0xC3, 0x3C}));
}

TEST(FtdiSpi, RepliesLastUntilTheNextBatchStarts)
{
    EchoChipPort port;
    FtdiSpi spi(port);
    const Tickets first = queue(spi, {0x55, 0x66});
    ASSERT_TRUE(spi.flush());
    EXPECT_TRUE(spi.flush()) << "nothing queued: nothing to send";
    EXPECT_EQ(port.exchanges(), 1u);
    EXPECT_EQ(spi.reply(first[1]), 0x55);
    spi.queueByte(0x77);
    EXPECT_FALSE(spi.reply(first[1])) << "a new batch drops the old replies";
    EXPECT_EQ(spi.transferByte(0x00), 0x77) << "the chip's framing goes on across batches";
}

TEST(FtdiSpi, AFailedTransferLeavesNoReplyAndEveryLaterFlushFails)
{
    EchoChipPort port;
    port.failAtExchange = 1;
    FtdiSpi spi(port);
    const Tickets tickets = queue(spi, {0x01, 0x02});
    spi.queueSleep(1000);
    queue(spi, {0x03});
    EXPECT_FALSE(spi.flush());
    EXPECT_EQ(spi.failure().reason, QStringLiteral("usb bulk read failed"));
    EXPECT_FALSE(spi.reply(tickets[0])) << "the first exchange went through, but its batch did not";
    EXPECT_EQ(spi.queuedStates(), 0u);
    const size_t events = port.events.size();
    EXPECT_FALSE(spi.transferByte(0x04));
    EXPECT_EQ(port.events.size(), events) << "a failed port is not used again";
}

TEST(FtdiSpi, LevelsHoldForAHalfClock)
{
    EchoChipPort port;
    FtdiSpi spi(port);
    spi.setHalfClock(20000);
    spi.queueLevels(false, true);
    spi.queueLevels(true, true);
    ASSERT_TRUE(spi.flush());
    EXPECT_EQ(port.events[0].states, 2u * static_cast<size_t>(spi.clock().repeat()));
    EXPECT_EQ(port.last, FtdiPin::kTxd | FtdiPin::kSck | FtdiPin::kMosi);
}

}  // namespace

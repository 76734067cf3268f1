// The FTDI path against ../shared/vftdi: adapters listed and opened by port name, and
// instructions through the real FtdiSpi and FtdiAdapter to vftdi's simulated chips. Each
// test runs again in a child process with the library preloaded; the parent then reads
// what the run left: the chip's counters and the USB transfers.
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <vector>

#include "link/FtdiAdapter.h"
#include "link/FtdiSpi.h"
#include "target/ErrorText.h"
#include "tests/support/ScratchFiles.h"
#include "tests/support/Vftdi.h"

namespace {

using Tickets = std::vector<FtdiSpi::Ticket>;

class FtdiOnVftdi : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!inVftdiChild() && !haveVftdi())
            GTEST_SKIP() << "the simulated FTDI adapter was not built";
    }

    // In the parent: runs this test under vftdi with `chip` behind the adapter, expects it
    // to pass and returns true; the test then checks what the run left and ends. In the
    // child: false, and the test goes on with the adapter preloaded.
    bool ranUnderVftdi(const QString& chip, const QProcessEnvironment& extra = {})
    {
        if (inVftdiChild())
            return false;
        QProcessEnvironment env = vftdiEnvironment(chip, statePath());
        env.insert(extra);
        childOutput_ = expectChildPasses(env);
        return true;
    }

    QString statePath() const
    {
        return inVftdiChild() ? qEnvironmentVariable("VISP_STATE") : dir_.filePath(QStringLiteral("chip.state"));
    }

    QString childOutput_;

private:
    QTemporaryDir dir_;
};

std::unique_ptr<FtdiAdapter> openAdapter(const QString& name = QStringLiteral("FTDI:VFTDI001"))
{
    PortError error;
    std::unique_ptr<FtdiAdapter> adapter = FtdiAdapter::open(name, &error);
    EXPECT_TRUE(adapter) << name.toStdString() << ": " << errorText(error).toStdString();
    return adapter;
}

// Why the adapter a name picks would not open, as the user reads it; empty when it opened.
QString openError(const QString& name)
{
    PortError error;
    if (FtdiAdapter::open(name, &error))
        return {};
    return errorText(error);
}

Tickets queue(FtdiSpi& spi, std::initializer_list<uint8_t> bytes)
{
    Tickets tickets;
    for (uint8_t b : bytes)
        tickets.push_back(spi.queueByte(b));
    return tickets;
}

// The replies of a flushed batch; -1 where there is none.
std::vector<int> replies(const FtdiSpi& spi, const Tickets& tickets)
{
    std::vector<int> values;
    for (FtdiSpi::Ticket t : tickets) {
        const std::optional<uint8_t> r = spi.reply(t);
        values.push_back(r ? *r : -1);
    }
    return values;
}

// What the engine sends to enter programming mode: lines at rest, 100 ms, the enable
// instruction, 70 ms. The enable's replies.
std::vector<int> enterProgrammingMode(FtdiSpi& spi, int instructionLength = 4)
{
    spi.queueLevels(false, true);
    spi.queueSleep(100000);
    Tickets enable = queue(spi, {0xAC, 0x53, 0x00});
    if (instructionLength == 4)
        enable.push_back(spi.queueByte(0x00));
    spi.queueSleep(70000);
    EXPECT_TRUE(spi.flush()) << spi.failure().reason.toStdString();
    return replies(spi, enable);
}

uint8_t pattern(int i) { return static_cast<uint8_t>(i * 37 + 11); }

// AVR flash: read the byte at `address`, load a byte into the page buffer, commit a page.
Tickets queueAvrRead(FtdiSpi& spi, int address)
{
    const int word = address / 2;
    return queue(spi, {uint8_t(address & 1 ? 0x28 : 0x20), uint8_t(word >> 8), uint8_t(word), 0x00});
}
void queueAvrLoad(FtdiSpi& spi, int address, uint8_t value)
{
    queue(spi, {uint8_t(address & 1 ? 0x48 : 0x40), 0x00, uint8_t((address / 2) & 0x1F), value});
}
void queueAvrCommit(FtdiSpi& spi, int pageAddress)
{
    const int word = pageAddress / 2;
    queue(spi, {0x4C, uint8_t(word >> 8), uint8_t(word & 0xE0), 0x00});
}

TEST_F(FtdiOnVftdi, ListsTheFt232rAndFt231xAdaptersPluggedIn)
{
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("VFTDI_DEVICES"),
                 QStringLiteral("0403:6001:A1B2C3:FT232R USB UART;"
                                "0403:6010:DUAL01:Dual RS232;"
                                "0403:6015:DQ00X1:FT231X USB UART"));
    if (ranUnderVftdi(QStringLiteral("none"), extra))
        return;
    PortError error;
    const std::vector<FtdiAdapterInfo> adapters = FtdiAdapter::list(&error);
    ASSERT_EQ(adapters.size(), 2u) << "the FT2232 has no place on this cable: " << errorText(error).toStdString();
    EXPECT_EQ(adapters[0].serial, QStringLiteral("A1B2C3"));
    EXPECT_EQ(adapters[0].description, QStringLiteral("FT232R USB UART"));
    EXPECT_EQ(adapters[0].manufacturer, QStringLiteral("FTDI"));
    EXPECT_EQ(adapters[0].chipName(), QStringLiteral("FT232R"));
    EXPECT_EQ(adapters[0].usbNode(), QStringLiteral("/dev/bus/usb/001/002"));
    EXPECT_EQ(adapters[1].serial, QStringLiteral("DQ00X1"));
    EXPECT_EQ(adapters[1].chipName(), QStringLiteral("FT231X"));
    EXPECT_EQ(adapters[1].portName(), QStringLiteral("FTDI:DQ00X1"));
    EXPECT_TRUE(adapters[0].readable && adapters[1].readable);
}

TEST_F(FtdiOnVftdi, OpensTheOnlyAdapterByAnyFormOfItsName)
{
    if (ranUnderVftdi(QStringLiteral("atmega8")))
        return;
    for (const char* name : {"FTDI:", "FTDI:VFTDI001", "ftdi:vftdi001", "Ftdi:VFTDI001"}) {
        std::unique_ptr<FtdiAdapter> adapter = openAdapter(QString::fromLatin1(name));
        ASSERT_TRUE(adapter);
        EXPECT_EQ(adapter->info().serial, QStringLiteral("VFTDI001")) << name;
    }
    const QString error = openError(QStringLiteral("FTDI:A9999999"));
    EXPECT_TRUE(error.contains(QLatin1String("A9999999"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("FTDI:VFTDI001 (FT232R USB UART)"))) << "names what is there";
}

TEST_F(FtdiOnVftdi, SeveralAdaptersAreChosenBySerialNumber)
{
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("VFTDI_DEVICES"),
                 QStringLiteral("0403:6001:VFTDI001:FT232R USB UART;0403:6001:BENCH02:FT232R USB UART"));
    if (ranUnderVftdi(QStringLiteral("atmega8"), extra))
        return;
    const QString error = openError(QStringLiteral("FTDI:"));
    EXPECT_TRUE(error.contains(QLatin1String("2 FTDI adapters"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("FTDI:VFTDI001")) && error.contains(QLatin1String("FTDI:BENCH02")))
        << error.toStdString();
    std::unique_ptr<FtdiAdapter> second = openAdapter(QStringLiteral("FTDI:bench02"));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->info().serial, QStringLiteral("BENCH02"));
}

TEST_F(FtdiOnVftdi, AnEmptyBusIsReportedAsSuch)
{
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("VFTDI_DEVICES"), QStringLiteral("none"));
    if (ranUnderVftdi(QStringLiteral("none"), extra))
        return;
    PortError listed;
    EXPECT_TRUE(FtdiAdapter::list(&listed).empty());
    EXPECT_FALSE(listed.failed()) << "an empty bus is no failure: " << errorText(listed).toStdString();
    QString error = openError(QStringLiteral("FTDI:"));
    EXPECT_EQ(error, QStringLiteral("cannot open FTDI:: no FTDI adapter (FT232R or FT231X) is plugged in"));
    error = openError(QStringLiteral("FTDI:VFTDI001"));
    EXPECT_TRUE(error.contains(QLatin1String("(present: none)"))) << error.toStdString();
}

TEST_F(FtdiOnVftdi, AnAdapterHeldOpenElsewhereIsNamedInUse)
{
    if (ranUnderVftdi(QStringLiteral("atmega8")))
        return;
    std::unique_ptr<FtdiAdapter> first = openAdapter();
    ASSERT_TRUE(first);
    const QString error = openError(QStringLiteral("FTDI:"));
    EXPECT_TRUE(error.startsWith(QLatin1String("cannot open FTDI:: in use by another program"))) << error.toStdString();
    first.reset();
    EXPECT_TRUE(openAdapter(QStringLiteral("FTDI:"))) << "free again once closed";
}

TEST_F(FtdiOnVftdi, AnAtmega8AnswersTheEnableAndItsSignature)
{
    if (ranUnderVftdi(QStringLiteral("atmega8")))
        return;
    std::unique_ptr<FtdiAdapter> adapter = openAdapter();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    EXPECT_EQ(enterProgrammingMode(spi), (std::vector<int>{0xFF, 0xAC, 0x53, 0x00}));
    std::vector<Tickets> signature;
    for (uint8_t i = 0; i < 3; ++i)
        signature.push_back(queue(spi, {0x30, 0x00, i, 0x00}));
    ASSERT_TRUE(spi.flush()) << spi.failure().reason.toStdString();
    EXPECT_EQ(replies(spi, {signature[0][3], signature[1][3], signature[2][3]}), (std::vector<int>{0x1E, 0x93, 0x07}));
}

TEST_F(FtdiOnVftdi, AnAtmega8PageIsLoadedCommittedWaitedOutAndReadBackInOneFlush)
{
    if (ranUnderVftdi(QStringLiteral("atmega8"))) {
        const QString dumped = QFileInfo(statePath()).dir().filePath(QStringLiteral("flash.bin"));
        runVftdiTool(QStringLiteral("visp"), {QStringLiteral("dump"), statePath(), QStringLiteral("flash"), dumped});
        const QByteArray flash = readAll(dumped);
        ASSERT_EQ(flash.size(), 8192);
        for (int i = 0; i < 128; ++i)
            ASSERT_EQ(static_cast<uint8_t>(flash[i]), pattern(i)) << "the chip holds byte " << i;
        return;
    }
    std::unique_ptr<FtdiAdapter> adapter = openAdapter();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    enterProgrammingMode(spi);
    queue(spi, {0xAC, 0x80, 0x00, 0x00});
    spi.queueWait(10000);
    // Two pages: the first write cycle waited out by the host, the second by idle states.
    for (int page = 0; page < 2; ++page) {
        for (int i = page * 64; i < page * 64 + 64; ++i)
            queueAvrLoad(spi, i, pattern(i));
        queueAvrCommit(spi, page * 64);
        if (page == 0)
            spi.queueWait(5000);
        else
            spi.queueIdle(5000);
    }
    std::vector<Tickets> reads;
    for (int i = 0; i < 128; ++i)
        reads.push_back(queueAvrRead(spi, i));
    ASSERT_TRUE(spi.flush()) << spi.failure().reason.toStdString();
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(spi.reply(reads[static_cast<size_t>(i)][3]), pattern(i)) << "byte " << i;
}

TEST_F(FtdiOnVftdi, AnAt89s52ByteIsWrittenAndReadBack)
{
    if (ranUnderVftdi(QStringLiteral("at89s52")))
        return;
    std::unique_ptr<FtdiAdapter> adapter = openAdapter();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    EXPECT_EQ(enterProgrammingMode(spi)[3], 0x69);
    queue(spi, {0xAC, 0x80, 0x00, 0x00});
    spi.queueWait(10000);
    const std::vector<std::pair<int, uint8_t>> bytes = {{0x0123, 0xA5}, {0x1FFF, 0x3C}, {0x0000, 0x00}};
    for (const auto& [address, value] : bytes) {
        queue(spi, {0x40, uint8_t(address >> 8), uint8_t(address), value});
        spi.queueWait(1000);
    }
    std::vector<Tickets> reads;
    for (const auto& [address, value] : bytes)
        reads.push_back(queue(spi, {0x20, uint8_t(address >> 8), uint8_t(address), 0x00}));
    ASSERT_TRUE(spi.flush()) << spi.failure().reason.toStdString();
    for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(spi.reply(reads[i][3]), bytes[i].second) << "address " << bytes[i].first;
}

TEST_F(FtdiOnVftdi, AnAt89s8252TakesThreeByteInstructions)
{
    if (ranUnderVftdi(QStringLiteral("at89s8252")))
        return;
    std::unique_ptr<FtdiAdapter> adapter = openAdapter();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    EXPECT_EQ(enterProgrammingMode(spi, 3), (std::vector<int>{0xFF, 0xAC, 0x53}));
    // Self-erasing byte writes of 2.5 ms: flash 0x1234 and EEPROM 0x0456.
    queue(spi, {uint8_t((0x12 & 0x1F) << 3 | 0x02), 0x34, 0x5A});
    spi.queueWait(3000);
    queue(spi, {uint8_t((0x04 & 0x07) << 3 | 0x06), 0x56, 0xC3});
    spi.queueWait(3000);
    const Tickets flash = queue(spi, {uint8_t((0x12 & 0x1F) << 3 | 0x01), 0x34, 0x00});
    const Tickets eeprom = queue(spi, {uint8_t((0x04 & 0x07) << 3 | 0x05), 0x56, 0x00});
    ASSERT_TRUE(spi.flush()) << spi.failure().reason.toStdString();
    EXPECT_EQ(spi.reply(flash[2]), 0x5A);
    EXPECT_EQ(spi.reply(eeprom[2]), 0xC3);
}

TEST_F(FtdiOnVftdi, APulledAdapterFailsWithLibftdisReasonAndNoData)
{
    // Opening and the enable take 16 transfers; the batch below needs 24 more.
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("VFTDI_UNPLUG_AFTER"), QStringLiteral("22"));
    if (ranUnderVftdi(QStringLiteral("atmega8"), extra))
        return;
    std::unique_ptr<FtdiAdapter> adapter = openAdapter();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    ASSERT_EQ(enterProgrammingMode(spi)[2], 0x53);
    std::vector<Tickets> reads;
    for (int i = 0; i < 64; ++i)
        reads.push_back(queueAvrRead(spi, i));
    EXPECT_FALSE(spi.flush());
    EXPECT_TRUE(spi.failed());
    EXPECT_TRUE(spi.failure().reason.startsWith(QLatin1String("usb bulk "))) << spi.failure().reason.toStdString();
    for (const Tickets& read : reads)
        ASSERT_FALSE(spi.reply(read[3])) << "no reply of a failed batch is kept";
    EXPECT_FALSE(spi.transferByte(0x00)) << "the adapter stays failed";
    EXPECT_TRUE(adapter->failed());
}

// Each rung of the ladder against a chip that garbles any half period shorter than
// minHalfUs: the chosen rate must honour the half clock under either reading of the
// FT232R's bit-bang rate, and not be slower than needed.
struct RungCase {
    int32_t halfClockUs;
    int minHalfUs;      // VISP_MIN_HALF_US
    const char* ratio;  // VFTDI_BB_RATIO: 4 is the faster reading, 0.25 the slower
    bool garbles;
};

void PrintTo(const RungCase& c, std::ostream* os)
{
    *os << c.halfClockUs << " us, chip needs " << c.minHalfUs << " us, ratio " << c.ratio;
}

class FtdiRungOnVftdi : public FtdiOnVftdi, public ::testing::WithParamInterface<RungCase> {};

TEST_P(FtdiRungOnVftdi, ClocksNoFasterThanTheHalfClock)
{
    const RungCase& c = GetParam();
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("VISP_MIN_HALF_US"), QString::number(c.minHalfUs));
    extra.insert(QStringLiteral("VFTDI_BB_RATIO"), QString::fromLatin1(c.ratio));
    if (ranUnderVftdi(QStringLiteral("atmega8"), extra)) {
        const QMap<QString, QString> info = vftdiInfo(statePath());
        if (c.garbles) {
            EXPECT_GT(info.value(QStringLiteral("garbled")).toInt(), 0);
        } else {
            EXPECT_EQ(info.value(QStringLiteral("garbled")), QStringLiteral("0"));
            EXPECT_GE(info.value(QStringLiteral("min_half_us")).toDouble(), c.halfClockUs);
        }
        return;
    }
    std::unique_ptr<FtdiAdapter> adapter = openAdapter();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    spi.setHalfClock(c.halfClockUs);
    enterProgrammingMode(spi);
    const Tickets first = queue(spi, {0x30, 0x00, 0x00, 0x00});
    const Tickets second = queue(spi, {0x30, 0x00, 0x01, 0x00});
    ASSERT_TRUE(spi.flush());
    const std::vector<int> signature = {*spi.reply(first[3]), *spi.reply(second[3])};
    if (c.garbles)
        EXPECT_NE(signature, (std::vector<int>{0x1E, 0x93}));
    else
        EXPECT_EQ(signature, (std::vector<int>{0x1E, 0x93}));
}

INSTANTIATE_TEST_SUITE_P(Ladder, FtdiRungOnVftdi,
                         ::testing::Values(RungCase{5, 5, "4", false}, RungCase{7, 7, "4", false},
                                           RungCase{25, 25, "4", false}, RungCase{205, 205, "4", false},
                                           RungCase{2005, 2005, "4", false}, RungCase{20000, 20000, "4", false},
                                           RungCase{5, 5, "0.25", false}, RungCase{205, 205, "0.25", false},
                                           // the rate is as fast as the half clock allows
                                           RungCase{5, 6, "4", true}));

struct UsbCounts {
    qint64 writes = 0;
    qint64 reads = 0;
    UsbCounts operator-(const UsbCounts& o) const { return {writes - o.writes, reads - o.reads}; }
};

// A session in a child process of its own: open, enable, the work the test's
// KESTOVA_FTDI_WORK names, close. Each child gets a freshly plugged adapter, so nothing
// of one session (the lines as it left them) reaches the next.
class FtdiSessionOnVftdi : public FtdiOnVftdi {
protected:
    static QString work() { return qEnvironmentVariable("KESTOVA_FTDI_WORK"); }

    // Parent: the bulk transfers of a session with `work`, less those of one without.
    UsbCounts transfersOf(const QString& work, QProcessEnvironment extra = {})
    {
        extra.insert(QStringLiteral("KESTOVA_FTDI_WORK"), QStringLiteral("none"));
        const UsbCounts baseline = sessionTransfers(extra);
        extra.insert(QStringLiteral("KESTOVA_FTDI_WORK"), work);
        return sessionTransfers(extra) - baseline;
    }

    // Child: the session up to the work.
    std::unique_ptr<FtdiAdapter> openAndEnable()
    {
        std::unique_ptr<FtdiAdapter> adapter = openAdapter();
        if (adapter) {
            FtdiSpi spi(*adapter);
            EXPECT_EQ(enterProgrammingMode(spi)[2], 0x53);
        }
        return adapter;
    }

private:
    UsbCounts sessionTransfers(const QProcessEnvironment& extra)
    {
        const UsbCounts before = usbCounts();
        QProcessEnvironment env = vftdiEnvironment(QStringLiteral("atmega8"), statePath());
        env.insert(extra);
        childOutput_ = expectChildPasses(env);
        return usbCounts() - before;
    }

    // The adapter saves its counters when it is closed.
    UsbCounts usbCounts() const
    {
        const QMap<QString, qint64> c = vftdiUsbCounters(statePath());
        return {c.value(QStringLiteral("usb_writes")), c.value(QStringLiteral("usb_reads"))};
    }
};

constexpr int kBatchInstructions = 64;

TEST_F(FtdiSessionOnVftdi, AnInstructionOrABatchOfThemTakesAFewTransfers)
{
    if (!inVftdiChild()) {
        const UsbCounts one = transfersOf(QStringLiteral("one"));
        EXPECT_EQ(one.writes, 1) << "a whole 4-byte instruction in one write";
        EXPECT_EQ(one.reads, 1);
        const UsbCounts batch = transfersOf(QStringLiteral("batch"));
        // 64 states an instruction, and the FIFOs take kFastBatch states a write.
        const auto fifoBound = static_cast<qint64>((kBatchInstructions * 64 + 1 + FtdiAdapter::kFastBatch - 1)
                                                   / FtdiAdapter::kFastBatch);
        EXPECT_EQ(batch.writes, fifoBound);
        EXPECT_EQ(batch.reads, fifoBound);
        std::printf("usb transfers: one instruction %lld writes + %lld reads; %d instructions %lld + %lld\n",
                    static_cast<long long>(one.writes), static_cast<long long>(one.reads), kBatchInstructions,
                    static_cast<long long>(batch.writes), static_cast<long long>(batch.reads));
        return;
    }
    std::unique_ptr<FtdiAdapter> adapter = openAndEnable();
    ASSERT_TRUE(adapter);
    FtdiSpi spi(*adapter);
    int instructions = 0;
    if (work() == QLatin1String("one"))
        instructions = 1;
    else if (work() == QLatin1String("batch"))
        instructions = kBatchInstructions;
    std::vector<Tickets> reads;
    for (int i = 0; i < instructions; ++i)
        reads.push_back(queueAvrRead(spi, i));
    ASSERT_TRUE(spi.flush());
    for (const Tickets& read : reads)
        EXPECT_EQ(spi.reply(read[3]), 0xFF) << "an erased chip";
}

// Prints, does not judge: wall time depends on the machine's load.
TEST_F(FtdiSessionOnVftdi, MeasuresAFlashReadAgainstItsFloor)
{
    constexpr int kBytes = 256;
    const double floorMs = kBytes * 32 * 2 * FtdiClock::kMinHalfClockUs / 1000.0;
    if (!inVftdiChild()) {
        QByteArray image;
        for (int i = 0; i < 8192; ++i)
            image.append(static_cast<char>(pattern(i)));
        const QString file = QFileInfo(statePath()).dir().filePath(QStringLiteral("image.bin"));
        ASSERT_TRUE(writeAll(file, image));
        runVftdiTool(QStringLiteral("visp"), {QStringLiteral("init"), statePath(), QStringLiteral("atmega8")});
        runVftdiTool(QStringLiteral("visp"), {QStringLiteral("load"), statePath(), QStringLiteral("flash"), file});
        QProcessEnvironment realTime;
        realTime.insert(QStringLiteral("VFTDI_TIME_SCALE"), QStringLiteral("1"));
        realTime.insert(QStringLiteral("VFTDI_USB_LATENCY_US"), QStringLiteral("1000"));
        const UsbCounts usb = transfersOf(QStringLiteral("read"), realTime);
        const qsizetype at = childOutput_.indexOf(QLatin1String("elapsed_ms="));
        ASSERT_GE(at, 0) << childOutput_.toStdString();
        const double elapsedMs = childOutput_.mid(at + 11).section(QLatin1Char('\n'), 0, 0).toDouble();
        std::printf("ftdi read %d B atmega8: %.1f ms, floor %.1f ms, ratio %.2f, "
                    "%lld transfers (%lld writes, %lld reads)\n",
                    kBytes, elapsedMs, floorMs, elapsedMs / floorMs, static_cast<long long>(usb.writes + usb.reads),
                    static_cast<long long>(usb.writes), static_cast<long long>(usb.reads));
        return;
    }
    std::unique_ptr<FtdiAdapter> adapter = openAndEnable();
    ASSERT_TRUE(adapter);
    if (work() != QLatin1String("read"))
        return;
    FtdiSpi spi(*adapter);
    std::vector<Tickets> reads;
    for (int i = 0; i < kBytes; ++i)
        reads.push_back(queueAvrRead(spi, i));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(spi.flush());
    std::printf("elapsed_ms=%.3f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
    for (int i = 0; i < kBytes; ++i)
        ASSERT_EQ(spi.reply(reads[static_cast<size_t>(i)][3]), pattern(i)) << "byte " << i;
}

}  // namespace

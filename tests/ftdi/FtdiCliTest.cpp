// kestova-cli on an FTDI adapter, through ../shared/vftdi: every chip of the table
// written, verified, read back and compared, flash and EEPROM; a pulled adapter; a chip
// too slow for the first rungs of the ladder. The chips come from the chip table, so a
// chip added there is tested here as soon as vftdi models it.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "target/ChipCatalogue.h"
#include "tests/cli/CliRun.h"
#include "tests/support/Vftdi.h"

namespace {

const QString kPort = QStringLiteral("FTDI:VFTDI001");

// vftdi's VISP_CHIP name of an entry of the table: the 89S chips' keywords leave out "at89".
QString vftdiChipOf(const ChipEntry& chip)
{
    const QString keyword = QLatin1String(chip.keyword);
    if (keyword.size() > 1 && keyword[0] == QLatin1Char('s') && keyword[1].isDigit())
        return QStringLiteral("at89") + keyword;
    return keyword;
}

std::vector<const ChipEntry*> everyChip()
{
    std::vector<const ChipEntry*> chips;
    for (const ChipEntry& chip : chipTable())
        chips.push_back(&chip);
    return chips;
}

std::string chipName(const ::testing::TestParamInfo<const ChipEntry*>& info) { return info.param->keyword; }

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

class FtdiCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveVftdi())
            GTEST_SKIP() << "the simulated FTDI adapter was not built";
        ASSERT_TRUE(dir_.isValid());
    }

    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QString state() const { return path("chip.state"); }

    QProcessEnvironment underVftdi(const QString& chip) const { return vftdiEnvironment(chip, state()); }

    CliRun cli(const QString& chip, const ChipEntry& entry, const QStringList& args,
               const QProcessEnvironment& extra = {})
    {
        QProcessEnvironment env = underVftdi(chip);
        env.insert(extra);
        return runCli(
            QStringList{QStringLiteral("--port"), kPort, QStringLiteral("--chip"), QLatin1String(entry.keyword)} + args,
            env);
    }

    QString writeFile(const char* name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QByteArray fileBytes(const QString& name) const
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

class EveryChipOnFtdi : public FtdiCli, public ::testing::WithParamInterface<const ChipEntry*> {
protected:
    // Writes `size` bytes into a memory, then reads the whole memory back and compares.
    void roundTrip(const ChipEntry& chip, bool eeprom, int size)
    {
        const QString vftdiChip = vftdiChipOf(chip);
        QStringList memory;
        if (eeprom)
            memory << QStringLiteral("--eeprom");
        const QByteArray image = randomBytes(size, eeprom ? 2 : 1);
        const QString file = writeFile(eeprom ? "ee.bin" : "flash.bin", image);

        const CliRun written = cli(vftdiChip, chip, memory + QStringList{QStringLiteral("write"), file});
        ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
        EXPECT_TRUE(written.err.contains(QLatin1String("Done"))) << written.err.toStdString();

        const QString out = path("read.bin");
        const CliRun read = cli(vftdiChip, chip, memory + QStringList{QStringLiteral("read"), out});
        ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
        const QByteArray back = fileBytes(out);
        EXPECT_EQ(back.size(), chip.memory(eeprom ? MemoryKind::Eeprom : MemoryKind::Flash).size);
        EXPECT_EQ(back.left(size), image) << "what the read gives back";

        const CliRun compared = cli(vftdiChip, chip, memory + QStringList{QStringLiteral("compare"), file});
        EXPECT_EQ(compared.exitCode, 0) << compared.err.toStdString();

        // The chip's own record agrees, and the clock never ran faster than its rung.
        runVftdiTool(QStringLiteral("visp"),
                     {QStringLiteral("dump"), state(), QLatin1String(eeprom ? "eeprom" : "flash"), path("dump.bin")});
        EXPECT_EQ(fileBytes(path("dump.bin")).left(size), image);
        const QMap<QString, QString> info = vftdiInfo(state());
        EXPECT_EQ(info.value(QStringLiteral("garbled")), QStringLiteral("0"));
        EXPECT_GE(info.value(QStringLiteral("min_half_us")).toDouble(), 5.0);
    }
};

TEST_P(EveryChipOnFtdi, FlashAndEepromAreWrittenVerifiedReadAndCompared)
{
    const ChipEntry& chip = *GetParam();
    // Odd lengths that cross pages; the byte-written memories wait out a write cycle per
    // byte, so a part of each memory stands for the whole.
    roundTrip(chip, false, 777);
    if (chip.hasEeprom())  // 301 bytes, or short of the end where the EEPROM is smaller
        roundTrip(chip, true, std::min(301, chip.memory(MemoryKind::Eeprom).size - 3));
}

INSTANTIATE_TEST_SUITE_P(Table, EveryChipOnFtdi, ::testing::ValuesIn(everyChip()), chipName);

TEST_F(FtdiCli, APulledAdapterEndsTheRunWithThePortAndLibftdisReason)
{
    const ChipEntry& chip = *chipForKeyword(QStringLiteral("atmega8"));
    const QString file = writeFile("image.bin", randomBytes(4096, 3));
    QProcessEnvironment pulled;
    pulled.insert(QStringLiteral("VFTDI_UNPLUG_AFTER"), QStringLiteral("60"));
    const CliRun run = cli(QStringLiteral("atmega8"), chip, {QStringLiteral("write"), file}, pulled);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.contains(QLatin1String("Done"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Lost the serial port %1: usb bulk").arg(kPort)))
        << run.err.toStdString();
}

TEST_F(FtdiCli, AChipTooSlowForTheFirstRungsIsFoundByTheLadder)
{
    const ChipEntry& chip = *chipForKeyword(QStringLiteral("atmega8"));
    QProcessEnvironment slow;
    slow.insert(QStringLiteral("VISP_MIN_HALF_US"), QStringLiteral("30"));
    const CliRun probe = cli(QStringLiteral("atmega8"), chip, {QStringLiteral("probe")}, slow);
    EXPECT_EQ(probe.exitCode, 0) << probe.err.toStdString();
    EXPECT_EQ(probe.out, QStringLiteral("signature 1E 93 07 at ClockDelay 205 us\n"));

    // At that rung a write lands whole: no half clock of it came too soon.
    const QByteArray image = randomBytes(130, 4);
    const CliRun written = cli(QStringLiteral("atmega8"), chip,
                               {QStringLiteral("--eeprom"), QStringLiteral("write"), writeFile("slow.bin", image)},
                               slow);
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    runVftdiTool(QStringLiteral("visp"), {QStringLiteral("dump"), state(), QStringLiteral("eeprom"), path("ee.bin")});
    EXPECT_EQ(fileBytes(path("ee.bin")).left(image.size()), image);
}

TEST_F(FtdiCli, PortsListsTheAdaptersAndANameThatPicksNoneSaysWhatIsThere)
{
    QProcessEnvironment two = underVftdi(QStringLiteral("atmega8"));
    two.insert(QStringLiteral("VFTDI_DEVICES"),
               QStringLiteral("0403:6001:VFTDI001:FT232R USB UART;0403:6015:DQ00X1:FT231X USB UART"));
    const CliRun ports = runCli({QStringLiteral("ports")}, two);
    EXPECT_EQ(ports.exitCode, 0);
    EXPECT_TRUE(ports.out.contains(QLatin1String("FTDI:VFTDI001\tFT232R USB UART\tFTDI\t0403:6001\n")))
        << ports.out.toStdString();
    EXPECT_TRUE(ports.out.contains(QLatin1String("FTDI:DQ00X1\tFT231X USB UART\tFTDI\t0403:6015\n")));

    const CliRun several = runCli({QStringLiteral("--port"), QStringLiteral("ftdi:"), QStringLiteral("--chip"),
                                   QStringLiteral("atmega8"), QStringLiteral("probe")},
                                  two);
    EXPECT_EQ(several.exitCode, 1);
    EXPECT_TRUE(several.err.contains(QLatin1String("2 FTDI adapters are plugged in"))) << several.err.toStdString();
}

}  // namespace

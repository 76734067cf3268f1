// kestova-cli's command line as people type it: options on either side of the
// command, keywords in any case, --help and --version, and the list of ports.
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/cli/CliRun.h"

namespace {

TEST(CommandLine, OptionsAfterTheCommandAndKeywordsInAnyCase)
{
    QTemporaryDir dir;
    QProcessEnvironment env;
    env.insert(QStringLiteral("KESTOVA_SIM_DIR"), dir.path());
    // A scheduling stall inside an instruction must not count as the reset pulse.
    env.insert(QStringLiteral("KESTOVA_SIM_RESYNC_MS"), QStringLiteral("60000"));
    const QString expected = QStringLiteral("signature 1E 93 07 at ClockDelay 5 us\n");
    for (const QStringList& args : {QStringList{"probe", "--port", "SIM:atmega8", "--chip", "atmega8"},
                                    QStringList{"--port", "SIM:ATMEGA8", "probe", "--chip", "ATmega8"},
                                    QStringList{"--chip", "ATMEGA8", "probe", "--port", "sim:AtMega8"}}) {
        const CliRun run = runCli(args, env);
        EXPECT_EQ(run.exitCode, 0) << qPrintable(args.join(u' ')) << qPrintable(run.err);
        EXPECT_EQ(run.out, expected) << qPrintable(args.join(u' '));
    }

    const CliRun unknown = runCli({"--port", "SIM:atmega8", "--chip", "atmega64", "probe"}, env);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
}

TEST(CommandLine, HelpListsEveryCommandAndVersionSaysWhichProgram)
{
    const CliRun help = runCli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"bin2hex", "chips", "detect", "hex2bin", "ports", "probe"})
        EXPECT_TRUE(help.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command)))) << command;
    EXPECT_TRUE(help.out.contains(QLatin1String("Chip keywords (any case): s8252, s8253, s53, s52, s51, atmega8, "
                                                "atmega48p, ")));
    EXPECT_TRUE(help.out.contains(QLatin1String("attiny85, attiny2313.\nOther names (kestova-cli chips lists the "
                                                "entry each selects): atmega8515, atmega8535, m8, m8515, m8535, ")));

    const CliRun version = runCli({QStringLiteral("probe"), QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("kestova-cli %1\n").arg(QLatin1String(KESTOVA_VERSION)));
}

TEST(CommandLine, ChipsListsEveryChipWithItsNamesCaptionAndMemories)
{
    const CliRun run = runCli({QStringLiteral("chips")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_EQ(
        run.out,
        QStringLiteral("s8252\t-\tAT89S8252 (8K)\tflash 8192, EEPROM 2048\n"
                       "s8253\t-\tAT89S8253 (12K)\tflash 12288, EEPROM 2048\n"
                       "s53\t-\tAT89S53 (12K)\tflash 12288\n"
                       "s52\t-\tAT89S52 (8K)\tflash 8192\n"
                       "s51\t-\tAT89S51 (4K)\tflash 4096\n"
                       "atmega8\tatmega8515 atmega8535 m8 m8515 m8535\tATMEGA8/85X5 (8K)\tflash 8192, EEPROM 512\n"
                       "atmega48p\tatmega48 m48p m48\tATmega48/48P (4K)\tflash 4096, EEPROM 256\n"
                       "atmega88p\tatmega88 m88p m88\tATmega88/88P (8K)\tflash 8192, EEPROM 512\n"
                       "atmega168p\tatmega168 m168p m168\tATmega168/168P (16K)\tflash 16384, EEPROM 512\n"
                       "atmega328p\tatmega328 m328p m328\tATmega328/328P (32K)\tflash 32768, EEPROM 1024\n"
                       "atmega16\tm16\tATmega16 (16K)\tflash 16384, EEPROM 512\n"
                       "atmega32\tm32\tATmega32 (32K)\tflash 32768, EEPROM 1024\n"
                       "attiny13\tt13 attiny13a t13a\tATtiny13 (1K)\tflash 1024, EEPROM 64\n"
                       "attiny25\tt25\tATtiny25 (2K)\tflash 2048, EEPROM 128\n"
                       "attiny45\tt45\tATtiny45 (4K)\tflash 4096, EEPROM 256\n"
                       "attiny85\tt85\tATtiny85 (8K)\tflash 8192, EEPROM 512\n"
                       "attiny2313\tt2313\tATtiny2313 (2K)\tflash 2048, EEPROM 128\n"));
    // Every name it lists is one --chip takes (an unknown one is a usage error, 2).
    for (const QString& line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        QStringList names = fields[1].split(QLatin1Char(' ')) << fields[0];
        names.removeAll(QStringLiteral("-"));
        for (const QString& name : names)
            EXPECT_EQ(runCli({"--chip", name, "chips"}).exitCode, 0) << qPrintable(name);
    }
}

TEST(CommandLine, PortsListsWhatTheSystemReportsOnePerLine)
{
    QStringList expected;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        expected << port.portName();
    expected.sort();

    const CliRun run = runCli({QStringLiteral("ports")});
    EXPECT_EQ(run.exitCode, 0);
    QStringList names;
    for (const QString& line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        EXPECT_EQ(fields.size(), 4) << qPrintable(line);
        names << fields.first();
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(run.err.isEmpty(), !expected.isEmpty()) << qPrintable(run.err);
}

}  // namespace

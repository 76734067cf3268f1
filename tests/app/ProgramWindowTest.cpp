// The "Write" button against the simulated chips through the real link: compiler
// output lands in every chip and memory, Differential mode leaves a chip that holds
// the file alone, slow and forgetful chips are written one rung slower, cancel keeps
// the file for the next click, and a pulled adapter is a failure, never "Done".
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "tests/app/SimWindow.h"
#include "tests/support/TestPaths.h"
#include "view/Strings.h"

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The memory starts with the image and is erased (or untouched) after it.
bool holdsExactly(const std::vector<uint8_t>& memory, const QByteArray& image)
{
    if (memory.size() < static_cast<size_t>(image.size()))
        return false;
    const auto end = memory.begin() + image.size();
    return std::equal(memory.begin(), end, image.begin(), [](uint8_t a, char b) { return a == uint8_t(b); })
        && std::all_of(end, memory.end(), [](uint8_t b) { return b == 0xFF; });
}

class ProgramWindow : public SimWindow {
protected:
    // A file of the first `length` bytes of the AVR compiler output.
    QString smallImage(int length)
    {
        const QString path = simDir_.filePath(QStringLiteral("small.bin"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(fileBytes(testDataPath(QStringLiteral("avr-atmega8.bin"))).left(length));
        return path;
    }
    static void write(TestWindow& w, const QString& file)
    {
        w.openAnswers << file;
        w.button("ButtonWrite")->click();
    }
};

struct WriteCase {
    int chip;  // "CHIP" entry
    const char* port;
    bool eeprom;
    const char* file;    // in tests/data
    const char* binary;  // the same image as a .bin
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.port << (c.eeprom ? " eeprom " : " flash ") << c.file; }

class WriteEveryChip : public ProgramWindow, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteEveryChip, CompilerOutputLandsExactlyInTheChosenMemory)
{
    const WriteCase& c = GetParam();
    auto w = openWindow(c.chip, QLatin1String(c.port));
    ASSERT_TRUE(w->link().isOpen());
    if (c.eeprom)
        w->radio("RadioEeprom")->click();
    write(*w, testDataPath(QLatin1String(c.file)));

    const QByteArray image = fileBytes(testDataPath(QLatin1String(c.binary)));
    ChipMemories& chip = chipOf(*w);
    EXPECT_TRUE(holdsExactly(c.eeprom ? chip.eeprom : chip.flash, image));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_EQ(w->panelText(1), QStringLiteral("%1 of %1 bytes").arg(image.size()));
    // Every form the program reads first, then each, then anything.
    EXPECT_EQ(w->openFilters,
              QStringList{QStringLiteral("All supported files|*.bin;*.hex;*.ihx;*.ihex;*.eep|"
                                         ".BIN files|*.bin|.HEX files|*.hex;*.ihx;*.ihex;*.eep|"
                                         "All files|*")});
    EXPECT_TRUE(w->messages.empty());
    // Chosen for the next chip: one file, many chips.
    EXPECT_EQ(w->autoRunFile(), QFileInfo(testDataPath(QLatin1String(c.file))).absoluteFilePath());
}

// Fast mode stops reading back after 15 bytes; the bytes after them must not each
// repaint the window (the other modes show their progress at most 25 times a second).
TEST_F(ProgramWindow, FastModeRepaintsTheProgressAtAHumanRate)
{
    auto w = openWindow(3, QStringLiteral("SIM:s52"));
    w->item("menuRapida")->trigger();
    const QString path = simDir_.filePath(QStringLiteral("fast.bin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1500, '\x5A'));
    file.close();
    int paints = 0;
    QObject::connect(w->child<QProgressBar>(QStringLiteral("Gauge")), &QProgressBar::valueChanged, [&] { ++paints; });
    QElapsedTimer elapsed;
    elapsed.start();
    write(*w, path);
    const qint64 ms = elapsed.elapsed();
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    // 25 a second, plus the phases, which are drawn at once with the progress they end,
    // with room to spare (a byte each would be hundreds a second); a loaded machine
    // only makes the run longer and the bound looser.
    EXPECT_LE(paints, ms / 20 + 20) << ms << " ms";
}

// An 8051 compiler's .ihx is Intel HEX: its image lands in the flash, not its text.
TEST_F(ProgramWindow, AnIhxFileIsWrittenAsTheImageItDescribesAndTheStatusSaysSo)
{
    auto w = openWindow(3, QStringLiteral("SIM:s52"));
    const QString ihx = folder_.dir.filePath(QStringLiteral("mcs51.ihx"));
    ASSERT_TRUE(QFile::copy(testDataPath(QStringLiteral("mcs51-gap.hex")), ihx));
    write(*w, ihx);
    const QByteArray image = fileBytes(testDataPath(QStringLiteral("mcs51-gap.bin")));
    EXPECT_TRUE(holdsExactly(chipOf(*w).flash, image));
    EXPECT_TRUE(w->statusHistory.contains(QStringLiteral("Intel HEX, %1 bytes").arg(image.size())));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
}

INSTANTIATE_TEST_SUITE_P(Chips, WriteEveryChip,
                         ::testing::Values(WriteCase{0, "SIM:s8252", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                                           WriteCase{0, "SIM:s8252", true, "avr-atmega8.bin", "avr-atmega8.bin"},
                                           WriteCase{1, "SIM:s8253", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                                           WriteCase{1, "SIM:s8253", true, "avr-atmega8.hex", "avr-atmega8.bin"},
                                           WriteCase{2, "SIM:s53", false, "avr-atmega8.bin", "avr-atmega8.bin"},
                                           WriteCase{3, "SIM:s52", false, "mcs51-gap.hex", "mcs51-gap.bin"},
                                           WriteCase{4, "SIM:s51", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                                           WriteCase{5, "SIM:atmega8", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                                           WriteCase{5, "SIM:atmega8515", true, "avr-atmega8.bin", "avr-atmega8.bin"}));

TEST_F(ProgramWindow, DifferentialModeLeavesAChipThatHoldsTheFileAlone)
{
    auto w = openWindow(0, QStringLiteral("SIM:s8252"));
    w->item("menuDiferencial")->trigger();
    const QString file = testDataPath(QStringLiteral("avr-atmega8.bin"));
    write(*w, file);
    ASSERT_EQ(w->panelText(0), QLatin1String(Str::kDone));

    // Only reads: the enable of the frame, the enable of the pass, one read per byte.
    const long before = simOf(*w).instructionsRun();
    write(*w, file);
    EXPECT_EQ(simOf(*w).instructionsRun() - before, 2 + fileBytes(file).size());
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_TRUE(holdsExactly(chipOf(*w).flash, fileBytes(file)));
}

TEST_F(ProgramWindow, SlowAndForgetfulChipsAreWrittenOneRungSlower)
{
    const QString file = smallImage(24);
    {
        // Deaf below 150 µs half periods: found, and written, at 205 µs.
        auto w = openWindow(3, QStringLiteral("SIM:s52,slow=150"));
        write(*w, file);
        EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
        EXPECT_TRUE(holdsExactly(chipOf(*w).flash, fileBytes(file)));
        EXPECT_EQ(w->link().clockDelay(), 205) << "later operations keep the rung";
    }
    {
        // The first two writes of byte 0x10 are lost: it is written at 5, 7 and 25 µs.
        auto w = openWindow(3, QStringLiteral("SIM:s52,lose=0x10:2"));
        write(*w, file);
        EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
        EXPECT_TRUE(holdsExactly(chipOf(*w).flash, fileBytes(file)));
        EXPECT_EQ(w->link().clockDelay(), 25);
        EXPECT_EQ(w->target().writeDelay, 1 + 2 * 3);
    }
}

TEST_F(ProgramWindow, AfterCancelWriteStartsTheSameFileAgainWithoutAskingForOne)
{
    auto w = openWindow(5, QStringLiteral("SIM:atmega8"));
    const QString file = testDataPath(QStringLiteral("avr-atmega8.hex"));
    w->onEvents = [&] {
        if (w->progressDone == 21)
            w->button("ButtonCancel")->click();
    };
    write(*w, file);
    EXPECT_FALSE(w->statusHistory.contains(QLatin1String(Str::kDone)));
    EXPECT_FALSE(w->cancelRequested());
    EXPECT_EQ(w->autoRunFile(), file);
    EXPECT_NE(chipOf(*w).flash[20], 0xFF) << "written up to the cancel";
    EXPECT_EQ(chipOf(*w).flash[21], 0xFF);

    w->onEvents = nullptr;
    w->button("ButtonWrite")->click();
    EXPECT_EQ(w->openFilters.size(), 1) << "no second dialog";
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_TRUE(holdsExactly(chipOf(*w).flash, fileBytes(testDataPath(QStringLiteral("avr-atmega8.bin")))));
    EXPECT_EQ(w->autoRunFile(), file) << "still chosen for the next chip";
}

TEST_F(ProgramWindow, APulledAdapterEndsTheRunWithTheReasonNeverDone)
{
    // About 200 line calls per byte written and read back: gone a dozen bytes in.
    const QString port = QStringLiteral("SIM:s52,unplug=4000");
    auto w = openWindow(3, port);
    write(*w, testDataPath(QStringLiteral("avr-atmega8.bin")));
    EXPECT_FALSE(w->statusHistory.contains(QLatin1String(Str::kDone)));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kCommunicationError));
    ASSERT_EQ(w->messages.size(), 1u);
    EXPECT_EQ(w->messages[0].text, QStringLiteral("Lost the serial port %1: Input/output error").arg(port));
    EXPECT_EQ(w->link().clockDelay(), 5);
    EXPECT_EQ(w->target().writeDelay, 1);
}

}  // namespace

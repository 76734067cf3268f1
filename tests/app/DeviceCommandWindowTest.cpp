// Device commands from the main window against the simulated chips: the "Erase",
// "Read" and "Compare" buttons, the lock and fuse groups, a command clicked during
// another, and a close request that arrives while an operation runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "image/Converters.h"
#include "target/DeviceSession.h"
#include "tests/app/SimWindow.h"
#include "tests/support/ScratchFiles.h"
#include "view/Strings.h"

namespace {

TEST_F(SimWindow, EraseButtonErasesThreeAndFourByteChipsAndIsOffWhileItRuns)
{
    for (const auto& [chip, port] : {std::pair{0, "SIM:s8252"}, std::pair{5, "SIM:atmega8"}}) {
        SCOPED_TRACE(port);
        auto w = openWindow(chip, port);
        ASSERT_TRUE(w->link().isOpen());
        ChipMemories& memory = chipOf(*w);
        memory.flash[0] = 0x00;
        memory.flash[100] = 0x12;
        memory.eeprom[7] = 0x34;

        w->button("ButtonErase")->click();
        EXPECT_EQ(w->panelText(0), QLatin1String(Str::kErased));
        EXPECT_EQ(std::count(memory.flash.begin(), memory.flash.end(), 0xFF),
                  static_cast<std::ptrdiff_t>(memory.flash.size()));
        EXPECT_EQ(memory.eeprom[7], 0xFF);
        // Off from the erase to the end of the whole operation, then usable again.
        EXPECT_EQ(w->eraseButtonStates, (std::vector<bool>{false, false}));
        EXPECT_TRUE(w->button("ButtonErase")->isEnabled());
        EXPECT_TRUE(w->messages.empty());
    }
}

TEST_F(SimWindow, CloseDuringAnOperationWaitsUntilTheTargetIsReleased)
{
    auto w = openWindow(5, "SIM:atmega8");
    w->show();
    chipOf(*w).flash[0] = 0x42;
    QTimer::singleShot(0, w.get(), [&] { w->close(); });

    bool portStayed = true;
    bool cancelStayed = true;
    uint8_t lastRead = 0;
    const RunOutcome outcome = w->runner().run([&](DeviceSession& session) {
        while (session.step()) {
        }
        // An operation that takes its time to end (the ATmega8 write commits its last
        // page after a cancel): the close timer fires meanwhile, and must wait.
        QElapsedTimer ending;
        ending.start();
        while (ending.elapsed() < 350) {
            session.step();
            portStayed = portStayed && w->link().isOpen() && w->isVisible();
        }
        session.view().setCancelRequested(false);
        cancelStayed = session.view().cancelRequested();
        lastRead = session.readByte(0);
    });
    EXPECT_EQ(outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(portStayed);
    EXPECT_TRUE(cancelStayed) << "a pending close keeps the cancel flag";
    EXPECT_EQ(lastRead, 0x42);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 10000));
    EXPECT_FALSE(w->link().isOpen());
}

class SimEepromWindow : public SimWindow {
protected:
    // An ATmega8 window on its EEPROM, every byte different from its neighbours.
    std::unique_ptr<TestWindow> openEepromWindow()
    {
        auto w = openWindow(5, "SIM:atmega8");
        w->radio("RadioEeprom")->click();
        auto& eeprom = chipOf(*w).eeprom;
        for (size_t a = 0; a < eeprom.size(); ++a)
            eeprom[a] = static_cast<uint8_t>(a * 7 + (a >> 8));
        return w;
    }
    QByteArray eepromOf(TestWindow& w)
    {
        const auto& eeprom = chipOf(w).eeprom;
        return QByteArray(reinterpret_cast<const char*>(eeprom.data()), static_cast<qsizetype>(eeprom.size()));
    }
    QString file(const char* name) const { return folder_.dir.filePath(QLatin1String(name)); }
};

TEST_F(SimEepromWindow, ReadAndCompareGoThroughTheirDialogs)
{
    auto w = openEepromWindow();
    w->saveAnswers << file("eeprom.bin");
    w->button("ButtonRead")->click();
    EXPECT_EQ(readAll(file("eeprom.bin")), eepromOf(*w));
    EXPECT_EQ(w->saveFilters, QStringList{QLatin1String(Str::kFilterBinOrHex)});
    EXPECT_EQ(w->saveSuffixes, QStringList{QLatin1String(Str::kDefaultExtBin)});
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_EQ(w->panelText(1), QStringLiteral("512 bytes"));
    EXPECT_EQ(w->child<QProgressBar>("Gauge")->value(), 512);
    EXPECT_EQ(w->child<QProgressBar>("Gauge")->maximum(), 512);

    w->openAnswers << file("eeprom.bin");
    w->button("ButtonCompare")->click();
    EXPECT_EQ(w->openFilters, QStringList{QLatin1String(Str::kFilterImages)});
    EXPECT_EQ(w->panelText(1), QLatin1String(Str::kIdenticalData));

    // A HEX name gets Intel HEX, which compares as the same memory.
    w->saveAnswers << file("eeprom.hex");
    w->button("ButtonRead")->click();
    EXPECT_EQ(readAll(file("eeprom.hex")), hexTextOf(eepromOf(*w)));
    w->openAnswers << file("eeprom.hex");
    w->button("ButtonCompare")->click();
    EXPECT_EQ(w->panelText(1), QLatin1String(Str::kIdenticalData));
    EXPECT_TRUE(w->messages.empty());

    // An empty file is refused, naming it, and leaves a gauge the next operation can use.
    QFile(file("empty.bin")).open(QIODevice::WriteOnly);
    w->openAnswers << file("empty.bin");
    w->button("ButtonCompare")->click();
    ASSERT_EQ(w->messages.size(), 1u);
    EXPECT_EQ(w->messages[0].text, QString::fromUtf8(Str::kNoDataInFile).arg(file("empty.bin")));
    EXPECT_EQ(w->child<QProgressBar>("Gauge")->minimum(), 0);
    w->messages.clear();

    // A cancelled dialog sends nothing to the chip: not even the enable.
    const long instructions = simOf(*w).instructionsRun();
    const QStringList shown = w->statusHistory;
    w->saveAnswers << QString();
    w->button("ButtonRead")->click();
    w->openAnswers << QString();
    w->button("ButtonCompare")->click();
    EXPECT_EQ(simOf(*w).instructionsRun(), instructions);
    EXPECT_EQ(w->statusHistory, shown);
}

TEST_F(SimEepromWindow, CommandsClickedDuringAReadDoNothing)
{
    auto w = openEepromWindow();
    const QByteArray before = eepromOf(*w);
    QTimer::singleShot(0, w.get(), [&] {
        // Boxes all unchecked: a fuse write would program nothing but still reach the chip.
        for (const char* name : {"ButtonCompare", "ButtonRead", "ButtonErase", "ButtonWriteFuse", "ButtonLockAvr"})
            w->button(name)->click();
    });
    w->saveAnswers << file("eeprom.bin");
    w->button("ButtonRead")->click();
    EXPECT_EQ(readAll(file("eeprom.bin")), before);
    EXPECT_EQ(eepromOf(*w), before) << "not erased";
    EXPECT_EQ(chipOf(*w).lowFuse, 0xE1);
    EXPECT_EQ(chipOf(*w).lock, 0xFF);
    EXPECT_EQ(w->saveFilters.size(), 1) << "no second dialog";
    EXPECT_TRUE(w->openFilters.isEmpty());
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
}

TEST_F(SimEepromWindow, CloseDuringAReadKeepsTheBytesReadAndClosesOnceReleased)
{
    auto w = openEepromWindow();
    w->show();
    const QByteArray before = eepromOf(*w);
    QTimer::singleShot(0, w.get(), [&] { w->close(); });
    w->saveAnswers << file("part.bin");
    w->button("ButtonRead")->click();
    const QByteArray kept = readAll(file("part.bin"));
    EXPECT_GT(kept.size(), 0);
    EXPECT_LT(kept.size(), 512);
    EXPECT_EQ(kept, before.left(kept.size()));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kCancelled));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 10000));
    EXPECT_FALSE(w->link().isOpen());
}

bool fuseBoxesShow(const TestWindow& w, bool high, uint8_t value)
{
    for (int bit = 0; bit < 8; ++bit)
        if (w.fuseBox(bit, high)->isChecked() != ((value >> bit & 1) == 0))
            return false;
    return true;
}

TEST_F(SimWindow, FuseAndLockGroupsRoundTripThroughTheBoxes)
{
    auto w = openWindow(5, "SIM:atmega8");
    ChipMemories& chip = chipOf(*w);
    chip.lowFuse = 0xE4;
    chip.highFuse = 0x99;
    w->button("ButtonReadFuse")->click();
    EXPECT_TRUE(fuseBoxesShow(*w, false, 0xE4));
    EXPECT_TRUE(fuseBoxesShow(*w, true, 0x99));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kFuseBitsRead));

    // Both bytes change in one write.
    w->fuseBox(0, false)->click();  // CKSEL0 unprogrammed
    w->fuseBox(3, true)->click();   // EESAVE programmed
    w->button("ButtonWriteFuse")->click();
    EXPECT_EQ(chip.lowFuse, 0xE5);
    EXPECT_EQ(chip.highFuse, 0x91);
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kFuseBitsProgrammed));

    w->lockBox(0)->click();  // LB1
    w->lockBox(5)->click();  // BLB12
    w->button("ButtonLockAvr")->click();
    EXPECT_EQ(chip.lock, 0xDE);
    w->lockBox(0)->click();
    w->lockBox(1)->click();
    w->button("ButtonReadLockAvr")->click();
    for (int bit = 0; bit < 6; ++bit)
        EXPECT_EQ(w->lockBox(bit)->isChecked(), bit == 0 || bit == 5) << bit;
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kLockBitsRead));
}

TEST_F(SimWindow, LockLevelActsOnThe89SChipsAndTheAvrButtonsDoNot)
{
    auto w = openWindow(3, "SIM:s52");
    w->child<QComboBox>("ComboLock89S")->setCurrentIndex(0);  // "L.B.: (89S)"
    w->button("ButtonLock89S")->click();
    for (const char* name : {"ButtonReadFuse", "ButtonWriteFuse", "ButtonReadLockAvr", "ButtonLockAvr"})
        w->button(name)->click();
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kReady));
    EXPECT_EQ(chipOf(*w).lock, 0xFF);

    w->child<QComboBox>("ComboLock89S")->setCurrentIndex(2);  // "2"
    w->button("ButtonLock89S")->click();
    EXPECT_EQ(chipOf(*w).lock & 0x07, 0b100);
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kLockBitsProgrammed));
    EXPECT_TRUE(w->messages.empty());
}

}  // namespace

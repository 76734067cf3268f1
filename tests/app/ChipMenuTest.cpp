// The chip menu, the memory radio buttons and the write-mode items, clicked as a
// user clicks them, with what each leaves in the target state and on the controls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "target/ChipCatalogue.h"
#include "tests/app/TestWindow.h"

namespace {

struct ChipMenu : ::testing::Test {
    InstallFolder folder;
    std::shared_ptr<TestWindow::Cable> cable = std::make_shared<TestWindow::Cable>();
    // A window as it is before start-up clicked anything.
    std::unique_ptr<TestWindow> w = std::make_unique<TestWindow>(folder.executable(), cable);

    void SetUp() override { w->config().setPath(folder.ini()); }

    std::vector<QCheckBox*> avrBoxes() const
    {
        std::vector<QCheckBox*> boxes;
        for (int bit = 0; bit < 8; ++bit)
            boxes.insert(boxes.end(), {w->fuseBox(bit, true), w->fuseBox(bit, false)});
        for (int bit = 0; bit < 6; ++bit)
            boxes.push_back(w->lockBox(bit));
        return boxes;
    }
    bool allAvrBoxes(bool (QWidget::*query)() const) const
    {
        for (QCheckBox* box : avrBoxes())
            if (!(box->*query)())
                return false;
        return true;
    }
    bool noAvrBoxEnabled() const
    {
        for (QCheckBox* box : avrBoxes())
            if (box->isEnabled() || box->isChecked())
                return false;
        return true;
    }
};

struct Expected {
    int index, flash, eeprom, flashKind, eepromKind, writeDelay;
    bool memoryChoice, avrBits, normalForced;
};

TEST_F(ChipMenu, EveryEntrySetsItsTableRowAndStoresItself)
{
    const Expected rows[] = {
        {1, 12288, 2048, 5, 4, 4, true, false, true},   {0, 8192, 2048, 2, 1, 4, true, false, false},
        {2, 12288, 2048, 2, 2, 3, false, false, false}, {3, 8192, 2048, 3, 3, 1, false, false, true},
        {4, 4096, 2048, 3, 3, 1, false, false, true},   {5, 8192, 512, 7, 6, 7, true, true, true},
    };
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.index);
        w->chipItem(row.index)->trigger();
        EXPECT_EQ(w->target().FlashCapacity, row.flash);
        EXPECT_EQ(w->target().EepromCapacity, row.eeprom);
        EXPECT_EQ(w->target().TargetKind, row.flashKind);
        EXPECT_EQ(w->target().WriteDelay, row.writeDelay);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(w->chipItem(i)->isChecked(), i == row.index);
        EXPECT_TRUE(w->radio("RadioFlash")->isChecked());
        EXPECT_FALSE(w->radio("RadioEeprom")->isChecked());
        EXPECT_EQ(w->radio("RadioFlash")->isEnabled(), row.memoryChoice);
        EXPECT_EQ(w->radio("RadioEeprom")->isEnabled(), row.memoryChoice);
        EXPECT_EQ(w->child<QComboBox>("ComboLock89S")->isEnabled(), !row.avrBits);
        EXPECT_EQ(w->button("ButtonLock89S")->isEnabled(), !row.avrBits);
        if (row.avrBits)
            EXPECT_TRUE(allAvrBoxes(&QWidget::isEnabled));
        else
            EXPECT_TRUE(noAvrBoxEnabled());
        // The AVR buttons stay usable whatever the chip.
        EXPECT_TRUE(w->button("ButtonReadFuse")->isEnabled() && w->button("ButtonWriteFuse")->isEnabled()
                    && w->button("ButtonReadLockAvr")->isEnabled() && w->button("ButtonLockAvr")->isEnabled());
        EXPECT_EQ(w->item("menuDiferencial")->isEnabled(), !row.normalForced);
        EXPECT_TRUE(w->item("menuNormal")->isEnabled() && w->item("menuRapida")->isEnabled());
        EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=") + QByteArray::number(row.index) + "\r\n");

        if (row.memoryChoice) {
            w->radio("RadioEeprom")->click();
            EXPECT_EQ(w->target().TargetKind, row.eepromKind);
            w->radio("RadioFlash")->click();
            EXPECT_EQ(w->target().TargetKind, row.flashKind);
        }
    }
    EXPECT_EQ(w->target().FlashPageWords, 32);
    EXPECT_EQ(w->target().EepromWriteDelay, 12);
}

TEST_F(ChipMenu, At89s8252KeepsTheDelayItFindsAndSetsTheRestoreDelay)
{
    w->item("menuAT89S8252")->trigger();
    EXPECT_EQ(w->target().WriteDelay, 0);
    EXPECT_EQ(w->target().RestoreWriteDelay, 3);
    w->item("menuATMEGA8")->trigger();
    w->item("menuAT89S8252")->trigger();
    EXPECT_EQ(w->target().WriteDelay, 7);
}

TEST_F(ChipMenu, EachChipFallsBackToItsOwnWriteDelayAfterAFailedRun)
{
    // After the AT89S8252, whose delay is 3, every chip brings its own.
    const int expected[kChipCount] = {3, 4, 3, 1, 1, 7};
    for (int index : {0, 1, 2, 3, 4, 5, 0}) {
        w->chipItem(index)->trigger();
        EXPECT_EQ(w->target().RestoreWriteDelay, expected[index]) << index;
    }
}

TEST_F(ChipMenu, At89s53AfterAt89s8252KeepsTheEepromSizeButCannotChooseIt)
{
    w->item("menuAT89S8252")->trigger();
    w->radio("RadioEeprom")->click();
    EXPECT_EQ(w->target().TargetKind, 1);
    w->item("menuAT89S53")->trigger();
    EXPECT_EQ(w->target().EepromCapacity, 2048);
    EXPECT_EQ(w->target().TargetKind, 2);
    EXPECT_TRUE(w->radio("RadioFlash")->isChecked());
    EXPECT_FALSE(w->radio("RadioEeprom")->isEnabled());
    w->radio("RadioEeprom")->click();  // a disabled button takes no click
    EXPECT_EQ(w->target().TargetKind, 2);
}

TEST_F(ChipMenu, ReselectingTheAt89s8253ReturnsToFlash)
{
    w->item("menuAT89S8253")->trigger();
    w->radio("RadioEeprom")->click();
    EXPECT_EQ(w->target().TargetKind, 4);
    w->item("menuAT89S8253")->trigger();
    EXPECT_EQ(w->target().TargetKind, 5);
    EXPECT_TRUE(w->radio("RadioFlash")->isChecked());
}

TEST_F(ChipMenu, WriteModesFollowTheChip)
{
    w->item("menuAT89S8252")->trigger();
    w->item("menuDiferencial")->trigger();
    EXPECT_EQ(w->target().WriteMode, 1);
    EXPECT_TRUE(w->item("menuDiferencial")->isChecked());
    EXPECT_FALSE(w->item("menuNormal")->isChecked());

    w->item("menuAT89S53")->trigger();  // keeps Differential
    EXPECT_EQ(w->target().WriteMode, 1);
    EXPECT_TRUE(w->item("menuDiferencial")->isChecked());

    w->item("menuATMEGA8")->trigger();  // switches to Normal
    EXPECT_EQ(w->target().WriteMode, 0);
    EXPECT_TRUE(w->item("menuNormal")->isChecked());
    EXPECT_FALSE(w->item("menuDiferencial")->isChecked());
    EXPECT_FALSE(w->item("menuDiferencial")->isEnabled());
    w->item("menuDiferencial")->trigger();  // disabled: cannot be chosen
    EXPECT_EQ(w->target().WriteMode, 0);

    w->item("menuRapida")->trigger();
    EXPECT_EQ(w->target().WriteMode, 2);
    w->item("menuAT89S8252")->trigger();  // keeps Fast
    EXPECT_EQ(w->target().WriteMode, 2);
    EXPECT_TRUE(w->item("menuRapida")->isChecked());
    w->item("menuAT89S52")->trigger();
    EXPECT_EQ(w->target().WriteMode, 0);
    w->item("menuRapida")->trigger();
    w->item("menuRapida")->trigger();  // a second click keeps the check mark
    EXPECT_TRUE(w->item("menuRapida")->isChecked());
    EXPECT_EQ(w->target().WriteMode, 2);
}

TEST_F(ChipMenu, AvrBoxesKeepTheirChecksOnlyForTheAtmega8)
{
    w->item("menuATMEGA8")->trigger();
    w->fuseBox(3, true)->setChecked(true);
    w->lockBox(0)->setChecked(true);
    w->item("menuATMEGA8")->trigger();
    EXPECT_TRUE(w->fuseBox(3, true)->isChecked());
    EXPECT_TRUE(w->lockBox(0)->isChecked());
    w->item("menuAT89S51")->trigger();
    EXPECT_TRUE(noAvrBoxEnabled());
}

TEST_F(ChipMenu, UnwritableConfigurationIsReportedAndTheSelectionStays)
{
    w->config().setPath(folder.dir.filePath(QStringLiteral("no-such-folder/kestova.ini")));
    w->item("menuAT89S52")->trigger();
    EXPECT_EQ(w->target().TargetKind, 3);
    EXPECT_TRUE(w->chipItem(3)->isChecked());
    ASSERT_EQ(w->messages.size(), 1u);
    EXPECT_EQ(w->messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(w->messages[0].text.contains(QStringLiteral("no-such-folder/kestova.ini")));
}

TEST_F(ChipMenu, LayoutDefaultsBeforeStartUp)
{
    for (QAction* item : w->chipItems())
        EXPECT_FALSE(item->isChecked()) << qPrintable(item->text());
    EXPECT_TRUE(w->item("menuNormal")->isChecked());
    EXPECT_TRUE(w->radio("RadioFlash")->isChecked());
    EXPECT_EQ(w->child<QComboBox>("ComboLock89S")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(w->child<QComboBox>("ComboLock89S")->count(), 4);
    EXPECT_EQ(w->target().TargetKind, 0);
    EXPECT_TRUE(w->fuseBox(5, true)->font().strikeOut());
}

}  // namespace

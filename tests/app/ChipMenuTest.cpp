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

// What the target state has chosen: "s8252 flash", "atmega8 eeprom", or "none".
std::string chosen(const TargetState& target)
{
    if (!target.chip)
        return "none";
    return std::string(target.chip->keyword) + (target.eepromSelected() ? " eeprom" : " flash");
}

struct Expected {
    int index;
    const char* keyword;
    int flash, eeprom, writeDelay;
    bool memoryChoice, avrBits, normalForced;
};

TEST_F(ChipMenu, EveryEntrySetsItsTableRowAndStoresItself)
{
    const Expected rows[] = {
        {1, "s8253", 12288, 2048, 4, true, false, true}, {0, "s8252", 8192, 2048, 4, true, false, false},
        {2, "s53", 12288, 0, 3, false, false, false},    {3, "s52", 8192, 0, 1, false, false, true},
        {4, "s51", 4096, 0, 1, false, false, true},      {5, "atmega8", 8192, 512, 7, true, true, true},
    };
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.index);
        w->chipItem(row.index)->trigger();
        EXPECT_EQ(w->target().capacity(MemoryKind::Flash), row.flash);
        EXPECT_EQ(w->target().capacity(MemoryKind::Eeprom), row.eeprom);
        EXPECT_EQ(chosen(w->target()), std::string(row.keyword) + " flash");
        EXPECT_EQ(w->target().writeDelay, row.writeDelay);
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
        // The AVR buttons look disabled where they would do nothing.
        for (const char* name : {"ButtonReadFuse", "ButtonWriteFuse", "ButtonReadLockAvr", "ButtonLockAvr"})
            EXPECT_EQ(w->button(name)->isEnabled(), row.avrBits) << name;
        EXPECT_EQ(w->item("menuDiferencial")->isEnabled(), !row.normalForced);
        EXPECT_TRUE(w->item("menuNormal")->isEnabled() && w->item("menuRapida")->isEnabled());
        EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=") + QByteArray::number(row.index) + "\r\n");

        if (row.memoryChoice) {
            w->radio("RadioEeprom")->click();
            EXPECT_EQ(chosen(w->target()), std::string(row.keyword) + " eeprom");
            w->radio("RadioFlash")->click();
            EXPECT_EQ(chosen(w->target()), std::string(row.keyword) + " flash");
        }
    }
    EXPECT_EQ(w->target().chip->flash.pageBytes, 64);
    EXPECT_EQ(w->target().chip->eeprom.writeDelay, 12);
}

TEST_F(ChipMenu, At89s8252KeepsTheDelayItFindsAndSetsTheRestoreDelay)
{
    w->item("menuAT89S8252")->trigger();
    EXPECT_EQ(w->target().writeDelay, 0);
    EXPECT_EQ(w->target().restoreWriteDelay, 3);
    w->item("menuATMEGA8")->trigger();
    w->item("menuAT89S8252")->trigger();
    EXPECT_EQ(w->target().writeDelay, 7);
}

TEST_F(ChipMenu, EachChipFallsBackToItsOwnWriteDelayAfterAFailedRun)
{
    // After the AT89S8252, whose delay is 3, every chip brings its own.
    const int expected[6] = {3, 4, 3, 1, 1, 7};
    for (int index : {0, 1, 2, 3, 4, 5, 0}) {
        w->chipItem(index)->trigger();
        EXPECT_EQ(w->target().restoreWriteDelay, expected[index]) << index;
    }
}

TEST_F(ChipMenu, At89s53AfterAt89s8252CannotChooseTheEeprom)
{
    w->item("menuAT89S8252")->trigger();
    w->radio("RadioEeprom")->click();
    EXPECT_EQ(chosen(w->target()), "s8252 eeprom");
    w->item("menuAT89S53")->trigger();
    EXPECT_EQ(chosen(w->target()), "s53 flash");
    EXPECT_TRUE(w->radio("RadioFlash")->isChecked());
    EXPECT_FALSE(w->radio("RadioEeprom")->isEnabled());
    w->radio("RadioEeprom")->click();  // a disabled button takes no click
    EXPECT_EQ(chosen(w->target()), "s53 flash");
}

TEST_F(ChipMenu, ReselectingTheAt89s8253ReturnsToFlash)
{
    w->item("menuAT89S8253")->trigger();
    w->radio("RadioEeprom")->click();
    EXPECT_EQ(chosen(w->target()), "s8253 eeprom");
    w->item("menuAT89S8253")->trigger();
    EXPECT_EQ(chosen(w->target()), "s8253 flash");
    EXPECT_TRUE(w->radio("RadioFlash")->isChecked());
}

TEST_F(ChipMenu, WriteModesFollowTheChip)
{
    w->item("menuAT89S8252")->trigger();
    w->item("menuDiferencial")->trigger();
    EXPECT_EQ(w->target().writeMode, WriteMode::Differential);
    EXPECT_TRUE(w->item("menuDiferencial")->isChecked());
    EXPECT_FALSE(w->item("menuNormal")->isChecked());

    w->item("menuAT89S53")->trigger();  // keeps Differential
    EXPECT_EQ(w->target().writeMode, WriteMode::Differential);
    EXPECT_TRUE(w->item("menuDiferencial")->isChecked());

    w->item("menuATMEGA8")->trigger();  // switches to Normal
    EXPECT_EQ(w->target().writeMode, WriteMode::Normal);
    EXPECT_TRUE(w->item("menuNormal")->isChecked());
    EXPECT_FALSE(w->item("menuDiferencial")->isChecked());
    EXPECT_FALSE(w->item("menuDiferencial")->isEnabled());
    w->item("menuDiferencial")->trigger();  // disabled: cannot be chosen
    EXPECT_EQ(w->target().writeMode, WriteMode::Normal);

    w->item("menuRapida")->trigger();
    EXPECT_EQ(w->target().writeMode, WriteMode::Fast);
    w->item("menuAT89S8252")->trigger();  // keeps Fast
    EXPECT_EQ(w->target().writeMode, WriteMode::Fast);
    EXPECT_TRUE(w->item("menuRapida")->isChecked());
    w->item("menuAT89S52")->trigger();
    EXPECT_EQ(w->target().writeMode, WriteMode::Normal);
    w->item("menuRapida")->trigger();
    w->item("menuRapida")->trigger();  // a second click keeps the check mark
    EXPECT_TRUE(w->item("menuRapida")->isChecked());
    EXPECT_EQ(w->target().writeMode, WriteMode::Fast);
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
    EXPECT_EQ(chosen(w->target()), "s52 flash");
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
    EXPECT_EQ(chosen(w->target()), "none");
    EXPECT_TRUE(w->fuseBox(5, true)->font().strikeOut());
}

}  // namespace

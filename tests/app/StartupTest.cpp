// Start-up: configuration, stored chip and port, captions, the command line.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include "view/Strings.h"
#include "target/ChipCatalogue.h"
#include "tests/app/TestWindow.h"

namespace {

struct Startup : ::testing::Test {
    InstallFolder folder;
    std::shared_ptr<TestWindow::Cable> cable = std::make_shared<TestWindow::Cable>();
    std::unique_ptr<TestWindow> window;

    TestWindow& start(const QStringList& arguments = {})
    {
        window = std::make_unique<TestWindow>(folder.executable(), cable);
        window->start(arguments);
        return *window;
    }
    QString existingFile()
    {
        const QString path = folder.dir.filePath(QStringLiteral("image.bin"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("\x01\x02", 2);
        return path;
    }
};

TEST_F(Startup, WithoutIniSelectsTheAt89s8252AndOpensNoPort)
{
    TestWindow& w = start();
    EXPECT_EQ(w.target().chip, chipForKeyword(QStringLiteral("s8252")));
    EXPECT_FALSE(w.target().eepromSelected());
    EXPECT_EQ(w.target().capacity(MemoryKind::Flash), 8192);
    EXPECT_EQ(w.target().capacity(MemoryKind::Eeprom), 2048);
    EXPECT_EQ(w.target().writeDelay, 0);
    EXPECT_EQ(w.target().restoreWriteDelay, 3);
    EXPECT_EQ(w.link().clockDelay(), 5);
    EXPECT_EQ(w.target().writeMode, WriteMode::Normal);
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=0\r\n"));

    // No COM1 on a system that has none: nothing is tried, no error box, and the
    // window says where a port is chosen.
    EXPECT_TRUE(cable->opened.isEmpty());
    EXPECT_FALSE(w.link().isOpen());
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.panelText(0), QStringLiteral("Ready"));
    EXPECT_EQ(w.panelText(2), QStringLiteral("No port chosen"));
    EXPECT_TRUE(w.child<StatusPanel>(QStringLiteral("StatusPanel2"))->toolTip().contains(QLatin1String("Port menu")));
    EXPECT_TRUE(w.button("ButtonWrite")->toolTip().contains(QLatin1String("Port menu")));

    // Once a port is open the hints go.
    w.showPort(QStringLiteral("ttyUSB0"));
    EXPECT_EQ(w.panelText(2), QStringLiteral("ttyUSB0"));
}

TEST_F(Startup, StoredPortIsOpenedAtItsIdleLevels)
{
    folder.storePort();
    TestWindow& w = start();
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("COM1")});
    ASSERT_TRUE(w.link().isOpen());
    EXPECT_TRUE(cable->lines->dtr);  // the cable's idle levels
    EXPECT_TRUE(cable->lines->rts);
    EXPECT_EQ(w.panelText(2), QStringLiteral("COM1"));
    EXPECT_TRUE(w.button("ButtonWrite")->toolTip().isEmpty());
    EXPECT_TRUE(w.messages.empty());
}

TEST_F(Startup, StoredChipAndPortAreRestored)
{
    folder.writeIni("[CONFIG]\r\nCHIP=5\r\nPORTA=/dev/ttyUSB1\r\n");
    cable->ports = {QStringLiteral("/dev/ttyUSB1")};
    TestWindow& w = start();
    EXPECT_EQ(w.target().chip, chipForKeyword(QStringLiteral("atmega8")));
    EXPECT_FALSE(w.target().eepromSelected());
    EXPECT_TRUE(w.chipItem(5)->isChecked());
    EXPECT_FALSE(w.chipItem(0)->isChecked());
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("/dev/ttyUSB1")});
    EXPECT_EQ(w.panelText(2), QStringLiteral("/dev/ttyUSB1"));
}

TEST_F(Startup, StoredChipOutsideTheTableSelectsNothing)
{
    for (const char* stored : {"7", "-1", "99"}) {
        folder.writeIni(QByteArray("[CONFIG]\r\nCHIP=") + stored + "\r\n");
        TestWindow& w = start();
        EXPECT_EQ(w.target().chip, nullptr) << stored;
        for (QAction* item : w.chipItems())
            EXPECT_FALSE(item->isChecked()) << stored << " " << qPrintable(item->text());
        EXPECT_EQ(w.target().capacity(MemoryKind::Flash), 0);
        EXPECT_EQ(w.target().capacity(MemoryKind::Eeprom), 0);
        EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=") + stored + "\r\n");  // not rewritten
        EXPECT_EQ(w.panelText(0), QStringLiteral("Ready"));
    }
}

TEST_F(Startup, PortThatDoesNotOpenIsReportedAndStartUpGoesOn)
{
    folder.storePort();
    cable->ports.clear();
    TestWindow& w = start();
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(w.messages[0].caption, QStringLiteral("Kestova"));
    const QStringList lines = w.messages[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Cannot open serial port. Use the \"port\" menu to choose another"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("COM1")));  // the reason names the port
    EXPECT_FALSE(w.link().isOpen());
    EXPECT_EQ(w.panelText(0), QStringLiteral("Ready"));
    EXPECT_TRUE(w.panelText(2).isEmpty());
}

// The captions, read without their Alt mnemonics.
TEST_F(Startup, CaptionsAreReplacedByTheEnglishTexts)
{
    TestWindow& w = start();
    for (QPushButton* button : w.findChildren<QPushButton*>())
        button->setText(button->text().remove(QLatin1Char('&')));
    for (QAction* action : w.findChildren<QAction*>())
        action->setText(action->text().remove(QLatin1Char('&')));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kestova"));
    EXPECT_EQ(w.child<QLabel>("LabelTitle")->text(), QStringLiteral("Kestova"));
    EXPECT_EQ(w.button("ButtonWrite")->text(), QStringLiteral("Write"));
    EXPECT_EQ(w.button("ButtonRead")->text(), QStringLiteral("Read"));
    EXPECT_EQ(w.button("ButtonCompare")->text(), QStringLiteral("Compare"));
    EXPECT_EQ(w.button("ButtonErase")->text(), QStringLiteral("Erase"));
    EXPECT_EQ(w.button("ButtonLock89S")->text(), QStringLiteral("Lock"));
    EXPECT_EQ(w.button("ButtonWriteFuse")->text(), QStringLiteral("Write"));
    EXPECT_EQ(w.button("ButtonReadFuse")->text(), QStringLiteral("Read"));
    EXPECT_EQ(w.button("ButtonReadLockAvr")->text(), QStringLiteral("Read"));
    EXPECT_EQ(w.button("ButtonLockAvr")->text(), QStringLiteral("Lock"));
    EXPECT_EQ(w.button("ButtonExit")->text(), QStringLiteral("Exit"));
    EXPECT_EQ(w.button("ButtonHelp")->text(), QStringLiteral("Help"));
    EXPECT_EQ(w.button("ButtonCancel")->text(), QStringLiteral("C"));
    EXPECT_EQ(w.button("ButtonCancel")->toolTip(), QStringLiteral("Reding/Writing interrupt"));
    EXPECT_EQ(w.menu("MenuChip")->title(), QStringLiteral("Chip"));
    EXPECT_EQ(w.menu("MenuWriteMode")->title(), QStringLiteral("Write Mode"));
    EXPECT_EQ(w.menu("MenuTools")->title(), QStringLiteral("Tools"));
    EXPECT_EQ(w.menu("MenuPort")->title(), QStringLiteral("Port"));
    EXPECT_EQ(w.menu("MenuHelp")->title(), QStringLiteral("Help"));
    QStringList items;
    for (const char* menu : {"MenuWriteMode", "MenuTools", "MenuPort", "MenuHelp"})
        for (QAction* a : w.menu(menu)->actions())
            items << a->text();
    EXPECT_EQ(items,
              (QStringList{"Normal", "Diferential", "Fast", "HEX -> BIN converter", "BIN -> HEX converter",
                           "Hex editor", "Choose serial port", "Help", "Schematic", "About..."}));
    QStringList chips;
    for (QAction* a : w.menu("MenuChip")->actions())
        chips << a->text();
    EXPECT_EQ(chips,
              (QStringList{"AT89S8252 (8K)", "AT89S8253 (12K)", "AT89S53 (12K)", "AT89S52 (8K)", "AT89S51 (4K)",
                           "ATMEGA8/85X5 (8K)", "More chips", "", "Detect..."}));
}

TEST_F(Startup, KeywordSelectsAndStoresTheChipWithoutARun)
{
    window = std::make_unique<TestWindow>(folder.executable(), cable);
    QSignalSpy writeClicks(window->button("ButtonWrite"), &QPushButton::clicked);
    window->start({QStringLiteral("s52")});
    EXPECT_EQ(window->target().chip, chipForKeyword(QStringLiteral("s52")));
    EXPECT_EQ(window->target().capacity(MemoryKind::Flash), 8192);
    EXPECT_TRUE(window->chipItem(3)->isChecked());
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=3\r\n"));
    EXPECT_EQ(writeClicks.count(), 0);
    EXPECT_TRUE(window->autoRunFile().isEmpty());
    EXPECT_TRUE(window->messages.empty());
}

TEST_F(Startup, KeywordsInAnyCaseSelectTheirChipAndTheWarningStartsTheRun)
{
    folder.writeIni("[CONFIG]\r\nCHIP=4\r\n");
    const QString file = existingFile();
    window = std::make_unique<TestWindow>(folder.executable(), cable);
    QSignalSpy writeClicks(window->button("ButtonWrite"), &QPushButton::clicked);
    window->start({QStringLiteral("S53"), file});

    EXPECT_EQ(window->target().chip, chipForKeyword(QStringLiteral("s53")));
    EXPECT_TRUE(window->messages.empty());
    ASSERT_EQ(window->questions.size(), 1u);
    EXPECT_EQ(window->questions[0].icon, MessageIcon::Warning);
    EXPECT_EQ(window->questions[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(window->questions[0].text, QStringLiteral("Pulse microcontroller reset swith and press OK"));
    EXPECT_EQ(writeClicks.count(), 1);
    // Nothing answers on this cable: the run ended at the sync, without a dialog.
    EXPECT_EQ(window->panelText(0), QStringLiteral("Communication error"));
    EXPECT_TRUE(window->openFilters.isEmpty());
}

TEST_F(Startup, CancelOnTheWarningTouchesNothingAndKeepsTheFileChosen)
{
    folder.storePort();
    const QString file = existingFile();
    window = std::make_unique<TestWindow>(folder.executable(), cable);
    QSignalSpy writeClicks(window->button("ButtonWrite"), &QPushButton::clicked);
    window->questionAnswers << false;  // Cancel, Escape or the close box
    window->start({QStringLiteral("s52"), file});

    EXPECT_EQ(writeClicks.count(), 0);
    // The idle levels of the start-up, and not one line call after them.
    EXPECT_EQ(cable->lines->events, (std::vector<std::string>{"DTR+", "RTS+"}));
    EXPECT_EQ(window->autoRunFile(), QFileInfo(file).absoluteFilePath());
    EXPECT_EQ(window->panelText(0), QStringLiteral("Nothing written"));
    EXPECT_TRUE(window->runPanelText().contains(QFileInfo(file).fileName()));
    EXPECT_TRUE(window->child<QLabel>(QStringLiteral("LabelChosenFile"))->text().contains(QFileInfo(file).fileName()));
}

TEST_F(Startup, UnknownKeywordShowsTheUsageNamingItAndRunsNothing)
{
    folder.writeIni("[CONFIG]\r\nCHIP=4\r\n");
    const QString file = existingFile();
    window = std::make_unique<TestWindow>(folder.executable(), cable);
    QSignalSpy writeClicks(window->button("ButtonWrite"), &QPushButton::clicked);
    window->start({QStringLiteral("s99"), file});

    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_EQ(window->messages[0].icon, MessageIcon::None);
    // The usage text as it always was, then the word that was not known.
    EXPECT_TRUE(window->messages[0].text.startsWith(
        QStringLiteral("Parameters utilization:\r\n\r\nkestova [chip] [file]\r\n\r\n"
                       "-> CHIP = s8252, s8253, s53, s52, s51 or atmega8\r\n"
                       "-> FILE = File to be written. (writting will auto-start)\r\n")));
    EXPECT_TRUE(window->messages[0].text.endsWith(QStringLiteral("\"s99\"")));
    EXPECT_TRUE(window->questions.empty());
    EXPECT_EQ(writeClicks.count(), 0);
    EXPECT_EQ(window->target().chip, chipForKeyword(QStringLiteral("s51")));
    EXPECT_TRUE(window->autoRunFile().isEmpty());
}

TEST_F(Startup, MissingFileArgumentIsNamedAndNothingRuns)
{
    for (const QString& second : {folder.dir.filePath(QStringLiteral("absent.bin")), folder.dir.path()}) {
        window = std::make_unique<TestWindow>(folder.executable(), cable);
        QSignalSpy writeClicks(window->button("ButtonWrite"), &QPushButton::clicked);
        window->start({QStringLiteral("atmega8"), second});
        EXPECT_EQ(window->target().chip, chipForKeyword(QStringLiteral("atmega8")));
        ASSERT_EQ(window->messages.size(), 1u);
        EXPECT_EQ(window->messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(window->messages[0].text.contains(QDir::toNativeSeparators(second)));
        EXPECT_TRUE(window->questions.empty());
        EXPECT_EQ(writeClicks.count(), 0);
        EXPECT_TRUE(window->autoRunFile().isEmpty());
    }
    window = std::make_unique<TestWindow>(folder.executable(), cable);
    window->start({QStringLiteral("atmega8"), QString()});
    EXPECT_TRUE(window->messages.empty()) << "an empty second argument says nothing";
}

TEST_F(Startup, OpenOptionOnlyChoosesTheFile)
{
    folder.storePort();
    const QString file = existingFile();
    window = std::make_unique<TestWindow>(folder.executable(), cable);
    QSignalSpy writeClicks(window->button("ButtonWrite"), &QPushButton::clicked);
    window->start({QStringLiteral("--open"), file});
    EXPECT_EQ(writeClicks.count(), 0);
    EXPECT_TRUE(window->questions.empty()) << "no Warning box";
    EXPECT_EQ(cable->lines->events, (std::vector<std::string>{"DTR+", "RTS+"}));
    EXPECT_EQ(window->autoRunFile(), QFileInfo(file).absoluteFilePath());
    const QString shown = window->child<QLabel>(QStringLiteral("LabelChosenFile"))->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("image.bin"))) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("2 bytes"))) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("binary"))) << qPrintable(shown);
}

TEST(UsageMessage, UsesTheExecutablesOwnFileName)
{
    EXPECT_TRUE(MainWindow::usageMessage(QStringLiteral("Kestova.exe"))
                    .startsWith(QStringLiteral("Parameters utilization:\r\n\r\nKestova.exe [chip] [file]\r\n")));
}

}  // namespace

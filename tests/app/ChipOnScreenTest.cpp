// The chip on screen and runs that report: the summary and the time left in the
// status bar, Compare naming where the chip differs and opening it there in the hex
// editor, Read to editor, Chip > Detect, and the keys that reach all of it.
#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include "app/HexEditorWindow.h"
#include "app/HexView.h"
#include "target/ChipCatalogue.h"
#include "tests/app/SimWindow.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ScratchFiles.h"
#include "view/Strings.h"

namespace {

class ChipOnScreen : public SimWindow {
protected:
    void SetUp() override
    {
        SimWindow::SetUp();
        editor_ = std::make_unique<HexEditorWindow>();
    }
    std::unique_ptr<TestWindow> open(int chip, const char* port)
    {
        auto w = openWindow(chip, QLatin1String(port));
        w->setWindows({nullptr, nullptr, editor_.get(), nullptr});
        return w;
    }
    QString makeFile(const QByteArray& bytes)
    {
        const QString path = simDir_.filePath(QStringLiteral("image.bin"));
        EXPECT_TRUE(writeAll(path, bytes));
        return path;
    }
    HexView& view() const { return *editor_->findChild<HexView*>(); }

    std::unique_ptr<HexEditorWindow> editor_;
};

TEST_F(ChipOnScreen, ARunShowsItsTimeWhileItGoesAndItsSummaryAtTheEnd)
{
    auto w = open(5, "SIM:atmega8");
    QString during;
    w->onEvents = [&] {
        if (w->progressDone > 300 && during.isEmpty() && w->runPanelText().contains(QStringLiteral("left")))
            during = w->runPanelText();
    };
    w->openAnswers << makeFile(QByteArray(1000, '\x5A'));
    w->button("ButtonWrite")->click();
    EXPECT_TRUE(during.contains(QStringLiteral(" elapsed, about "))) << qPrintable(during);
    const QString summary = w->runPanelText();
    EXPECT_TRUE(summary.contains(QStringLiteral(" bytes written and verified in "))) << qPrintable(summary);
    EXPECT_TRUE(summary.endsWith(QStringLiteral(" s at ClockDelay 5 µs"))) << qPrintable(summary);
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));

    // The next operation starts with none of this run's values.
    QString atStart = QStringLiteral("unset");
    w->onEvents = [&] {
        if (atStart == QLatin1String("unset"))
            atStart = w->panelText(1) + w->runPanelText();
    };
    w->saveAnswers << simDir_.filePath(QStringLiteral("read.bin"));
    w->button("ButtonRead")->click();
    EXPECT_FALSE(atStart.contains(QStringLiteral("written"))) << qPrintable(atStart);
    EXPECT_TRUE(w->runPanelText().startsWith(QStringLiteral("8192 bytes read in "))) << qPrintable(w->runPanelText());
}

TEST_F(ChipOnScreen, CompareNamesTheFirstDifferenceAndOpensTheChipThere)
{
    auto w = open(5, "SIM:atmega8");
    std::fill(chipOf(*w).flash.begin(), chipOf(*w).flash.begin() + 0x100, uint8_t{0x0C});
    chipOf(*w).flash[0x40] = 0xFF;
    w->openAnswers << makeFile(QByteArray(0x100, '\x0C'));
    w->questionAnswers << true;
    w->button("ButtonCompare")->click();

    EXPECT_EQ(w->panelText(1), QStringLiteral("1 different bytes"));
    EXPECT_TRUE(w->runPanelText().endsWith(QStringLiteral("first difference at 0x0040: chip FF, file 0C")))
        << qPrintable(w->runPanelText());
    ASSERT_EQ(w->questions.size(), 1u);
    EXPECT_TRUE(w->questions[0].text.contains(QStringLiteral("0x0040")));
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_EQ(view().caretPosition(), 0x40);
    EXPECT_EQ(view().buffer().size(), 0x100);
    EXPECT_TRUE(editor_->windowTitle().startsWith(QStringLiteral("ATmega8 flash, read ")))
        << qPrintable(editor_->windowTitle());

    // Identical data: nothing to offer.
    chipOf(*w).flash[0x40] = 0x0C;
    w->button("ButtonCompare")->click();
    EXPECT_EQ(w->questions.size(), 1u);
}

TEST_F(ChipOnScreen, ReadToEditorShowsTheSelectedMemory)
{
    auto w = open(1, "SIM:s8253");
    chipOf(*w).eeprom[3] = 0xA5;
    w->radio("RadioEeprom")->click();
    w->item("menuReadToEditor")->trigger();
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    ASSERT_EQ(view().buffer().size(), 2048);
    EXPECT_EQ(static_cast<uint8_t>(view().buffer().mid(3, 1).at(0)), 0xA5);
    EXPECT_TRUE(editor_->windowTitle().startsWith(QStringLiteral("AT89S8253 EEPROM, read ")))
        << qPrintable(editor_->windowTitle());
    EXPECT_FALSE(view().isModified());
}

TEST_F(ChipOnScreen, DetectNamesTheChipAndOffersToSelectIt)
{
    auto w = open(0, "SIM:atmega8");
    w->questionAnswers << true;
    w->item("menuDetect")->trigger();
    ASSERT_EQ(w->questions.size(), 1u);
    EXPECT_TRUE(w->questions[0].text.startsWith(QStringLiteral("Found ATmega8 (1E 93 07) at ClockDelay 5 µs.")))
        << qPrintable(w->questions[0].text);
    EXPECT_TRUE(w->questions[0].text.contains(QStringLiteral("Select the ATMEGA8/85X5 (8K)")));
    EXPECT_EQ(w->target().chip, chipForKeyword(QStringLiteral("atmega8")));
    EXPECT_TRUE(folder_.iniText().contains("CHIP=5"));

    // Asked again, it is the chip selected: nothing to offer.
    w->item("menuDetect")->trigger();
    EXPECT_EQ(w->questions.size(), 1u);
    ASSERT_EQ(w->messages.size(), 1u);
    EXPECT_TRUE(w->messages[0].text.endsWith(QStringLiteral("It is the chip selected.")));

    // An empty socket answers nothing.
    auto empty = open(0, "SIM:none");
    empty->item("menuDetect")->trigger();
    EXPECT_TRUE(empty->questions.empty());
    ASSERT_EQ(empty->messages.size(), 1u);
    EXPECT_EQ(empty->target().chip, chipForKeyword(QStringLiteral("s8252")));
}

TEST_F(ChipOnScreen, TheKeysUsersExpectReachTheCommands)
{
    auto w = open(5, "SIM:atmega8");
    const auto key = [&](const char* item) { return w->item(item)->shortcut(); };
    EXPECT_EQ(key("menuHelpItem"), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(key("menuExit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(key("menuChooseFile"), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(key("menuWrite"), QKeySequence(Qt::CTRL | Qt::Key_W));
    EXPECT_EQ(key("menuRead"), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(key("menuErase"), QKeySequence(Qt::CTRL | Qt::Key_E));
    EXPECT_EQ(key("menuCancelRun"), QKeySequence(Qt::Key_Escape));
    // Every button and menu has its Alt letter.
    for (QPushButton* button : w->findChildren<QPushButton*>()) {
        if (button->objectName() != QLatin1String("ButtonCancel") && !button->text().isEmpty()) {
            EXPECT_TRUE(button->text().contains(QLatin1Char('&'))) << qPrintable(button->objectName());
        }
    }
    for (QAction* entry : w->menuBar()->actions())
        EXPECT_TRUE(entry->text().contains(QLatin1Char('&'))) << qPrintable(entry->text());

    // Esc during a run cancels it; idle it does nothing.
    w->item("menuCancelRun")->trigger();
    EXPECT_FALSE(w->cancelRequested());
    w->onEvents = [&] {
        if (w->progressDone == 40)
            w->item("menuCancelRun")->trigger();
    };
    w->openAnswers << testDataPath(QStringLiteral("avr-atmega8.hex"));
    w->item("menuWrite")->trigger();
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kCancelled));
}

}  // namespace

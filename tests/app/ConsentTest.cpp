// Nothing changes a chip without the user's consent: Erase asks first and names what
// goes, a close during a write or erase asks whether to stop it, and while a run
// goes nothing can change the port, the chip, the memory or the mode under it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "app/PortDialog.h"
#include "tests/app/SimWindow.h"
#include "tests/support/TestPaths.h"
#include "view/Strings.h"

namespace {

class Consent : public SimWindow {
protected:
    static void write(TestWindow& w, const QString& file)
    {
        w.openAnswers << file;
        w.button("ButtonWrite")->click();
    }
    static QString atmega8Hex() { return testDataPath(QStringLiteral("avr-atmega8.hex")); }
};

TEST_F(Consent, EraseAsksFirstAndNoChangesNothing)
{
    auto w = openWindow(5, QStringLiteral("SIM:atmega8"));
    chipOf(*w).flash[100] = 0x12;
    chipOf(*w).eeprom[7] = 0x34;
    w->questionAnswers << false;
    w->item("menuErase")->trigger();  // Ctrl+E

    ASSERT_EQ(w->questions.size(), 1u);
    const QString question = w->questions[0].text;
    EXPECT_EQ(w->questions[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(question.startsWith(QStringLiteral("Erase the ATmega8?"))) << qPrintable(question);
    EXPECT_TRUE(question.contains(QStringLiteral("the flash"))) << qPrintable(question);
    EXPECT_TRUE(question.contains(QStringLiteral("the lock bits"))) << qPrintable(question);
    // The fuses were not read: it cannot know whether EESAVE keeps the EEPROM, and says so.
    EXPECT_TRUE(question.contains(QStringLiteral("unless the EESAVE fuse keeps it"))) << qPrintable(question);
    EXPECT_TRUE(question.contains(QStringLiteral("not been read"))) << qPrintable(question);
    EXPECT_EQ(chipOf(*w).flash[100], 0x12);
    EXPECT_FALSE(w->statusHistory.contains(QLatin1String(Str::kErased)));

    // Fuses read, EESAVE programmed: the question says the EEPROM stays, and it does.
    chipOf(*w).highFuse = 0xD9 & ~0x08;
    w->button("ButtonReadFuse")->click();
    w->questionAnswers << true;
    w->button("ButtonErase")->click();
    ASSERT_EQ(w->questions.size(), 2u);
    EXPECT_TRUE(w->questions[1].text.contains(QStringLiteral("The EEPROM stays: the EESAVE fuse is programmed.")))
        << qPrintable(w->questions[1].text);
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kErased));
    EXPECT_EQ(chipOf(*w).flash[100], 0xFF);
    EXPECT_EQ(chipOf(*w).eeprom[7], 0x34);
}

TEST_F(Consent, EraseOfAChipWithoutEesaveNamesItsEeprom)
{
    auto w = openWindow(0, QStringLiteral("SIM:s8252"));
    w->questionAnswers << false;
    w->button("ButtonErase")->click();
    ASSERT_EQ(w->questions.size(), 1u);
    EXPECT_TRUE(w->questions[0].text.startsWith(QStringLiteral("Erase the AT89S8252?")));
    EXPECT_TRUE(w->questions[0].text.contains(QStringLiteral("the EEPROM (")));
    EXPECT_FALSE(w->questions[0].text.contains(QStringLiteral("EESAVE")));
}

TEST_F(Consent, CloseDuringAWriteAsksAndNoLetsTheRunGoOn)
{
    auto w = openWindow(5, QStringLiteral("SIM:atmega8"));
    w->show();
    bool asked = false;
    w->questionAnswers << false;
    w->onEvents = [&] {
        if (w->progressDone == 10 && !asked) {
            asked = true;
            w->close();
        }
    };
    write(*w, atmega8Hex());
    ASSERT_EQ(w->questions.size(), 1u);
    EXPECT_TRUE(w->questions[0].text.contains(QStringLiteral("part-written")));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->closeTimer()->isActive());
    EXPECT_NE(chipOf(*w).flash[100], 0xFF) << "written to its end";
}

TEST_F(Consent, CloseDuringAWriteAnsweredYesStopsItAndSaysCancelled)
{
    auto w = openWindow(5, QStringLiteral("SIM:atmega8"));
    w->show();
    bool asked = false;
    w->questionAnswers << true;
    w->onEvents = [&] {
        if (w->progressDone == 10 && !asked) {
            asked = true;
            w->close();
        }
    };
    write(*w, atmega8Hex());
    EXPECT_EQ(w->questions.size(), 1u);
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kCancelled));
    EXPECT_FALSE(w->statusHistory.contains(QLatin1String(Str::kDone)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 2000));
}

TEST_F(Consent, WhileARunGoesNothingChangesThePortTheChipTheMemoryOrTheMode)
{
    auto w = openWindow(5, QStringLiteral("SIM:atmega8"));
    PortDialog dialog(w->config(), w->link(), *w, w.get(), [] { return QStringList{QStringLiteral("ttyS0")}; });
    w->setWindows({nullptr, nullptr, nullptr, &dialog});
    dialog.showPortChoice();
    QStringList enabledDuringRun;
    bool tried = false;
    w->onEvents = [&] {
        if (w->progressDone != 20 || tried)
            return;
        tried = true;
        for (QAction* a : w->chipItems())
            if (!a->isSeparator() && a->isEnabled())
                enabledDuringRun << a->text();
        for (const char* name : {"menuChoosePort", "menuNormal", "menuRapida", "menuDiferencial", "menuWrite",
                                 "menuErase", "menuChooseFile"})
            if (w->item(name)->isEnabled())
                enabledDuringRun << QLatin1String(name);
        for (const char* name :
             {"ButtonWrite", "ButtonRead", "ButtonCompare", "ButtonErase", "ButtonReadFuse", "ButtonLockAvr"})
            if (w->button(name)->isEnabled())
                enabledDuringRun << QLatin1String(name);
        if (w->radio("RadioEeprom")->isEnabled() || dialog.isEnabled())
            enabledDuringRun << QStringLiteral("memory or port");
        // What a queued click would do: nothing.
        w->chipItem(0)->trigger();
        w->radio("RadioEeprom")->click();
        w->item("menuRapida")->trigger();
        dialog.findChild<QComboBox*>()->setEditText(QStringLiteral("SIM:s52"));
        dialog.accept();
    };
    write(*w, atmega8Hex());
    EXPECT_TRUE(tried);
    EXPECT_TRUE(enabledDuringRun.isEmpty()) << qPrintable(enabledDuringRun.join(u' '));
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_EQ(w->target().chip->keyword, std::string_view("atmega8"));
    EXPECT_FALSE(w->target().eepromSelected());
    EXPECT_EQ(w->target().writeMode, WriteMode::Normal);
    EXPECT_EQ(w->link().portName(), QStringLiteral("SIM:atmega8"));
    // Usable again once it has ended.
    EXPECT_TRUE(w->button("ButtonWrite")->isEnabled());
    EXPECT_TRUE(w->radio("RadioEeprom")->isEnabled());
    EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(Consent, CancelDuringAWriteSaysCancelledNeverDone)
{
    auto w = openWindow(3, QStringLiteral("SIM:s52"));
    w->onEvents = [&] {
        if (w->progressDone == 30)
            w->button("ButtonCancel")->click();
    };
    write(*w, atmega8Hex());
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kCancelled));
    EXPECT_FALSE(w->statusHistory.contains(QLatin1String(Str::kDone)));
    EXPECT_TRUE(w->runPanelText().startsWith(QStringLiteral("30 of "))) << qPrintable(w->runPanelText());
}

}  // namespace

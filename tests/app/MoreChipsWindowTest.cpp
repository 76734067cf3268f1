// The window with the AVRs after the first six chips: the "More chips" submenu and
// its one check mark, the PART key beside CHIP, each chip's own fuse and lock boxes
// with its bit names and the line of bytes, and the question before a fuse write that
// would end in-system programming.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>

#include "target/ChipCatalogue.h"
#include "tests/app/SimWindow.h"
#include "view/Strings.h"

namespace {

QCheckBox* fuseBox(const TestWindow& w, FuseByte byte, int bit)
{
    const char suffix = byte == FuseByte::Low ? 'l' : byte == FuseByte::High ? 'h' : 'e';
    return w.child<QCheckBox>(QStringLiteral("CheckboxFuse%1%2").arg(bit).arg(QLatin1Char(suffix)));
}

QString label(const TestWindow& w, const char* name) { return w.child<QLabel>(QLatin1String(name))->text(); }

struct MoreChipsMenu : ::testing::Test {
    InstallFolder folder;
    std::unique_ptr<TestWindow> started(const QByteArray& ini)
    {
        folder.writeIni(ini);
        auto w = std::make_unique<TestWindow>(folder.executable(), std::make_shared<TestWindow::Cable>());
        w->start({});
        return w;
    }
    static QList<QAction*> checked(const TestWindow& w)
    {
        QList<QAction*> items = w.menu("MenuChip")->actions() + w.menu("MenuMoreChips")->actions();
        items.removeIf([](QAction* item) { return !item->isChecked(); });
        return items;
    }
};

TEST_F(MoreChipsMenu, TheSixStayInTheirOrderAndTheOthersFollowInASubmenuWithOneCheckMark)
{
    auto w = started("[CONFIG]\r\nCHIP=5\r\n");
    const QList<QAction*> top = w->menu("MenuChip")->actions();
    ASSERT_EQ(top.size(), 9) << "the six, More chips, a separator and Detect";
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(top[i]->text(), QLatin1String(chipAt(i)->caption));
    EXPECT_EQ(top[6]->menu(), w->menu("MenuMoreChips"));
    EXPECT_EQ(top[6]->text().remove(QLatin1Char('&')), QLatin1String(Str::kMenuMoreChips));
    const QList<QAction*> more = w->menu("MenuMoreChips")->actions();
    ASSERT_EQ(more.size(), chipCount() - 6);
    for (int i = 6; i < chipCount(); ++i)
        EXPECT_EQ(more[i - 6]->text(), QLatin1String(chipAt(i)->caption));

    w->item("menuATMEGA328P")->trigger();
    EXPECT_EQ(checked(*w), QList<QAction*>{w->item("menuATMEGA328P")});
    EXPECT_EQ(w->target().chip, chipForKeyword(QStringLiteral("atmega328p")));
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=5\r\nPART=atmega328p\r\n"))
        << "CHIP kept for older readers";
    w->item("menuATTINY13")->trigger();
    EXPECT_EQ(checked(*w), QList<QAction*>{w->item("menuATTINY13")});
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=5\r\nPART=attiny13\r\n"));
    EXPECT_TRUE(w->radio("RadioEeprom")->isEnabled());
    EXPECT_FALSE(w->item("menuDiferencial")->isEnabled());

    w->item("menuAT89S52")->trigger();
    EXPECT_EQ(checked(*w), QList<QAction*>{w->item("menuAT89S52")});
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=3\r\n")) << "one of the six removes PART";
}

TEST_F(MoreChipsMenu, PartWinsOverChipWhenItNamesAChipAndOnlyThen)
{
    EXPECT_EQ(started("[CONFIG]\r\nCHIP=2\r\nPART=attiny85\r\n")->target().chip,
              chipForKeyword(QStringLiteral("attiny85")));
    auto w = started("[CONFIG]\r\nCHIP=2\r\nPART=M328P\r\n");
    EXPECT_EQ(w->target().chip, chipForKeyword(QStringLiteral("atmega328p"))) << "any name --chip takes";
    EXPECT_TRUE(w->item("menuATMEGA328P")->isChecked());
    EXPECT_EQ(started("[CONFIG]\r\nCHIP=2\r\nPART=atmega2560\r\n")->target().chip, chipAt(2)) << "an unknown PART";
    EXPECT_EQ(started("[CONFIG]\r\nCHIP=7\r\n")->target().chip, nullptr) << "CHIP stays 0..5";
}

TEST(MoreChipsGroups, EachAvrShowsItsOwnFuseBitsByNameAndHidesTheOthers)
{
    InstallFolder folder;
    TestWindow w(folder.executable(), std::make_shared<TestWindow::Cable>());
    w.config().setPath(folder.ini());
    for (int index = 5; index < chipCount(); ++index) {
        const ChipEntry& chip = *chipAt(index);
        SCOPED_TRACE(chip.keyword);
        w.child<QAction>(index == 5 ? QStringLiteral("menuATMEGA8")
                                    : QStringLiteral("menu") + QString::fromLatin1(chip.keyword).toUpper())
            ->trigger();
        for (FuseByte byte : {FuseByte::Low, FuseByte::High, FuseByte::Extended}) {
            const ConfigByte& fuse = chip.fuse(byte);
            for (int bit = 0; bit < 8; ++bit) {
                QCheckBox* box = fuseBox(w, byte, bit);
                const char* name = fuse.exists() ? fuse.names[size_t(bit)] : nullptr;
                EXPECT_EQ(!box->isHidden(), name != nullptr) << int(byte) << "." << bit;
                if (name) {
                    EXPECT_EQ(box->text(), QStringLiteral("%1 (%2)").arg(QLatin1String(name)).arg(bit));
                    EXPECT_TRUE(box->isEnabled());
                    const bool spien = qstrcmp(name, "SPIEN") == 0;
                    EXPECT_EQ(box->font().strikeOut(), spien) << name;
                    const bool resetPin = QByteArray(name).startsWith("RSTDISBL") || qstrcmp(name, "DWEN") == 0;
                    EXPECT_EQ(box->toolTip().isEmpty(), !spien && !resetPin) << name;
                }
            }
        }
        for (int bit = 0; bit < 6; ++bit)
            EXPECT_EQ(!w.lockBox(bit)->isHidden(), ((chip.lock.bits >> bit) & 1) != 0) << bit;

        // The boxes and the line of bytes say the same, a checked box a programmed bit.
        const bool extended = chip.fuse(FuseByte::Extended).exists();
        EXPECT_EQ(label(w, "LabelFuseBytes"),
                  extended ? QStringLiteral("low FF   high FF   ext FF") : QStringLiteral("low FF   high FF"));
        fuseBox(w, FuseByte::Low, 0)->click();
        if (extended)
            fuseBox(w, FuseByte::Extended, 0)->click();
        EXPECT_EQ(label(w, "LabelFuseBytes"),
                  extended ? QStringLiteral("low FE   high FF   ext FE") : QStringLiteral("low FE   high FF"));
        w.lockBox(1)->click();
        EXPECT_EQ(label(w, "LabelLockByte"), QStringLiteral("lock FD"));
        EXPECT_EQ(w.child<QGroupBox>(QStringLiteral("GroupFuse"))->title(),
                  extended ? QLatin1String(Str::kFuseGroupWithExtended)
                           : QStringLiteral("Fuse bits (AVR)     <- high / low  ->   "));
    }
    // The ATmega8 again: its sixteen boxes as they have always been.
    w.item("menuATMEGA8")->trigger();
    EXPECT_EQ(fuseBox(w, FuseByte::High, 7)->text(), QStringLiteral("RSTDISBL/S85X5C (7)"));
    EXPECT_EQ(fuseBox(w, FuseByte::Low, 7)->text(), QStringLiteral("BODLEVEL (7)"));
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_TRUE(fuseBox(w, FuseByte::Extended, bit)->isHidden());
    EXPECT_FALSE(fuseBox(w, FuseByte::Low, 0)->isChecked()) << "another chip's checks do not carry over";
    // An 89S chip leaves no bytes to show.
    w.item("menuAT89S51")->trigger();
    EXPECT_TRUE(label(w, "LabelFuseBytes").isEmpty());
    EXPECT_TRUE(label(w, "LabelLockByte").isEmpty());
}

TEST_F(SimWindow, ReadFusesShowsTheExtendedByteAndAWriteThatEndsProgrammingAsksFirst)
{
    folder_.writeIni("[CONFIG]\r\nCHIP=0\r\nPART=attiny85\r\nPORTA=SIM:attiny85\r\n");
    auto w = std::make_unique<TestWindow>(folder_.executable(), std::make_shared<TestWindow::Cable>());
    w->start({});
    ChipMemories& chip = chipOf(*w);
    chip.extendedFuse = 0xFE;  // SELFPRGEN
    w->button("ButtonReadFuse")->click();
    EXPECT_EQ(label(*w, "LabelFuseBytes"), QStringLiteral("low 62   high DF   ext FE"));
    EXPECT_TRUE(fuseBox(*w, FuseByte::Extended, 0)->isChecked());
    EXPECT_TRUE(fuseBox(*w, FuseByte::High, 5)->isChecked()) << "SPIEN";

    // RSTDISBL programmed: No keeps the chip as it is.
    fuseBox(*w, FuseByte::High, 7)->click();
    w->questionAnswers = {false};
    w->button("ButtonWriteFuse")->click();
    ASSERT_EQ(w->questions.size(), 1u);
    EXPECT_EQ(w->questions[0].caption, QLatin1String(Str::kWarningCaption));
    EXPECT_EQ(w->questions[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(w->questions[0].text.contains(
        QLatin1String("RSTDISBL (high fuse bit 7) programmed: the RESET pin becomes an I/O pin")))
        << w->questions[0].text.toStdString();
    EXPECT_EQ(chip.highFuse, 0xDF);
    EXPECT_NE(w->panelText(0), QLatin1String(Str::kFuseBitsProgrammed));
    w->questionAnswers = {true};
    w->button("ButtonWriteFuse")->click();
    EXPECT_EQ(w->questions.size(), 2u);
    EXPECT_EQ(chip.highFuse, 0x5F);
    EXPECT_EQ(chip.extendedFuse & 0x01, 0x00) << "the extended fuse written as shown";

    // A value that ends nothing is written without a question.
    fuseBox(*w, FuseByte::High, 7)->click();
    w->button("ButtonWriteFuse")->click();
    EXPECT_EQ(w->questions.size(), 2u);
    EXPECT_EQ(chip.highFuse, 0xDF);
}

TEST_F(SimWindow, TheAtmega8515sBitSevenIsWrittenWithoutAQuestion)
{
    auto w = openWindow(5, QStringLiteral("SIM:atmega8515"));
    w->fuseBox(5, true)->setChecked(true);  // SPIEN stays programmed
    w->fuseBox(7, true)->setChecked(true);  // S8515C on this part
    w->button("ButtonWriteFuse")->click();
    EXPECT_TRUE(w->questions.empty());
    EXPECT_EQ(chipOf(*w).highFuse, 0x5F);
}

}  // namespace

// The "Choose serial port" dialog: the list it offers, what OK stores and opens,
// and leaving it without a change.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/PortDialog.h"
#include "settings/ConfigFile.h"
#include "tests/app/FindNamed.h"
#include "tests/app/ModalAnswers.h"
#include "tests/app/TestWindow.h"

namespace {

struct PortChoice : ::testing::Test {
    InstallFolder folder;
    std::shared_ptr<TestWindow::Cable> cable = std::make_shared<TestWindow::Cable>();
    TestWindow w{folder.executable(), cable};
    QStringList present{QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
    PortDialog dialog{w.config(), w.link(), w, &w, [this] { return present; }};
    ModalAnswers answers;

    PortChoice()
    {
        folder.storePort();
        w.start({});  // COM1 is open, CHIP=0 stored
        cable->opened.clear();
    }
    QComboBox* list() const { return findNamed<QComboBox>(dialog, QStringLiteral("ComboPort")); }
    QPushButton* button(const char* name) const { return findNamed<QPushButton>(dialog, QLatin1String(name)); }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i)
            names << list()->itemText(i);
        return names;
    }
    void choose(const QString& name)
    {
        dialog.showPortChoice();
        list()->setEditText(name);
        button("ButtonOK")->click();
    }
};

TEST_F(PortChoice, EachOpeningOffersThePortsPresentAndNoChoice)
{
    dialog.showPortChoice();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose serial port"));
    EXPECT_EQ(button("ButtonCancel")->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(listed(), present);
    EXPECT_TRUE(list()->currentText().isEmpty());

    list()->setEditText(QStringLiteral("ttyUSB0"));
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    present = {QStringLiteral("ttyUSB3"), QStringLiteral("ttyACM0"), QStringLiteral("ttyS0")};
    dialog.showPortChoice();
    EXPECT_EQ(listed(), present);  // the order the system reported, not sorted
    EXPECT_TRUE(list()->currentText().isEmpty());
}

TEST_F(PortChoice, NoPortPresentIsSaidInTheListAndANameCanStillBeTyped)
{
    present.clear();
    cable->ports << QStringLiteral("/dev/ttyUSB9");
    dialog.showPortChoice();
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(list()->lineEdit()->placeholderText(),
              QStringLiteral("No serial port found: type a name (ttyUSB0, SIM:atmega8)"));
    QTest::keyClicks(list()->lineEdit(), QStringLiteral("/dev/ttyUSB9"));
    button("ButtonOK")->click();
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("/dev/ttyUSB9")});
}

TEST_F(PortChoice, OkOrReturnWithoutAChoiceAsksForOneAndChangesNothing)
{
    const QByteArray ini = folder.iniText();
    dialog.showPortChoice();
    auto first = answers.box(QMessageBox::Ok);
    button("ButtonOK")->click();
    auto second = answers.box(QMessageBox::Ok);
    QTest::keyClick(list()->lineEdit(), Qt::Key_Return);  // the default button

    for (const auto& seen : {first, second}) {
        ASSERT_TRUE(seen->shown);
        EXPECT_EQ(seen->title, QStringLiteral("Error"));
        EXPECT_EQ(seen->icon, QMessageBox::Critical);
        EXPECT_EQ(seen->text, QStringLiteral("Choose the serial port connected to the programmer"));
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(cable->opened.isEmpty());
    EXPECT_EQ(folder.iniText(), ini);
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(PortChoice, ChosenNameIsStoredAndOpenedAndTheDialogCloses)
{
    cable->ports << QStringLiteral("ttyUSB0");
    dialog.showPortChoice();
    list()->setCurrentIndex(1);
    button("ButtonOK")->click();
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("ttyUSB0")});
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=0\r\nPORTA=ttyUSB0\r\n"));
    EXPECT_EQ(w.panelText(2), QStringLiteral("ttyUSB0"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(w.messages.empty());
}

TEST_F(PortChoice, PortThatCannotOpenIsStillStoredAndReported)
{
    choose(QStringLiteral("  ttyNOPE  "));
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=0\r\nPORTA=ttyNOPE\r\n"));
    ASSERT_EQ(w.messages.size(), 1u);
    // The product's text first; the port and the reason on the line below.
    EXPECT_EQ(w.messages[0].text.section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("Cannot open serial port. Use the \"port\" menu to choose another"));
    EXPECT_TRUE(w.messages[0].text.section(QLatin1Char('\n'), 1).contains(QStringLiteral("ttyNOPE")));
    EXPECT_FALSE(w.link().isOpen());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PortChoice, ChoosingThePortAlreadyOpenReopensItQuietly)
{
    ASSERT_TRUE(w.link().isOpen());
    choose(QStringLiteral("COM1"));
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("COM1")});
    EXPECT_TRUE(w.link().isOpen());
    EXPECT_TRUE(w.messages.empty());
}

TEST_F(PortChoice, CancelAndEscapeLeaveEverythingAsItWas)
{
    const QByteArray ini = folder.iniText();
    dialog.showPortChoice();
    list()->setEditText(QStringLiteral("ttyS0"));
    button("ButtonCancel")->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.showPortChoice();
    list()->setEditText(QStringLiteral("ttyS0"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(cable->opened.isEmpty());
    EXPECT_EQ(folder.iniText(), ini);
    EXPECT_TRUE(w.link().isOpen());
}

// A simulated chip typed in the dialog is opened by the same factory as at start-up.
TEST(PortDialogSim, TypedSimNameOpensTheSimulatedChip)
{
    QTemporaryDir simDir;
    qputenv("KESTOVA_SIM_DIR", simDir.path().toLocal8Bit());
    InstallFolder folder;
    RecordingView view;
    LineDriver link;
    ConfigFile config(folder.ini());
    PortDialog dialog(config, link, view, nullptr, [] { return QStringList(); });
    dialog.showPortChoice();
    findNamed<QComboBox>(dialog, QStringLiteral("ComboPort"))->setEditText(QStringLiteral("SIM:atmega8"));
    findNamed<QPushButton>(dialog, QStringLiteral("ButtonOK"))->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(view.port, QStringLiteral("SIM:atmega8"));
    EXPECT_EQ(config.readString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), {}), QStringLiteral("SIM:atmega8"));
    link.close();
    qunsetenv("KESTOVA_SIM_DIR");
}

}  // namespace

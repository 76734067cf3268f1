// The "Choose serial port" dialog: the list it offers, what OK stores and opens,
// and leaving it without a change.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/UEndIO.h"
#include "sim/PortFactory.h"
#include "tests/app/ModalAnswers.h"
#include "tests/app/TestWindow.h"

namespace {

struct PortDialog : ::testing::Test {
    InstallFolder folder;
    std::shared_ptr<TestWindow::Cable> cable = std::make_shared<TestWindow::Cable>();
    TestWindow w{folder.executable(), cable};
    QStringList present{QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
    TEndIO dialog{w.config, w.link, &w, [this] { return present; }};
    ModalAnswers answers;

    PortDialog()
    {
        w.FormCreate({});  // COM1 is open, CHIP=0 stored
        cable->opened.clear();
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < dialog.ComboPort->count(); ++i)
            names << dialog.ComboPort->itemText(i);
        return names;
    }
    void choose(const QString& name)
    {
        dialog.FormShow();
        dialog.ComboPort->setEditText(name);
        dialog.ButtonOK->click();
    }
};

TEST_F(PortDialog, EachOpeningOffersThePortsPresentAndNoChoice)
{
    dialog.FormShow();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose serial port"));
    EXPECT_EQ(dialog.ButtonCancel->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(listed(), present);
    EXPECT_TRUE(dialog.ComboPort->currentText().isEmpty());

    dialog.ComboPort->setEditText(QStringLiteral("ttyUSB0"));
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    present = {QStringLiteral("ttyUSB3"), QStringLiteral("ttyACM0"), QStringLiteral("ttyS0")};
    dialog.FormShow();
    EXPECT_EQ(listed(), present);  // the order the system reported, not sorted
    EXPECT_TRUE(dialog.ComboPort->currentText().isEmpty());
}

TEST_F(PortDialog, NoPortPresentIsSaidInTheListAndANameCanStillBeTyped)
{
    present.clear();
    cable->ports << QStringLiteral("/dev/ttyUSB9");
    dialog.FormShow();
    EXPECT_EQ(dialog.ComboPort->count(), 0);
    EXPECT_EQ(dialog.ComboPort->lineEdit()->placeholderText(),
              QStringLiteral("No serial port found: type a name (ttyUSB0, SIM:atmega8)"));
    QTest::keyClicks(dialog.ComboPort->lineEdit(), QStringLiteral("/dev/ttyUSB9"));
    dialog.ButtonOK->click();
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("/dev/ttyUSB9")});
}

TEST_F(PortDialog, OkOrReturnWithoutAChoiceAsksForOneAndChangesNothing)
{
    const QByteArray ini = folder.iniText();
    dialog.FormShow();
    auto first = answers.box(QMessageBox::Ok);
    dialog.ButtonOK->click();
    auto second = answers.box(QMessageBox::Ok);
    QTest::keyClick(dialog.ComboPort->lineEdit(), Qt::Key_Return);  // the default button

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

TEST_F(PortDialog, ChosenNameIsStoredAndOpenedAndTheDialogCloses)
{
    cable->ports << QStringLiteral("ttyUSB0");
    dialog.FormShow();
    dialog.ComboPort->setCurrentIndex(1);
    dialog.ButtonOK->click();
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("ttyUSB0")});
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=0\r\nPORTA=ttyUSB0\r\n"));
    EXPECT_EQ(w.Panels[2]->text(), QStringLiteral("ttyUSB0"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(w.messages.empty());
}

TEST_F(PortDialog, PortThatCannotOpenIsStillStoredAndReported)
{
    choose(QStringLiteral("  ttyNOPE  "));
    EXPECT_EQ(folder.iniText(), QByteArray("[CONFIG]\r\nCHIP=0\r\nPORTA=ttyNOPE\r\n"));
    ASSERT_EQ(w.messages.size(), 1u);
    // The product's text first; the port and the reason on the line below.
    EXPECT_EQ(w.messages[0].text.section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("Cannot open serial port. Use the \"port\" menu to choose another"));
    EXPECT_TRUE(w.messages[0].text.section(QLatin1Char('\n'), 1).contains(QStringLiteral("ttyNOPE")));
    EXPECT_FALSE(w.link.isOpen());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PortDialog, ChoosingThePortAlreadyOpenReopensItQuietly)
{
    ASSERT_TRUE(w.link.isOpen());
    choose(QStringLiteral("COM1"));
    EXPECT_EQ(cable->opened, QStringList{QStringLiteral("COM1")});
    EXPECT_TRUE(w.link.isOpen());
    EXPECT_TRUE(w.messages.empty());
}

TEST_F(PortDialog, CancelAndEscapeLeaveEverythingAsItWas)
{
    const QByteArray ini = folder.iniText();
    dialog.FormShow();
    dialog.ComboPort->setEditText(QStringLiteral("ttyS0"));
    dialog.ButtonCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.FormShow();
    dialog.ComboPort->setEditText(QStringLiteral("ttyS0"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(cable->opened.isEmpty());
    EXPECT_EQ(folder.iniText(), ini);
    EXPECT_TRUE(w.link.isOpen());
}

// A simulated chip typed in the dialog is opened by the same factory as at start-up.
TEST(PortDialogSim, TypedSimNameOpensTheSimulatedChip)
{
    QTemporaryDir simDir;
    qputenv("KESTOVA_SIM_DIR", simDir.path().toLocal8Bit());
    InstallFolder folder;
    RecordingView view;
    LineDriver link(view, openModemLines);
    ConfigFile config(folder.ini());
    TEndIO dialog(config, link, nullptr, [] { return QStringList(); });
    dialog.FormShow();
    dialog.ComboPort->setEditText(QStringLiteral("SIM:atmega8"));
    dialog.ButtonOK->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(config.readString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), {}), QStringLiteral("SIM:atmega8"));
    link.CloseSerialLink();
    qunsetenv("KESTOVA_SIM_DIR");
}

}  // namespace

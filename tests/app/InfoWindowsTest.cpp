// The help, schematic, splash and about windows, and the main window's items that open them.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/HelpWindow.h"
#include "app/HexEditorWindow.h"
#include "app/JpegDecoder.h"
#include "app/PortDialog.h"
#include "app/SchematicWindow.h"
#include "app/SplashScreen.h"
#include "tests/app/FindNamed.h"
#include "tests/app/TestWindow.h"
#include "view/Strings.h"

namespace {

QByteArray schematicFile()
{
    QFile file(QStringLiteral(":/schematic.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(HelpWindow, HoldsTheWholeHelpTextWithItsLineBreaks)
{
    const QString text = QString::fromUtf8(Str::kHelpText);
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("\r\nISP programmer for Atmel microcontrollers: 89S, Atmega8, Atmega8515 and Atmega8535\r\n")));
    EXPECT_EQ(text.count(QLatin1Char('\n')), text.count(QStringLiteral("\r\n")));
    EXPECT_EQ(text.count(QLatin1Char('\r')), text.count(QStringLiteral("\r\n")));

    qsizetype at = 0;
    for (const char* heading :
         {"-WRITE MODE-", "-LOCK BITS (89S)-", "-LOCK BITS (AVR)-", "-FUSE BITS (AVR)-", "-MEMORY ERASE-",
          "-PARAMETERS-", "-TOOLS-", "** PROGRAMMING **", "* AT89S8253 and ATMEGA8/85X5 *"}) {
        const qsizetype found = text.indexOf(QStringLiteral("\r\n%1\r\n").arg(QLatin1String(heading)), at);
        EXPECT_GT(found, at) << heading;
        at = std::max(at, found);
    }
    // The sentences that run over two lines break exactly there.
    for (const char* broken : {"the program tries to\r\nwrite again in low speed.\r\n",
                               "only modified bytes are written\r\n(Only for AT89S8252/S53).\r\n",
                               "memory, and disables\r\ninternal memory writing.\r\n"})
        EXPECT_TRUE(text.contains(QLatin1String(broken))) << broken;
    EXPECT_TRUE(text.endsWith(QStringLiteral("In flash memory programming, the eeprom will also be erased.\r\n")));

    HelpWindow help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Help"));
    EXPECT_EQ(help.size(), QSize(594, 411));
    const auto* box = findNamed<QPlainTextEdit>(help, QStringLiteral("HelpText"));
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->toPlainText(), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST(WindowIcon, IsDrawnAtEverySizeADesktopAsksFor)
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(QStringLiteral(":/icon/kestova-%1.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
}

TEST(HelpWindow, WrapsItsLinesAndClosesOnEscape)
{
    HelpWindow help;
    const auto* box = findNamed<QPlainTextEdit>(help, QStringLiteral("HelpText"));
    EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    help.show();
    help.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    QTest::keyClick(&help, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

TEST(SchematicWindow, HasATwiceAsLargeDrawingForHighDpiScreens)
{
    QFile file(QStringLiteral(":/schematic@2x.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    const QImage sharp = decodeJpeg(file.readAll(), &error);
    ASSERT_FALSE(sharp.isNull()) << qPrintable(error);
    EXPECT_EQ(sharp.size(), QSize(1600, 1162));
    // The same drawing: scaled down it looks like the ordinary picture.
    const QImage plain = decodeJpeg(schematicFile(), &error);
    const QImage halved = sharp.scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int close = 0, total = 0;
    for (int y = 0; y < plain.height(); y += 7)
        for (int x = 0; x < plain.width(); x += 7, ++total)
            close += std::abs(qGray(plain.pixel(x, y)) - qGray(halved.pixel(x, y))) < 48 ? 1 : 0;
    EXPECT_GT(close, total * 95 / 100);
}

TEST(SchematicWindow, ShowsTheColourPictureUnderTheWhiteNote)
{
    const QByteArray jpeg = schematicFile();
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8\xFF"));  // a JPEG, decoded by libjpeg below
    QString error;
    const QImage picture = decodeJpeg(jpeg, &error);
    ASSERT_FALSE(picture.isNull()) << qPrintable(error);
    EXPECT_EQ(picture.size(), QSize(800, 581));
    EXPECT_FALSE(picture.isGrayscale());
    // The note covers the top-left corner; the drawing leaves it blank.
    for (int y = 24; y < 24 + 185; y += 8)
        for (int x = 8; x < 8 + 329; x += 8)
            ASSERT_GT(qGray(picture.pixel(x, y)), 235) << x << "," << y;

    SchematicWindow schematic;
    EXPECT_EQ(schematic.windowTitle(), QStringLiteral("schematic"));
    EXPECT_EQ(schematic.size(), QSize(797, 581));
    EXPECT_EQ(findNamed<QLabel>(schematic, QStringLiteral("SchematicPicture"))->pixmap().size(), QSize(800, 581));
    const auto* note = findNamed<QLabel>(schematic, QStringLiteral("SchematicNote"));
    EXPECT_EQ(note->geometry(), QRect(8, 24, 329, 185));
    EXPECT_EQ(note->text(),
              QStringLiteral("Power the circuit with 5V\r\nUse 100uF capacitor between 5V "
                             "and ground\r\nCheck the datasheet for corresponding pins for "
                             "Atmega"));
    EXPECT_TRUE(note->wordWrap());
    const QImage shot = schematic.grab().toImage();
    EXPECT_EQ(shot.pixelColor(12, 200), QColor(Qt::white));  // the note's background
}

TEST(JpegDecoder, RefusesWhatIsNotAJpegWithAReason)
{
    QString error;
    EXPECT_TRUE(decodeJpeg(QByteArray(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_TRUE(decodeJpeg(QByteArray("\xFF\xD8\xFF\xE0 not really", 15), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    // A picture cut short still decodes to its size (libjpeg fills the rest) or is refused; it never reads past the
    // end.
    const QByteArray jpeg = schematicFile();
    const QImage cut = decodeJpeg(jpeg.left(jpeg.size() / 3), &error);
    EXPECT_TRUE(cut.isNull() || cut.size() == QSize(800, 581));
}

TEST(SplashWindow, IsASmallSilverPanelSayingWait)
{
    SplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(203, 59));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    const auto* panel = findNamed<QLabel>(splash, QStringLiteral("SplashMessage"));
    EXPECT_EQ(panel->text(), QStringLiteral("wait..."));
    EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
    EXPECT_EQ(panel->lineWidth(), 4);
    EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
}

TEST(MainWindowItems, OpenTheirWindowsAndTheAboutBox)
{
    InstallFolder folder;
    auto cable = std::make_shared<TestWindow::Cable>();
    TestWindow w(folder.executable(), cable);
    w.start({});
    auto* help = new HelpWindow(&w);
    auto* schematic = new SchematicWindow(&w);
    auto* editor = new HexEditorWindow(&w);
    auto* ports = new PortDialog(w.config(), w.link(), w, &w, [] { return QStringList{QStringLiteral("ttyS4")}; });
    w.setWindows({help, schematic, editor, ports});

    w.button("ButtonHelp")->click();
    EXPECT_TRUE(help->isVisible());
    help->close();
    EXPECT_FALSE(help->isVisible());  // closing hides; the menu brings the same window back
    w.item("menuHelpItem")->trigger();
    EXPECT_TRUE(help->isVisible());
    w.item("menuSchematic")->trigger();
    EXPECT_TRUE(schematic->isVisible());
    w.item("menuHexEditor")->trigger();
    EXPECT_TRUE(editor->isVisible());
    w.item("menuChoosePort")->trigger();
    EXPECT_TRUE(ports->isVisible());
    EXPECT_EQ(findNamed<QComboBox>(*ports, QStringLiteral("ComboPort"))->itemText(0), QStringLiteral("ttyS4"));

    w.item("menuAbout")->trigger();
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(w.messages[0].caption, QStringLiteral("About Kestova"));
    EXPECT_TRUE(w.messages[0].text.startsWith(QStringLiteral("Kestova version ")));
    EXPECT_TRUE(w.messages[0].text.contains(QStringLiteral("the Kestova developers")));
    // Where the chip and port are kept, so a user can find the file of an installed copy.
    EXPECT_TRUE(w.messages[0].text.endsWith(QStringLiteral("\nConfiguration file: ") + folder.ini()))
        << w.messages[0].text.toStdString();
}

}  // namespace

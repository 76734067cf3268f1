// The chosen file, the production habit of one file for many chips: chosen by the
// dialog, a drop or the recent files, shown under the title, written by Write
// without a dialog, read afresh when it changed on disk, and kept in kestova.ini's
// own section without touching a byte of the rest.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/HexEditorWindow.h"
#include "app/HexView.h"
#include "tests/app/SimWindow.h"
#include "view/Strings.h"

namespace {

class ChosenFile : public SimWindow {
protected:
    QString makeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = simDir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }

public:
    static void drop(QWidget& target, const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &dropped);
    }

protected:
    static QString chosenLine(const TestWindow& w)
    {
        return w.child<QLabel>(QStringLiteral("LabelChosenFile"))->text();
    }
};

TEST_F(ChosenFile, ADroppedFileIsChosenAndWrittenOnlyByWriteThenAgainForTheNextChip)
{
    auto w = openWindow(3, QStringLiteral("SIM:s52"));
    const QString file = makeFile(QStringLiteral("fw.bin"), QByteArray(64, '\x21'));
    const QStringList before = w->statusHistory;
    drop(*w, file);
    EXPECT_EQ(w->autoRunFile(), QFileInfo(file).absoluteFilePath());
    EXPECT_EQ(w->statusHistory, before) << "nothing written on a drop";
    EXPECT_EQ(chipOf(*w).flash[0], 0xFF);
    EXPECT_TRUE(chosenLine(*w).contains(QStringLiteral("fw.bin"))) << qPrintable(chosenLine(*w));
    EXPECT_TRUE(chosenLine(*w).contains(QStringLiteral("64 bytes, binary"))) << qPrintable(chosenLine(*w));

    w->button("ButtonWrite")->click();
    EXPECT_TRUE(w->openFilters.isEmpty()) << "Write asks for no file";
    EXPECT_EQ(w->panelText(0), QLatin1String(Str::kDone));
    EXPECT_EQ(chipOf(*w).flash[63], 0x21);

    // The next chip: the same file, no dialog.
    chipOf(*w).erase();
    w->button("ButtonWrite")->click();
    EXPECT_TRUE(w->openFilters.isEmpty());
    EXPECT_EQ(chipOf(*w).flash[63], 0x21);
}

TEST_F(ChosenFile, TheChosenLineNamesTheFormTheFileWillBeReadIn)
{
    auto w = openWindow(3, QStringLiteral("SIM:s52"));
    // A HEX file under another extension is read as HEX, so the line must say so.
    ASSERT_TRUE(w->chooseFile(makeFile(QStringLiteral("fw.rom"), ":0100000055AA\r\n:00000001FF\r\n")));
    EXPECT_TRUE(chosenLine(*w).contains(QLatin1String(Str::kFormHex))) << qPrintable(chosenLine(*w));
    // A .bin is binary whatever it holds.
    ASSERT_TRUE(w->chooseFile(makeFile(QStringLiteral("fw.bin"), ":0100000055AA\r\n:00000001FF\r\n")));
    EXPECT_TRUE(chosenLine(*w).contains(QLatin1String(Str::kFormBinary))) << qPrintable(chosenLine(*w));
}

TEST_F(ChosenFile, AFileChangedOnDiskIsReadAfreshAndTheStatusSaysSo)
{
    auto w = openWindow(3, QStringLiteral("SIM:s52"));
    const QString file = makeFile(QStringLiteral("fw.bin"), QByteArray(16, '\x01'));
    ASSERT_TRUE(w->chooseFile(file));
    w->button("ButtonWrite")->click();
    EXPECT_FALSE(w->runPanelText().contains(QStringLiteral("changed on disk")));

    makeFile(QStringLiteral("fw.bin"), QByteArray(20, '\x02'));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    f.close();
    w->button("ButtonWrite")->click();
    EXPECT_TRUE(w->runPanelText().startsWith(QStringLiteral("fw.bin changed on disk since it was chosen: read afresh")))
        << qPrintable(w->runPanelText());
    EXPECT_EQ(chipOf(*w).flash[0], 0x02);
    EXPECT_EQ(chipOf(*w).flash[19], 0x02);
    EXPECT_TRUE(chosenLine(*w).contains(QStringLiteral("20 bytes"))) << qPrintable(chosenLine(*w));
}

TEST_F(ChosenFile, RecentFilesKeepTheLastEightInTheirOwnSectionAndTheRestByteForByte)
{
    const QByteArray config = "; written by hand \xE9\r\n[CONFIG]\r\nCHIP=3\r\nPORTA=SIM:s52\r\n\r\n[OTHER]\nkey = x\n";
    folder_.writeIni(config);
    auto w = std::make_unique<TestWindow>(folder_.executable(), std::make_shared<TestWindow::Cable>());
    w->start({});
    QStringList files;
    for (int i = 0; i < 9; ++i)
        files
            << QFileInfo(makeFile(QStringLiteral("f%1.hex").arg(i), QByteArray(":00000001FF\r\n"))).absoluteFilePath();
    for (const QString& file : files)
        ASSERT_TRUE(w->chooseFile(file));
    ASSERT_TRUE(w->chooseFile(files[4]));  // chosen again: first, once

    const QByteArray ini = folder_.iniText();
    EXPECT_TRUE(ini.startsWith(config)) << ini.toStdString();
    QStringList expected{files[4], files[8], files[7], files[6], files[5], files[3], files[2], files[1]};
    EXPECT_EQ(w->recentFiles().files(), expected);
    EXPECT_FALSE(ini.contains(QFileInfo(files[0]).fileName().toUtf8())) << "the ninth is gone";

    // A later start offers them in the File menu, and one of them is chosen by a click.
    auto again = std::make_unique<TestWindow>(folder_.executable(), std::make_shared<TestWindow::Cable>());
    again->start({});
    EXPECT_EQ(again->recentFiles().files(), expected);
    ASSERT_NE(again->item("menuRecent3"), nullptr);
    again->item("menuRecent3")->trigger();
    EXPECT_EQ(again->autoRunFile(), files[7]);
    EXPECT_TRUE(chosenLine(*again).contains(QStringLiteral("Intel HEX")));

    // A recent file that has gone is said and dropped from the list.
    QFile::remove(files[6]);
    again->item("menuRecent4")->trigger();
    ASSERT_EQ(again->messages.size(), 1u);
    EXPECT_TRUE(again->messages[0].text.contains(QFileInfo(files[6]).fileName()));
    EXPECT_FALSE(again->recentFiles().files().contains(files[6]));
}

TEST(HexEditorDrop, AFileDroppedOnTheEditorOpensThere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dump.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x01\x02\x03", 3);
    f.close();
    HexEditorWindow editor;
    ChosenFile::drop(editor, path);
    EXPECT_EQ(editor.findChild<HexView*>()->fileName(), path);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("dump.bin - HEX Editor"));
}

}  // namespace

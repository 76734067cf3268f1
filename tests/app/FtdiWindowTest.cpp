// The window on an FTDI adapter: `kestova atmega8 firmware.hex` with PORTA=FTDI:VFTDI001
// in kestova.ini, through ../shared/vftdi. The run goes through the same window and
// engine as on a serial port; the simulated chip then holds exactly the image.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/MainWindow.h"
#include "tests/app/FindNamed.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Vftdi.h"
#include "view/Strings.h"

namespace {

const char* kFolderVariable = "KESTOVA_TEST_FOLDER";

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The child: the main window as main() makes it, on the adapter its .ini names.
void writeFromTheWindow()
{
    const QString folder = qEnvironmentVariable(kFolderVariable);
    QFile ini(folder + QStringLiteral("/kestova.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[CONFIG]\r\nCHIP=0\r\nPORTA=FTDI:VFTDI001\r\n");
    ini.close();

    MainWindow::Options options;
    options.executablePath = folder + QStringLiteral("/kestova");
    MainWindow window(options);
    QTimer user;  // the user presses OK on each box
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    user.start();
    window.start({QStringLiteral("atmega8"), testDataPath(QStringLiteral("avr-atmega8.hex"))});
    EXPECT_EQ(window.link().portName(), QStringLiteral("FTDI:VFTDI001"));
    EXPECT_EQ(findNamed<QLabel>(window, QStringLiteral("StatusPanel0"))->text(), QLatin1String(Str::kDone));
    window.link().close();  // the adapter saves the chip when it closes
}

TEST(FtdiWindow, WritesTheFileThroughTheAdapterNamedInTheIni)
{
    if (inVftdiChild()) {
        writeFromTheWindow();
        return;
    }
    if (!haveVftdi())
        GTEST_SKIP() << "the simulated FTDI adapter was not built";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString state = dir.filePath(QStringLiteral("chip.state"));
    runVftdiTool(QStringLiteral("visp"), {QStringLiteral("init"), state, QStringLiteral("atmega8")});
    QProcessEnvironment env = vftdiEnvironment(QStringLiteral("atmega8"), state);
    env.insert(QLatin1String(kFolderVariable), dir.path());
    expectChildPasses(env);

    const QString dump = dir.filePath(QStringLiteral("flash.bin"));
    runVftdiTool(QStringLiteral("visp"), {QStringLiteral("dump"), state, QStringLiteral("flash"), dump});
    const QByteArray flash = fileBytes(dump);
    const QByteArray image = fileBytes(testDataPath(QStringLiteral("avr-atmega8.bin")));
    EXPECT_TRUE(flash.startsWith(image));
    EXPECT_EQ(flash.mid(image.size()).count('\xFF'), flash.size() - image.size()) << "nothing else written";
}

}  // namespace

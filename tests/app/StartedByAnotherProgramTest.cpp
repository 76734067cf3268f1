// The window as another program starts it, `kestova s52 firmware.hex` with the port in
// kestova.ini, on visp's real serial path: the "Warning" box is answered like a user
// would, the run writes the file, and visp's state file then holds exactly the image.
// Each case re-runs this test binary in a child process with visp preloaded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/MainWindow.h"
#include "tests/app/FindNamed.h"
#include "tests/support/ChildTest.h"
#include "tests/support/TestPaths.h"
#include "view/Strings.h"

namespace {

const char* kChildVariable = "KESTOVA_VISP_CHILD";
const char* kFolderVariable = "KESTOVA_TEST_FOLDER";

struct VispStart {
    const char* vispChip;
    const char* keyword;  // the command line's first argument
    const char* file;     // in tests/data
    const char* binary;   // the same image as a .bin
};

void PrintTo(const VispStart& c, std::ostream* os)
{
    *os << "kestova " << c.keyword << " " << c.file << " on " << c.vispChip;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray runTool(const QStringList& args)
{
    QProcess tool;
    tool.start(vispDir() + QStringLiteral("/visp"), args);
    tool.waitForFinished(10000);
    return tool.readAllStandardOutput();
}

class StartedByAnotherProgram : public ::testing::TestWithParam<VispStart> {
protected:
    // The parent: a fresh chip, the child under visp, then the chip's state file.
    void runUnderVisp(const VispStart& c)
    {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString state = dir.filePath(QStringLiteral("chip.state"));
        runTool({QStringLiteral("init"), state, QLatin1String(c.vispChip)});

        QProcessEnvironment env = vispEnvironment(QLatin1String(c.vispChip), state);
        env.insert(QLatin1String(kChildVariable), QStringLiteral("1"));
        env.insert(QLatin1String(kFolderVariable), dir.path());
        const ChildTestRun child = rerunCurrentTest(env);
        EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
        EXPECT_TRUE(child.output.contains(QLatin1String("[  PASSED  ] 1 test"))) << child.output.toStdString();

        const QString dump = dir.filePath(QStringLiteral("flash.bin"));
        runTool({QStringLiteral("dump"), state, QStringLiteral("flash"), dump});
        const QByteArray flash = fileBytes(dump);
        const QByteArray image = fileBytes(testDataPath(QLatin1String(c.binary)));
        EXPECT_TRUE(flash.startsWith(image));
        EXPECT_EQ(flash.mid(image.size()).count('\xFF'), flash.size() - image.size()) << "nothing else written";
    }

    // The child: the main window as main() makes it, on the port its .ini names.
    static void startAsAnotherProgram(const VispStart& c)
    {
        const QString folder = qEnvironmentVariable(kFolderVariable);
        QFile ini(folder + QStringLiteral("/kestova.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(
            QStringLiteral("[CONFIG]\r\nCHIP=0\r\nPORTA=%1\r\n").arg(qEnvironmentVariable("VISP_DEVICE")).toLatin1());
        ini.close();

        MainWindow::Options options;
        options.executablePath = folder + QStringLiteral("/kestova");
        MainWindow window(options);
        // The user reads each box and presses OK.
        QStringList boxes;
        QTimer user;
        user.setInterval(20);
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        user.start();
        window.start({QLatin1String(c.keyword), testDataPath(QLatin1String(c.file))});
        EXPECT_EQ(boxes, QStringList{QLatin1String(Str::kPulseReset)});
        EXPECT_EQ(findNamed<QLabel>(window, QStringLiteral("StatusPanel0"))->text(), QLatin1String(Str::kDone));
        window.link().close();  // visp saves the chip when its port closes
    }
};

TEST_P(StartedByAnotherProgram, WritesTheFileIntoTheChipAfterTheWarningBox)
{
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        startAsAnotherProgram(GetParam());
        return;
    }
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    runUnderVisp(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Chips, StartedByAnotherProgram,
                         ::testing::Values(VispStart{"at89s8252", "s8252", "avr-atmega8.hex", "avr-atmega8.bin"},
                                           VispStart{"at89s53", "s53", "avr-atmega8.bin", "avr-atmega8.bin"},
                                           VispStart{"at89s52", "s52", "mcs51-gap.hex", "mcs51-gap.bin"},
                                           VispStart{"at89s51", "s51", "avr-atmega8.hex", "avr-atmega8.bin"},
                                           VispStart{"at89s8253", "s8253", "avr-atmega8.hex", "avr-atmega8.bin"},
                                           VispStart{"atmega8", "atmega8", "avr-atmega8.hex", "avr-atmega8.bin"},
                                           VispStart{"atmega8515", "atmega8", "avr-atmega8.bin", "avr-atmega8.bin"},
                                           VispStart{"atmega8535", "atmega8", "avr-atmega8.hex", "avr-atmega8.bin"}));

}  // namespace

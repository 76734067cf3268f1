// take_screenshots: draws the windows a user meets into PNG files, so the README's
// pictures can be renewed after a change: the main window idle, during a run, after
// it with its summary, the hex editor showing a chip's contents, the schematic and
// the Detect result. Everything runs against simulated chips; nothing needs a device.
//   take_screenshots OUT_DIR [--dark]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <cstdio>

#include "app/HexEditorWindow.h"
#include "app/MainWindow.h"
#include "app/SchematicWindow.h"
#include "sim/SimulatedPorts.h"
#include "target/PortOpening.h"

namespace {

QString outDir;

void save(QWidget& widget, const char* name)
{
    widget.repaint();
    QCoreApplication::processEvents();
    const QString path = QDir(outDir).filePath(QLatin1String(name) + QStringLiteral(".png"));
    if (!widget.grab().save(path))
        std::fprintf(stderr, "take_screenshots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// The main window with the user's answers ready, that photographs itself mid-run and
// photographs its question boxes instead of waiting for a click.
class PosingWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    QString file;
    int shootAt = -1;  // the byte count at which the run is photographed

    void showProgress(int done, int total, const QString& text) override
    {
        MainWindow::showProgress(done, total, text);
        if (done == shootAt) {
            shootAt = -1;
            processEvents();
            save(*this, "main-window-running");
        }
    }

protected:
    QString askOpenFileName(const QString&) override { return file; }
    bool askQuestion(MessageIcon, const QString& caption, const QString& text, Answers) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, this);
        box.show();
        save(box, "detect");
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: take_screenshots OUT_DIR [--dark]\n");
        return 2;
    }
    outDir = args[1];
    QDir().mkpath(outDir);
    if (args.contains(QStringLiteral("--dark"))) {
        // A dark desktop theme, as a platform would hand it over.
        app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2B));
        dark.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
        dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
        dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
        dark.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3A));
        dark.setColor(QPalette::ButtonText, QColor(0xE0, 0xE0, 0xE0));
        dark.setColor(QPalette::Highlight, QColor(0x3D, 0x7A, 0xD6));
        dark.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(QPalette::Disabled, role, QColor(0x78, 0x78, 0x78));
        app.setPalette(dark);
    }
    registerSimulatedPorts();
    QTemporaryDir dir;
    qputenv("KESTOVA_SIM_DIR", dir.path().toLocal8Bit());

    // An 8051 program of 2 KiB, and the window set up as a user left it.
    const QString image = dir.filePath(QStringLiteral("blink.bin"));
    QFile bin(image);
    bin.open(QIODevice::WriteOnly);
    for (int i = 0; i < 2048; ++i)
        bin.putChar(static_cast<char>((i * 37 + 0x75) & 0xFF));
    bin.close();
    QFile ini(dir.filePath(QStringLiteral("kestova.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[CONFIG]\r\nCHIP=3\r\nPORTA=SIM:s52\r\n");
    ini.close();

    MainWindow::Options options;
    options.executablePath = dir.filePath(QStringLiteral("kestova"));
    options.startupPauseMs = 0;
    PosingWindow window(options);
    HexEditorWindow editor(&window);
    window.setWindows({nullptr, nullptr, &editor, nullptr});
    window.file = image;
    window.start({QStringLiteral("--open"), image});
    window.show();
    save(window, "main-window");

    window.shootAt = 700;
    window.findChild<QPushButton*>(QStringLiteral("ButtonWrite"))->click();
    save(window, "main-window-summary");

    window.findChild<QAction*>(QStringLiteral("menuReadToEditor"))->trigger();
    editor.resize(760, 420);
    save(editor, "hex-editor-chip");
    editor.hide();

    SchematicWindow schematic;
    schematic.show();
    save(schematic, "schematic");
    schematic.hide();

    // An ATmega328P from the More chips submenu: its own fuse bytes, read, bits by name.
    window.config().writeString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), QStringLiteral("SIM:atmega328p"));
    openPort(window.link(), QStringLiteral("SIM:atmega328p"), window);
    window.findChild<QAction*>(QStringLiteral("menuATMEGA328P"))->trigger();
    window.findChild<QPushButton*>(QStringLiteral("ButtonReadFuse"))->click();
    save(window, "main-window-atmega328p");

    // Detect finds an ATmega8 in the socket where another chip is selected.
    window.config().writeString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), QStringLiteral("SIM:atmega8"));
    openPort(window.link(), QStringLiteral("SIM:atmega8"), window);
    window.findChild<QAction*>(QStringLiteral("menuDetect"))->trigger();
    return 0;
}

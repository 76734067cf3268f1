// kestova: the main sequence. The splash comes up first; the main window starts,
// restoring the chip and the port and reading the command line; the help,
// schematic, hex editor and port windows follow, in that order; then the splash
// goes and the event loop runs until the main window closes.
#include "app/HelpWindow.h"
#include "app/HexEditorWindow.h"
#include "app/KestovaApplication.h"
#include "app/MainWindow.h"
#include "app/PortDialog.h"
#include "app/SchematicWindow.h"
#include "app/SplashScreen.h"
#include "sim/SimulatedPorts.h"

int main(int argc, char** argv)
{
    KestovaApplication app(argc, argv);
    registerSimulatedPorts();

    SplashScreen splash;
    splash.show();
    splash.repaint();
    QCoreApplication::processEvents();  // the window system maps it before the busy start-up

    MainWindow::Options options;
    options.executablePath = QCoreApplication::applicationFilePath();
    MainWindow window(options);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    KestovaApplication::guarded([&] { window.start(arguments); });

    // Owned by the main window, so they go with it and never keep the program running.
    auto* help = new HelpWindow(&window);
    auto* schematic = new SchematicWindow(&window);
    auto* hexEditor = new HexEditorWindow(&window);
    auto* portDialog = new PortDialog(window.config(), window.link(), window, &window);
    window.setWindows({help, schematic, hexEditor, portDialog});
    window.installEventFilter(hexEditor);

    splash.hide();
    window.show();
    return app.exec();
}

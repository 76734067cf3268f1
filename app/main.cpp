// kestova: the main sequence. The splash comes up first; the main window's creation
// handler restores the chip and the port and reads the command line; the help,
// schematic, hex editor and port windows follow, in that order; then the splash
// goes and the event loop runs until the main window closes.
#include "app/KestovaApplication.h"
#include "app/UAjuda.h"
#include "app/UEndIO.h"
#include "app/USplash.h"
#include "app/UTirel.h"
#include "app/uEditHex.h"
#include "app/uEsquema.h"
#include "sim/PortFactory.h"

int main(int argc, char** argv)
{
    KestovaApplication app(argc, argv);

    TSplash splash;
    splash.show();
    splash.repaint();
    QCoreApplication::processEvents();  // the window system maps it before the busy start-up

    UTirel::Options options;
    options.executablePath = QCoreApplication::applicationFilePath();
    options.opener = openModemLines;
    UTirel window(options);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    KestovaApplication::guarded([&] { window.FormCreate(arguments); });

    // Owned by the main window, so they go with it and never keep the program running.
    auto* help = new TFormAjuda(&window);
    auto* schematic = new TForm3(&window);
    auto* hexEditor = new TFormEditHex(&window);
    auto* portDialog = new TEndIO(window.config, window.link, &window);
    window.setWindows({help, schematic, hexEditor, portDialog});
    window.installEventFilter(hexEditor);

    splash.hide();
    window.show();
    return app.exec();
}

// kestova: the main sequence. The windows come up, the main window's creation
// handler restores the chip and the port and reads the command line, then the
// event loop runs until the main window closes.
#include "app/KestovaApplication.h"
#include "app/UTirel.h"
#include "sim/PortFactory.h"

int main(int argc, char** argv)
{
    KestovaApplication app(argc, argv);

    UTirel::Options options;
    options.executablePath = QCoreApplication::applicationFilePath();
    options.opener = openModemLines;
    UTirel window(options);

    QStringList arguments = app.arguments();
    arguments.removeFirst();
    KestovaApplication::guarded([&] { window.FormCreate(arguments); });
    window.show();
    return app.exec();
}

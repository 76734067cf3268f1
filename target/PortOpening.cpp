// openPort: the link opens, the user hears of it here.
#include "target/PortOpening.h"

#include "link/LineDriver.h"
#include "target/ErrorText.h"
#include "view/OperationView.h"
#include "view/Strings.h"

bool openPort(LineDriver& line, const QString& portName, OperationView& view)
{
    if (!line.open(portName)) {
        // The second line says why, and what would cure it.
        view.showMessage(MessageIcon::Error, QString::fromLatin1(Str::kProgramName),
                         QString::fromUtf8(Str::kCannotOpenPort) + QLatin1Char('\n') + errorText(line.lastOpenError()));
        return false;
    }
    view.showPort(portName);
    return true;
}

#include "cli/ConsoleView.h"

#include "cli/CliCommand.h"
#include "view/Strings.h"

void ConsoleView::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel > 2)
        return;
    panels_[panel] = text;
    // The failure texts of panel 0 are what a script needs to see.
    if (panel == 0 && (text == QLatin1String(Str::kCommunicationError) || text == QLatin1String(Str::kWriteError))) {
        failed_ = true;
        printError(text);
    }
}

void ConsoleView::showMessage(MessageIcon icon, const QString&, const QString& text)
{
    if (icon == MessageIcon::Error)
        failed_ = true;
    printError(text);
}

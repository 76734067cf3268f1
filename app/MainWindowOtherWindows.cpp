// MainWindow's ways to the other windows: the Help button, the menu items that bring
// up the help, schematic, hex editor and port windows, and the about box.
#include <QAction>
#include <QDir>
#include <QPushButton>

#include "app/HexEditorWindow.h"
#include "app/MainWindow.h"
#include "app/PortDialog.h"
#include "view/Strings.h"

namespace {

// Shown modeless; a window already open comes to the front.
void bringUp(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

void MainWindow::connectOtherWindows()
{
    connect(helpButton_, &QPushButton::clicked, this, [this] { bringUp(windows_.help); });
    connect(helpItem_, &QAction::triggered, this, [this] { bringUp(windows_.help); });
    connect(schematicItem_, &QAction::triggered, this, [this] { bringUp(windows_.schematic); });
    connect(hexEditorItem_, &QAction::triggered, this, [this] { bringUp(windows_.hexEditor); });
    connect(choosePortItem_, &QAction::triggered, this, [this] {
        if (windows_.portDialog)
            windows_.portDialog->showPortChoice();
    });
    connect(aboutItem_, &QAction::triggered, this,
            [this] { showMessage(MessageIcon::Information, Str::kAboutCaption, aboutText()); });
}

QString MainWindow::aboutText() const
{
    QStringList lines;
    lines << QString::fromUtf8(Str::kAboutVersion).arg(QLatin1String(Str::kProgramName), QLatin1String(KESTOVA_VERSION))
          << QString::fromUtf8(Str::kAboutPurpose) << QString() << QString::fromUtf8(Str::kAboutOwnership)
          << QString::fromUtf8(Str::kAboutContact);
    // Facts about this installation go below, one line each.
    lines << QString() << QString::fromUtf8(Str::kAboutConfigFile).arg(QDir::toNativeSeparators(config_.path()));
    return lines.join(QLatin1Char('\n'));
}

// UTirel: the Help button and the menu items that open the other windows, and the
// text of the about box.
#include <QAction>
#include <QDir>
#include <QPushButton>

#include "app/UEndIO.h"
#include "app/UTirel.h"
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

void UTirel::connectWindowMenus()
{
    connect(ButtonHelp, &QPushButton::clicked, this, [this] { bringUp(windows_.help); });
    connect(menuHelpItem, &QAction::triggered, this, [this] { bringUp(windows_.help); });
    connect(menuSchematic, &QAction::triggered, this, [this] { bringUp(windows_.schematic); });
    connect(menuHexEditor, &QAction::triggered, this, [this] { bringUp(windows_.hexEditor); });
    connect(menuChoosePort, &QAction::triggered, this, [this] {
        if (windows_.portDialog)
            windows_.portDialog->FormShow();
    });
    connect(menuAbout, &QAction::triggered, this,
            [this] { showMessage(MessageIcon::Information, Str::kInformationCaption, aboutText()); });
}

QString UTirel::aboutText() const
{
    QStringList lines;
    lines << QString::fromUtf8(Str::kAboutVersion).arg(QLatin1String(Str::kProgramName), QLatin1String(KESTOVA_VERSION))
          << QString::fromUtf8(Str::kAboutPurpose) << QString()
          << QString::fromUtf8(Str::kAboutOwnership) << QString::fromUtf8(Str::kAboutContact);
    // Facts about this installation go below, one line each.
    lines << QString() << QString::fromUtf8(Str::kAboutConfigFile).arg(QDir::toNativeSeparators(config.path()));
    return lines.join(QLatin1Char('\n'));
}

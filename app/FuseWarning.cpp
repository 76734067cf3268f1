// A warning box with No as the default button: Enter must not end programming.
#include "app/FuseWarning.h"

#include <QMessageBox>

#include "target/FuseGuard.h"
#include "view/Strings.h"

bool confirmFuseHazards(QWidget* parent, const std::vector<FuseHazard>& hazards)
{
    QString text = QString::fromUtf8(Str::kFuseEndsIsp) + QStringLiteral("\n");
    for (const FuseHazard& hazard : hazards)
        text += QStringLiteral("\n") + fuseHazardText(hazard);
    text += QStringLiteral("\n\n") + QString::fromLatin1(Str::kFuseWriteAnyway);
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(Str::kWarningCaption), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

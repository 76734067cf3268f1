// SchematicWindow: the picture is a JPEG kept with the program (tools/schematic
// draws it), decoded by libjpeg when the window is created.
#include "app/SchematicWindow.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

#include "app/JpegDecoder.h"
#include "app/Named.h"
#include "view/Strings.h"

SchematicWindow::SchematicWindow(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(Str::kSchematicCaption);
    setFixedSize(797, 581);

    picture_ = named(new QLabel(this), QStringLiteral("SchematicPicture"));
    picture_->setGeometry(0, 0, 800, 581);
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // On a high-DPI screen the picture drawn at twice the size keeps its lines sharp.
    const bool sharp = devicePixelRatioF() > 1.0;
    QFile file(sharp ? QStringLiteral(":/schematic@2x.jpg") : QStringLiteral(":/schematic.jpg"));
    QString error;
    const QImage picture = file.open(QIODevice::ReadOnly) ? decodeJpeg(file.readAll(), &error) : QImage();
    if (!picture.isNull()) {
        QPixmap pixmap = QPixmap::fromImage(picture);
        pixmap.setDevicePixelRatio(sharp ? 2.0 : 1.0);
        picture_->setPixmap(pixmap);
    } else
        picture_->setText(QString::fromUtf8(Str::kPictureUnreadable).arg(error.isEmpty() ? file.errorString() : error));

    note_ = named(new QLabel(QString::fromUtf8(Str::kSchematicNote), this), QStringLiteral("SchematicNote"));
    note_->setGeometry(8, 24, 329, 185);
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->setAutoFillBackground(true);
    QPalette palette = note_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    note_->setPalette(palette);
}

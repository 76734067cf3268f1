// TForm3: the picture is a JPEG kept with the program (tools/schematic draws it),
// decoded by libjpeg when the window is created.
#include "app/uEsquema.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

#include "app/JpegDecoder.h"
#include "view/Strings.h"

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(Str::kSchematicCaption);
    setFixedSize(797, 581);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 800, 581);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFile file(QStringLiteral(":/schematic.jpg"));
    QString error;
    const QImage picture = file.open(QIODevice::ReadOnly) ? decodeJpeg(file.readAll(), &error) : QImage();
    if (!picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));
    else
        Image1->setText(QString::fromUtf8(Str::kPictureUnreadable).arg(error.isEmpty() ? file.errorString() : error));

    Label1 = new QLabel(QString::fromUtf8(Str::kSchematicNote), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 24, 329, 185);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(palette);
}

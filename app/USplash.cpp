// TSplash: borderless, silver, centred, one raised panel with the text.
#include "app/USplash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "view/Strings.h"

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(203, 59);
    setAutoFillBackground(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    silver.setColor(QPalette::WindowText, Qt::black);
    setPalette(silver);

    Panel1 = new QLabel(QString::fromUtf8(Str::kWait), this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(rect());
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(4);
    Panel1->setAlignment(Qt::AlignCenter);
    QFont font = Panel1->font();
    font.setBold(true);
    Panel1->setFont(font);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

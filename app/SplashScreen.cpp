// SplashScreen: borderless, silver, centred, one raised panel with the text.
#include "app/SplashScreen.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/Named.h"
#include "view/Strings.h"

SplashScreen::SplashScreen(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(203, 59);
    setAutoFillBackground(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    silver.setColor(QPalette::WindowText, Qt::black);
    setPalette(silver);

    message_ = named(new QLabel(QString::fromUtf8(Str::kWait), this), QStringLiteral("SplashMessage"));
    message_->setGeometry(rect());
    message_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    message_->setLineWidth(4);
    message_->setAlignment(Qt::AlignCenter);
    QFont font = message_->font();
    font.setBold(true);
    message_->setFont(font);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

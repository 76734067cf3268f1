// HelpWindow: a tool window with system menu and minimise button only, centred.
#include "app/HelpWindow.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/Named.h"
#include "view/Strings.h"

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormAjuda"));
    setWindowTitle(Str::kHelp);
    text_ = named(new QPlainTextEdit(this), QStringLiteral("HelpText"));
    text_->setReadOnly(true);
    // Long lines wrap at the window's edge, so no line needs a sideways scroll.
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->setPlainText(QString::fromUtf8(Str::kHelpText));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    // Escape closes it, as it closes a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    setMinimumSize(320, 200);
    resize(594, 411);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

// HelpWindow: the help window, the whole help text in a read-only box.
#pragma once

#include <QWidget>

class QPlainTextEdit;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

private:
    QPlainTextEdit* text_ = nullptr;
};

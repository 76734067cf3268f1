// TFormAjuda: the help window, the whole help text in a read-only box.
#pragma once

#include <QWidget>

class QPlainTextEdit;

class TFormAjuda : public QWidget {
    Q_OBJECT
public:
    explicit TFormAjuda(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
};

// HexFindDialog: asks the hex editor what to look for, as hex bytes or as text.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

class HexFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit HexFindDialog(QWidget* parent = nullptr);

    QString text() const;
    bool asText() const;
    void setSearch(const QString& text, bool asText);

private:
    QLineEdit* pattern_ = nullptr;
    QRadioButton* asHexButton_ = nullptr;
    QRadioButton* asTextButton_ = nullptr;
};

// HexFindDialog: a line to type in and the choice of how to read it.
#include "app/HexFindDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/Strings.h"

HexFindDialog::HexFindDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Str::kFindCaption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Str::kFindPrompt, this));
    Pattern = new QLineEdit(this);
    Pattern->setMinimumWidth(Pattern->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40);
    layout->addWidget(Pattern);
    auto* kinds = new QHBoxLayout;
    AsHex = new QRadioButton(Str::kFindHexBytes, this);
    AsText = new QRadioButton(Str::kFindText, this);
    AsHex->setChecked(true);
    kinds->addWidget(AsHex);
    kinds->addWidget(AsText);
    kinds->addStretch();
    layout->addLayout(kinds);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString HexFindDialog::text() const { return Pattern->text(); }

bool HexFindDialog::asText() const { return AsText->isChecked(); }

void HexFindDialog::setSearch(const QString& text, bool asText)
{
    Pattern->setText(text);
    Pattern->selectAll();
    (asText ? AsText : AsHex)->setChecked(true);
}

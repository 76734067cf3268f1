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
    pattern_ = new QLineEdit(this);
    pattern_->setMinimumWidth(pattern_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40);
    layout->addWidget(pattern_);
    auto* kinds = new QHBoxLayout;
    asHexButton_ = new QRadioButton(Str::kFindHexBytes, this);
    asTextButton_ = new QRadioButton(Str::kFindText, this);
    asHexButton_->setChecked(true);
    kinds->addWidget(asHexButton_);
    kinds->addWidget(asTextButton_);
    kinds->addStretch();
    layout->addLayout(kinds);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString HexFindDialog::text() const { return pattern_->text(); }

bool HexFindDialog::asText() const { return asTextButton_->isChecked(); }

void HexFindDialog::setSearch(const QString& text, bool asText)
{
    pattern_->setText(text);
    pattern_->selectAll();
    (asText ? asTextButton_ : asHexButton_)->setChecked(true);
}

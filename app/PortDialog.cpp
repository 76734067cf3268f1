// PortDialog: filling the list, storing the choice and opening the port.
#include "app/PortDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

#include "app/Named.h"
#include "link/FtdiAdapter.h"
#include "link/FtdiPortName.h"
#include "link/LineDriver.h"
#include "settings/ConfigFile.h"
#include "target/ErrorText.h"
#include "target/PortOpening.h"
#include "view/Strings.h"

PortDialog::PortDialog(ConfigFile& config, LineDriver& link, OperationView& view, QWidget* parent, PortList portList)
    : QDialog(parent), config_(config), link_(link), view_(view), portList_(std::move(portList))
{
    setObjectName(QStringLiteral("EndIO"));
    setModal(false);

    portNames_ = named(new QComboBox(this), QStringLiteral("ComboPort"));
    portNames_->setEditable(true);
    portNames_->setInsertPolicy(QComboBox::NoInsert);  // a typed name is used, not added to the list
    for (int i = 1; i <= 19; ++i)
        portNames_->addItem(QStringLiteral("COM%1").arg(i));
    portNames_->setCurrentIndex(0);
    portNames_->setMinimumContentsLength(48);  // the hint shown over an empty list fits

    okButton_ = named(new QPushButton(Str::kOk, this), QStringLiteral("ButtonOK"));
    okButton_->setDefault(true);
    cancelButton_ = named(new QPushButton(Str::kCancelar, this), QStringLiteral("ButtonCancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(portNames_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(okButton_, &QPushButton::clicked, this, &PortDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects as well

    setWindowTitle(Str::kChooseSerialPort);
}

QStringList PortDialog::portsPresent()
{
    QStringList names;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        names << port.portName();
    // FTDI adapters beside them, by serial number and description.
    for (const FtdiAdapterInfo& adapter : FtdiAdapter::list())
        names << adapterText(adapter);
    return names;
}

QString PortDialog::portNameOf(const QString& entry)
{
    // An FTDI adapter's entry is its port name and, in brackets, what it is.
    const qsizetype about = entry.indexOf(QLatin1String(" ("));
    return FtdiPortName::matches(entry) && about > 0 ? entry.left(about) : entry;
}

void PortDialog::showPortChoice()
{
    portNames_->clear();
    const QStringList ports = portList_ ? portList_() : QStringList();
    portNames_->addItems(ports);
    portNames_->setCurrentIndex(-1);
    portNames_->clearEditText();
    // An empty list with no word looks broken: the hint says why and what may be typed.
    portNames_->lineEdit()->setPlaceholderText(ports.isEmpty() ? Str::kNoPortsHint : Str::kPortHint);
    show();
    raise();
    activateWindow();
    portNames_->setFocus();
}

void PortDialog::accept()
{
    const QString name = portNameOf(portNames_->currentText().trimmed());
    if (name.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, Str::kErrorCaption, Str::kChoosePort, QMessageBox::Ok, this);
        box.exec();
        return;
    }
    // Stored before the open is tried: a port that is unplugged now is still the one to use next time.
    if (!config_.writeString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), name)) {
        QMessageBox box(QMessageBox::Critical, Str::kErrorCaption,
                        QStringLiteral("%1 %2").arg(QLatin1String(Str::kCannotWriteConfig), config_.path()),
                        QMessageBox::Ok, this);
        box.exec();
    }
    openPort(link_, name, view_);
    QDialog::accept();
}

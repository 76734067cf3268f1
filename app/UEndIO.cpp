// TEndIO: filling the list, storing the choice and opening the port.
#include "app/UEndIO.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

#include "link/LineDriver.h"
#include "target/ConfigFile.h"
#include "view/Strings.h"

TEndIO::TEndIO(ConfigFile& config, LineDriver& link, QWidget* parent, PortList portList)
    : QDialog(parent), config_(config), link_(link), portList_(std::move(portList))
{
    setObjectName(QStringLiteral("EndIO"));
    setModal(false);

    ComboPort = new QComboBox(this);
    ComboPort->setObjectName(QStringLiteral("ComboPort"));
    ComboPort->setEditable(true);
    ComboPort->setInsertPolicy(QComboBox::NoInsert);  // a typed name is used, not added to the list
    for (int i = 1; i <= 19; ++i)
        ComboPort->addItem(QStringLiteral("COM%1").arg(i));
    ComboPort->setCurrentIndex(0);
    ComboPort->setMinimumContentsLength(48);  // the hint shown over an empty list fits

    ButtonOK = new QPushButton(Str::kOk, this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(Str::kCancelar, this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ComboPort);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ButtonOK, &QPushButton::clicked, this, &TEndIO::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects as well

    setWindowTitle(Str::kChooseSerialPort);
}

QStringList TEndIO::PortListQuery()
{
    QStringList names;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        names << port.portName();
    return names;
}

void TEndIO::FormShow()
{
    ComboPort->clear();
    const QStringList ports = portList_ ? portList_() : QStringList();
    ComboPort->addItems(ports);
    ComboPort->setCurrentIndex(-1);
    ComboPort->clearEditText();
    // An empty list with no word looks broken: the hint says why and what may be typed.
    ComboPort->lineEdit()->setPlaceholderText(ports.isEmpty() ? Str::kNoPortsHint : Str::kPortHint);
    show();
    raise();
    activateWindow();
    ComboPort->setFocus();
}

void TEndIO::ButtonOKClick()
{
    const QString name = ComboPort->currentText().trimmed();
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
    link_.OpenSerialLink(name);
    accept();
}

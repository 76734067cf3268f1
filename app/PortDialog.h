// PortDialog: the "Choose serial port" dialog. Each showing lists the serial ports
// present; the name picked or typed (a SIM: name included) is stored under "PORTA"
// and opened at once. Modeless; closing only hides it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class ConfigFile;
class LineDriver;
class QComboBox;
class QPushButton;

class PortDialog : public QDialog {
    Q_OBJECT
public:
    using PortList = std::function<QStringList()>;

    PortDialog(ConfigFile& config, LineDriver& link, QWidget* parent = nullptr, PortList portList = portsPresent);

    // The serial ports present, in the order the system reports them.
    static QStringList portsPresent();

    // The menu's "Choose serial port": an empty choice over a fresh list, shown modeless.
    void showPortChoice();
    // OK and Return: stores and opens the name chosen; without one, asks for it and stays.
    void accept() override;

private:
    ConfigFile& config_;
    LineDriver& link_;
    PortList portList_;
    QComboBox* portNames_ = nullptr;  // editable: a name may be typed
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

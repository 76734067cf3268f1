// PortDialog: the "Choose serial port" dialog. Each showing lists the serial ports
// and FTDI adapters present; the name picked or typed (a SIM: name included) is stored under "PORTA"
// and opened at once. Modeless; closing only hides it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class ConfigFile;
class LineDriver;
class OperationView;
class QComboBox;
class QPushButton;

class PortDialog : public QDialog {
    Q_OBJECT
public:
    using PortList = std::function<QStringList()>;

    // The port opens on link; view hears of it as at start-up (the port's name, or a box
    // saying why it did not open).
    PortDialog(ConfigFile& config, LineDriver& link, OperationView& view, QWidget* parent = nullptr,
               PortList portList = portsPresent);

    // The serial ports present, in the order the system reports them, then the FTDI
    // adapters plugged in ("FTDI:A50285BI (FT232R USB UART)").
    static QStringList portsPresent();
    // The port name of an entry of that list (or of a name typed).
    static QString portNameOf(const QString& entry);

    // The menu's "Choose serial port": an empty choice over a fresh list, shown modeless.
    void showPortChoice();
    // OK and Return: stores and opens the name chosen; without one, asks for it and stays.
    void accept() override;

private:
    ConfigFile& config_;
    LineDriver& link_;
    OperationView& view_;
    PortList portList_;
    QComboBox* portNames_ = nullptr;  // editable: a name may be typed
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

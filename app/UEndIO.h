// TEndIO: the "Choose serial port" dialog. Each opening lists the serial ports
// present; the name picked or typed (a SIM: name included) is stored under
// "PORTA" and opened at once. Modeless; closing only hides it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class ConfigFile;
class LineDriver;
class QComboBox;
class QPushButton;

class TEndIO : public QDialog {
    Q_OBJECT
public:
    using PortList = std::function<QStringList()>;

    TEndIO(ConfigFile& config, LineDriver& link, QWidget* parent = nullptr, PortList portList = PortListQuery);

    // The serial ports present, in the order the system reports them.
    static QStringList PortListQuery();

    // The menu's "Choose serial port": an empty choice over a fresh list, shown modeless.
    void FormShow();
    void ButtonOKClick();

    QComboBox* ComboPort = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

private:
    ConfigFile& config_;
    LineDriver& link_;
    PortList portList_;
};

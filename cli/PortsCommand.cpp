// kestova-cli ports: the serial ports present, so the adapter can be found without
// the window. One port per line, tab-separated: name, description, manufacturer,
// USB vendor:product; "-" where the system does not know.
#include <QSerialPortInfo>
#include <algorithm>

#include "cli/CliCommand.h"

namespace {

QString orDash(const QString& text) { return text.isEmpty() ? QStringLiteral("-") : text; }

int runPorts(CliContext&)
{
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(),
              [](const QSerialPortInfo& a, const QSerialPortInfo& b) { return a.portName() < b.portName(); });
    for (const QSerialPortInfo& port : ports) {
        QString usb;
        if (port.hasVendorIdentifier() && port.hasProductIdentifier())
            usb = QStringLiteral("%1:%2")
                      .arg(port.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                      .arg(port.productIdentifier(), 4, 16, QLatin1Char('0'));
        printResult(QStringList{port.portName(), orDash(port.description()), orDash(port.manufacturer()), orDash(usb)}
                        .join(QLatin1Char('\t')));
    }
    if (ports.isEmpty())
        printError(QStringLiteral("no serial ports found"));
    return kExitOk;
}

const CliCommand::Registration kPorts({"ports", "",
                                       "list the serial ports present, with description, manufacturer and USB id",
                                       0, 0, false, runPorts});

}  // namespace

// kestova-cli ports: the serial ports present, then the FTDI adapters (FTDI:SERIAL), so
// the adapter can be found without the window. One port per line, tab-separated: name,
// description, manufacturer, USB vendor:product; "-" where the system does not know.
#include <QSerialPortInfo>
#include <algorithm>

#include "cli/CliCommand.h"
#include "link/FtdiAdapter.h"
#include "target/ErrorText.h"

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
        printResult(
            QStringList{port.portName(), orDash(port.description()), orDash(port.manufacturer()), orDash(usb)}.join(
                QLatin1Char('\t')));
    }
    PortError ftdiError;
    const std::vector<FtdiAdapterInfo> adapters = FtdiAdapter::list(&ftdiError);
    for (const FtdiAdapterInfo& adapter : adapters) {
        const QString usb = QStringLiteral("%1:%2")
                                .arg(FtdiAdapterInfo::kVendorId, 4, 16, QLatin1Char('0'))
                                .arg(adapter.productId, 4, 16, QLatin1Char('0'));
        printResult(
            QStringList{adapter.portName(), orDash(adapter.description), orDash(adapter.manufacturer), usb}.join(
                QLatin1Char('\t')));
    }
    if (ftdiError.failed())
        printError(errorText(ftdiError));
    if (ports.isEmpty() && adapters.empty())
        printError(QStringLiteral("no serial ports found"));
    return kExitOk;
}

const CliCommand::Registration kPorts(
    {"ports", "", "list the serial ports and FTDI adapters present, with description, manufacturer and USB id", 0, 0,
     false, runPorts});

}  // namespace

// SerialLink: QSerialPort opens and configures the port; the lines are then driven
// through its native handle, one system call per change. QSerialPort's own setters
// read the modem status before every change, which doubles the calls per bit, and on
// a USB adapter every call is a USB round trip.
#include "link/SerialLink.h"

#include <cerrno>

#include "link/PortOpenFailure.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {
#ifdef Q_OS_WIN
constexpr int kDtr = 1;
constexpr int kRts = 2;
#else
constexpr int kDtr = TIOCM_DTR;
constexpr int kRts = TIOCM_RTS;
#endif
}  // namespace

std::unique_ptr<SerialLink> SerialLink::open(const QString& portName, PortError* error)
{
    std::unique_ptr<SerialLink> link(new SerialLink);
    QSerialPort& port = link->port_;
    port.setPortName(portName);
    auto fail = [&](PortError::Code code) -> std::unique_ptr<SerialLink> {
        if (error)
            *error = {code, portName, port.errorString()};
        return nullptr;
    };
    if (portName.trimmed().isEmpty())
        return fail(PortError::Code::OpenFailed);
    if (!port.open(QIODevice::ReadWrite)) {
        if (error)
            *error = PortOpenFailure::describe(portName, port.error(), port.errorString());
        return nullptr;
    }

    // Opening leaves the cable idle: RTS asserted (SCK low), then DTR asserted.
    if (!link->setLine(kRts, true) || !link->setLine(kDtr, true) || !link->readOtherOutputs())
        return fail(PortError::Code::CannotDriveLines);
    port.clear(QSerialPort::AllDirections);

    // No byte is ever sent; the port only has to accept these settings.
    if (!port.setBaudRate(QSerialPort::Baud115200) || !port.setDataBits(QSerialPort::Data8)
        || !port.setParity(QSerialPort::NoParity) || !port.setStopBits(QSerialPort::OneStop)
        || !port.setFlowControl(QSerialPort::NoFlowControl))
        return fail(PortError::Code::CannotConfigure);

#ifdef Q_OS_WIN
    // RTS must stay a plain output, never toggled by the driver around transmissions.
    DCB dcb;
    dcb.DCBlength = sizeof dcb;
    HANDLE h = reinterpret_cast<HANDLE>(port.handle());
    if (GetCommState(h, &dcb)) {
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        SetCommState(h, &dcb);
    }
#endif
    return link;
}

SerialLink::~SerialLink() { port_.close(); }

bool SerialLink::setLine(int line, bool asserted)
{
#ifdef Q_OS_WIN
    HANDLE h = reinterpret_cast<HANDLE>(port_.handle());
    DWORD function = line == kDtr ? (asserted ? SETDTR : CLRDTR) : (asserted ? SETRTS : CLRRTS);
    const bool ok = EscapeCommFunction(h, function) != 0;
#else
    int bits = line;
    const bool ok = ::ioctl(port_.handle(), asserted ? TIOCMBIS : TIOCMBIC, &bits) == 0;
#endif
    // The cache only follows what the port took, so a failed change is tried again.
    if (ok)
        (line == kDtr ? dtr_ : rts_) = asserted;
    else
        recordSystemFailure();
    return ok;
}

bool SerialLink::readOtherOutputs()
{
#ifndef Q_OS_WIN
    int status = 0;
    if (::ioctl(port_.handle(), TIOCMGET, &status) != 0)
        return false;
    otherOutputs_ = status & ~(kDtr | kRts);
#endif
    return true;
}

void SerialLink::setLines(bool dtrAsserted, bool rtsAsserted)
{
    if (dtrAsserted == dtr_ && rtsAsserted == rts_)
        return;
#ifdef Q_OS_WIN
    ModemLines::setLines(dtrAsserted, rtsAsserted);
#else
    // One call for both: the driver sends one control request where it would send two.
    int bits = otherOutputs_ | (dtrAsserted ? kDtr : 0) | (rtsAsserted ? kRts : 0);
    if (::ioctl(port_.handle(), TIOCMSET, &bits) == 0) {
        dtr_ = dtrAsserted;
        rts_ = rtsAsserted;
    } else {
        recordSystemFailure();
    }
#endif
}

void SerialLink::setDtr(bool asserted)
{
    if (asserted != dtr_)
        setLine(kDtr, asserted);
}

void SerialLink::setRts(bool asserted)
{
    if (asserted != rts_)
        setLine(kRts, asserted);
}

bool SerialLink::cts()
{
#ifdef Q_OS_WIN
    DWORD status = 0;
    if (!GetCommModemStatus(reinterpret_cast<HANDLE>(port_.handle()), &status)) {
        recordSystemFailure();
        return false;
    }
    return (status & MS_CTS_ON) != 0;
#else
    int status = 0;
    // The bit of a failed read means nothing; the failure state tells the caller so.
    if (::ioctl(port_.handle(), TIOCMGET, &status) != 0) {
        recordSystemFailure();
        return false;
    }
    return (status & TIOCM_CTS) != 0;
#endif
}

void SerialLink::recordSystemFailure()
{
    // Only the first failure is kept, so the text is built once, off the per-bit path.
    if (failed())
        return;
#ifdef Q_OS_WIN
    recordFailure(qt_error_string(static_cast<int>(GetLastError())));
#else
    recordFailure(qt_error_string(errno));
#endif
}

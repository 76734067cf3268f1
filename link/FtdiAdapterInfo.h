// FtdiAdapterInfo: one FTDI adapter found on the USB bus, as the port dialog and
// `kestova-cli ports` show it and as a port name picks it.
#pragma once

#include <cstdint>

#include <QString>

struct FtdiAdapterInfo {
    static constexpr uint16_t kVendorId = 0x0403;
    static constexpr uint16_t kFt232rProductId = 0x6001;
    static constexpr uint16_t kFt231xProductId = 0x6015;

    QString serial;        // empty when the adapter has none or it could not be read
    QString description;   // the product string, e.g. "FT232R USB UART"
    QString manufacturer;  // e.g. "FTDI"
    uint16_t productId = 0;
    int bus = 0;  // USB bus and device address, 0 when unknown
    int address = 0;
    // False when its strings could not be read: the user may not open it (see
    // FtdiAdapter::open for the cure), so it is known by its place on the bus only.
    bool readable = true;

    QString chipName() const
    {
        return productId == kFt231xProductId ? QStringLiteral("FT231X") : QStringLiteral("FT232R");
    }
    // The port name that picks this adapter: FTDI:SERIAL, or FTDI: without a serial.
    QString portName() const { return QStringLiteral("FTDI:") + serial; }
    // The device file libusb opens, for telling a permission problem apart.
    QString usbNode() const
    {
        if (bus <= 0 || address <= 0)
            return {};
        return QStringLiteral("/dev/bus/usb/%1/%2")
            .arg(bus, 3, 10, QLatin1Char('0'))
            .arg(address, 3, 10, QLatin1Char('0'));
    }
};

// Port names that pick an FTDI adapter, and the reasons a pick or an open fails, as
// the user reads them.
#include <gtest/gtest.h>

#include "link/FtdiAdapter.h"
#include "link/FtdiPortName.h"
#include "target/ErrorText.h"

namespace {

FtdiAdapterInfo adapter(const char* serial, const char* description = "FT232R USB UART")
{
    FtdiAdapterInfo info;
    info.serial = QString::fromLatin1(serial);
    info.description = QString::fromLatin1(description);
    info.manufacturer = QStringLiteral("FTDI");
    info.productId = FtdiAdapterInfo::kFt232rProductId;
    info.bus = 1;
    info.address = 7;
    return info;
}

// The pick, and the user's text of its failure in *error.
int choose(const char* name, const std::vector<FtdiAdapterInfo>& present, QString* error = nullptr)
{
    PortError why;
    const int chosen = FtdiPortName::choose(QString::fromLatin1(name), present, &why);
    if (error)
        *error = why.failed() ? errorText(why) : QString();
    return chosen;
}

QString describeOpenFailure(const QString& name, const FtdiAdapterInfo& info, int code, const QString& reason,
                            bool nodeAccessible)
{
    return errorText(FtdiAdapter::describeOpenFailure(name, info, code, reason, nodeAccessible));
}

TEST(FtdiPortName, ThePrefixInAnyCaseMakesAnFtdiName)
{
    for (const char* name : {"FTDI:", "ftdi:", "Ftdi:A50285BI", "FTDI: A50285BI "})
        EXPECT_TRUE(FtdiPortName::matches(QString::fromLatin1(name))) << name;
    for (const char* name : {"FTDI", "ttyUSB0", "/dev/ttyUSB0", "SIM:atmega8", "COM1", "XFTDI:"})
        EXPECT_FALSE(FtdiPortName::matches(QString::fromLatin1(name))) << name;
    EXPECT_EQ(FtdiPortName::serialOf(QStringLiteral("ftdi: A50285BI ")), QStringLiteral("A50285BI"));
}

TEST(FtdiPortName, PicksTheOnlyAdapterOrTheOneWithTheSerialNumber)
{
    const std::vector<FtdiAdapterInfo> one = {adapter("A50285BI")};
    EXPECT_EQ(choose("FTDI:", one), 0);
    EXPECT_EQ(choose("FTDI:A50285BI", one), 0);
    EXPECT_EQ(choose("ftdi:a50285bi", one), 0);

    const std::vector<FtdiAdapterInfo> two = {adapter("A50285BI"), adapter("FT9XQ3", "FT231X USB UART")};
    EXPECT_EQ(choose("FTDI:FT9XQ3", two), 1);
    QString error;
    EXPECT_EQ(choose("FTDI:", two, &error), -1);
    EXPECT_EQ(error,
              QStringLiteral("cannot open FTDI:: 2 FTDI adapters are plugged in — name one by its serial "
                             "number: FTDI:A50285BI (FT232R USB UART), FTDI:FT9XQ3 (FT231X USB UART)"));
    EXPECT_EQ(choose("FTDI:B00000", two, &error), -1);
    EXPECT_EQ(error,
              QStringLiteral("cannot open FTDI:B00000: no FTDI adapter with the serial number B00000 is plugged "
                             "in (present: FTDI:A50285BI (FT232R USB UART), FTDI:FT9XQ3 (FT231X USB UART))"));
}

TEST(FtdiPortName, SerialNumbersThatDoNotTellAdaptersApartAreSaidSo)
{
    // An exact match wins over one in another case; cloned chips often share a serial.
    EXPECT_EQ(choose("FTDI:ab12", {adapter("AB12"), adapter("ab12")}), 1);
    QString error;
    EXPECT_EQ(choose("FTDI:A50285BI", {adapter("A50285BI"), adapter("A50285BI")}, &error), -1);
    EXPECT_EQ(error,
              QStringLiteral("cannot open FTDI:A50285BI: 2 FTDI adapters have the serial number A50285BI — "
                             "plug in only one of them"));
    // One the user may not read is known by its place on the bus, and only FTDI: reaches it.
    FtdiAdapterInfo locked = adapter("");
    locked.readable = false;
    EXPECT_EQ(choose("FTDI:", {locked}), 0);
    EXPECT_EQ(choose("FTDI:X1", {locked}, &error), -1);
    EXPECT_TRUE(error.endsWith(QLatin1String("(present: FTDI: (FT232R USB UART, USB bus 1 device 7, no access))")))
        << error.toStdString();
}

TEST(FtdiPortName, AnOpenRefusalNamesItsCure)
{
    const FtdiAdapterInfo info = adapter("A50285BI");
    const QString name = QStringLiteral("FTDI:");
    const QString denied = describeOpenFailure(name, info, -4, QStringLiteral("libusb_open() failed"), false);
    EXPECT_TRUE(denied.startsWith(QLatin1String("cannot open FTDI:: Permission denied on /dev/bus/usb/001/007")));
    EXPECT_TRUE(denied.contains(QLatin1String("plugdev group")) && denied.contains(QLatin1String("udev rule")));
    const QString detach = QStringLiteral("inappropriate permissions on device!");
    EXPECT_EQ(describeOpenFailure(name, info, -8, detach, true), denied);
    EXPECT_EQ(describeOpenFailure(name, info, -4, QStringLiteral("libusb_open() failed"), true),
              QStringLiteral("cannot open FTDI:: libusb_open() failed"))
        << "with access, the refusal is something else";
    EXPECT_TRUE(describeOpenFailure(name, info, -5, QStringLiteral("unable to claim usb device"), true)
                    .startsWith(QLatin1String("cannot open FTDI:: in use by another program or by the kernel's serial "
                                              "driver (unable to claim usb device)")));
}

}  // namespace

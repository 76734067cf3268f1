// errorText and openPort: the codes the libraries below report become the product's
// texts, word for word, and opening a port tells the user what became of it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "image/FileError.h"
#include "image/HexFileError.h"
#include "link/LineDriver.h"
#include "link/PortError.h"
#include "target/ErrorText.h"
#include "target/PortOpening.h"
#include "tests/support/FakeLines.h"
#include "tests/support/RecordingView.h"
#include "view/Strings.h"

namespace {

TEST(ErrorText, PortFailuresNameTheDeviceTheReasonAndTheCure)
{
    using Code = PortError::Code;
    const QString dev = QStringLiteral("/dev/ttyUSB0");
    const QString reason = QStringLiteral("Permission denied");
    const std::vector<std::pair<PortError, QString>> cases = {
        {{Code::NotOpened, QStringLiteral("COM99")}, QStringLiteral("cannot open COM99")},
        {{Code::OpenFailed, dev, QStringLiteral("No such file or directory")},
         QStringLiteral("cannot open /dev/ttyUSB0: No such file or directory")},
        {{Code::PermissionDenied, dev, reason}, QStringLiteral("cannot open /dev/ttyUSB0: Permission denied")},
        {{Code::JoinGroup, dev, reason, QStringLiteral("dialout")},
         QString::fromUtf8(Str::kPortJoinGroup).arg(dev, QStringLiteral("dialout"))},
        {{Code::Busy, dev, QStringLiteral("Device or resource busy")}, QString::fromUtf8(Str::kPortBusy).arg(dev)},
        {{Code::HeldBy, dev, reason, QStringLiteral("minicom"), 4242},
         QStringLiteral(
             "cannot open /dev/ttyUSB0: in use by minicom (process 4242) — close that program and try again")},
        {{Code::CannotDriveLines, QStringLiteral("ttyS0"), QStringLiteral("Input/output error")},
         QStringLiteral("cannot drive the modem lines of ttyS0: Input/output error")},
        {{Code::CannotConfigure, QStringLiteral("ttyS0"), QStringLiteral("Invalid argument")},
         QStringLiteral("cannot configure ttyS0: Invalid argument")},
        {{Code::UnknownSimulatedChip, QStringLiteral("SIM:at90"), {}, QStringLiteral("at90")},
         QStringLiteral("unknown simulated chip \"at90\"")},
        {{Code::BadPortOption, QStringLiteral("SIM:atmega8,slow=x"), {}, QStringLiteral("slow=x")},
         QStringLiteral("bad option \"slow=x\" in SIM:atmega8,slow=x")},
    };
    for (const auto& [error, expected] : cases)
        EXPECT_EQ(errorText(error), expected);
}

TEST(ErrorText, FileAndHexErrorsReadAsTheProductWritesThemAndOthersAsTheySay)
{
    const QString name = QStringLiteral("/tmp/x.bin");
    EXPECT_EQ(errorText(FileError(FileError::Code::NoFileName)), QString::fromUtf8(Str::kNoFileName));
    EXPECT_EQ(errorText(FileError(FileError::Code::CannotRead, name, QStringLiteral("Is a directory"))),
              QStringLiteral("Cannot read file \"/tmp/x.bin\". Is a directory"));
    EXPECT_EQ(errorText(FileError(FileError::Code::CannotCreate, name, QStringLiteral("Read-only file system"))),
              QStringLiteral("Cannot create file \"/tmp/x.bin\". Read-only file system"));
    EXPECT_EQ(errorText(HexFileError(HexFileError::Code::ChecksumMismatch, QStringLiteral("E2"), QStringLiteral("e2"))),
              QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r E2 <> e2"));
    EXPECT_EQ(errorText(HexFileError(HexFileError::Code::InvalidEnd)), QString::fromUtf8(Str::kInvalidHexEnd));
    EXPECT_EQ(errorText(HexFileError(HexFileError::Code::AddressTooHigh)), QString::fromUtf8(Str::kHexAddressTooHigh));
    // Caught as the top-level handlers catch them: by the base class.
    const std::exception& base = FileError(FileError::Code::OutputIsInput, name);
    EXPECT_EQ(errorText(base), QString::fromUtf8(Str::kOutputIsInput).arg(name));
    EXPECT_EQ(errorText(std::runtime_error("something else")), QStringLiteral("something else"));
}

TEST(OpenPort, ShowsThePortOrABoxSayingWhyWithTheProductsLineFirst)
{
    RecordingView view;
    LineDriver line([](const QString& name, PortError* error) -> std::unique_ptr<ModemLines> {
        if (name == QLatin1String("ttyUSB0"))
            return std::make_unique<FakeLines>();
        *error = {PortError::Code::Busy, QStringLiteral("/dev/") + name, QStringLiteral("Device or resource busy")};
        return nullptr;
    });
    EXPECT_TRUE(openPort(line, QStringLiteral("ttyUSB0"), view));
    EXPECT_EQ(view.port, QStringLiteral("ttyUSB0"));
    EXPECT_TRUE(view.messages.empty());

    EXPECT_FALSE(openPort(line, QStringLiteral("ttyUSB1"), view));
    EXPECT_EQ(view.port, QStringLiteral("ttyUSB0")) << "the old name stays until another port opens";
    EXPECT_FALSE(line.isOpen());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(view.messages[0].caption, QStringLiteral("Kestova"));
    EXPECT_EQ(view.messages[0].text,
              QLatin1String(Str::kCannotOpenPort) + QLatin1Char('\n')
                  + QString::fromUtf8(Str::kPortBusy).arg("/dev/ttyUSB1"));
}

}  // namespace

// errorText: codes and their data into the texts of view/Strings.h.
#include "target/ErrorText.h"

#include "image/FileError.h"
#include "image/HexFileError.h"
#include "link/PortError.h"
#include "view/Strings.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

QString fileErrorText(const FileError& error)
{
    switch (error.code()) {
    case FileError::Code::NoFileName: return text(Str::kNoFileName);
    case FileError::Code::CannotOpen: return text(Str::kCannotOpenFile).arg(error.fileName(), error.reason());
    case FileError::Code::CannotRead: return text(Str::kCannotReadFile).arg(error.fileName(), error.reason());
    case FileError::Code::CannotCreate: return text(Str::kCannotCreateFile).arg(error.fileName(), error.reason());
    case FileError::Code::CannotWrite: return text(Str::kCannotWriteFile).arg(error.fileName(), error.reason());
    case FileError::Code::OutputIsInput: return text(Str::kOutputIsInput).arg(error.fileName());
    case FileError::Code::NoData: return text(Str::kNoDataInFile).arg(error.fileName());
    }
    return QString::fromUtf8(error.what());
}

QString hexFileErrorMessage(const HexFileError& error)
{
    switch (error.code()) {
    case HexFileError::Code::InvalidFile: return text(Str::kInvalidHexFile);
    case HexFileError::Code::ChecksumMismatch:
        // The product's own layout: two CRs, then the computed sum against the file's.
        return text(Str::kHexChecksumError) + QStringLiteral("\r\r ") + error.computed() + QStringLiteral(" <> ")
            + error.found();
    case HexFileError::Code::InvalidEnd: return text(Str::kInvalidHexEnd);
    case HexFileError::Code::UnsupportedBlock: return text(Str::kUnsupportedHexBlock);
    case HexFileError::Code::BeyondFirst64K:
        return text(Str::kUnsupportedHexBlock) + QLatin1Char('\n') + text(Str::kHexBeyond64K).arg(error.found());
    case HexFileError::Code::DataBinIndex: return text(Str::kDataBinIndex);
    case HexFileError::Code::DataUsedIndex: return text(Str::kDataUsedIndex);
    case HexFileError::Code::AddressTooHigh: return text(Str::kHexAddressTooHigh);
    case HexFileError::Code::BinaryTooBig: return text(Str::kBinTooBigForHex);
    case HexFileError::Code::Unsupported32Bit: return text(Str::kHex32BitUnsupported);
    }
    return QString::fromUtf8(error.what());
}

// The product's text first (other programs match on it), then where it is.
QString hexFileErrorText(const HexFileError& error)
{
    const QString message = hexFileErrorMessage(error);
    if (error.line() <= 0)
        return message;
    const QString place = error.fileName().isEmpty()
        ? text(Str::kHexErrorAtLine).arg(error.line())
        : text(Str::kHexErrorInFile).arg(error.fileName(), QString::number(error.line()));
    return message + QLatin1Char('\n') + place;
}

}  // namespace

QString errorText(const std::exception& error)
{
    if (const auto* file = dynamic_cast<const FileError*>(&error))
        return fileErrorText(*file);
    if (const auto* hex = dynamic_cast<const HexFileError*>(&error))
        return hexFileErrorText(*hex);
    return QString::fromUtf8(error.what());
}

QString errorText(const PortError& error)
{
    switch (error.code) {
    case PortError::Code::None:
    case PortError::Code::NotOpened: return text(Str::kPortNotOpened).arg(error.port);
    case PortError::Code::OpenFailed: return text(Str::kPortOpenFailed).arg(error.port, error.reason);
    case PortError::Code::PermissionDenied: return text(Str::kPortPermissionDenied).arg(error.port);
    case PortError::Code::JoinGroup: return text(Str::kPortJoinGroup).arg(error.port, error.detail);
    case PortError::Code::Busy: return text(Str::kPortBusy).arg(error.port);
    case PortError::Code::HeldBy: return text(Str::kPortHeldBy).arg(error.port, error.detail).arg(error.pid);
    case PortError::Code::CannotDriveLines: return text(Str::kPortCannotDrive).arg(error.port, error.reason);
    case PortError::Code::CannotConfigure: return text(Str::kPortCannotConfigure).arg(error.port, error.reason);
    case PortError::Code::UnknownSimulatedChip: return text(Str::kUnknownSimulatedChip).arg(error.detail);
    case PortError::Code::BadPortOption: return text(Str::kBadPortOption).arg(error.detail, error.port);
    }
    return text(Str::kPortNotOpened).arg(error.port);
}

// errorText: codes and their data into the texts of view/Strings.h.
#include "target/ErrorText.h"

#include <QStringList>

#include "image/FileError.h"
#include "image/HexFileError.h"
#include "link/LineFailure.h"
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

QString adapterList(const std::vector<FtdiAdapterInfo>& adapters)
{
    if (adapters.empty())
        return text(Str::kFtdiNonePresent);
    QStringList names;
    for (const FtdiAdapterInfo& adapter : adapters)
        names << adapterText(adapter);
    return names.join(QStringLiteral(", "));
}

QString ftdiErrorText(const PortError& error)
{
    switch (error.code) {
    case PortError::Code::FtdiNoneFound: return text(Str::kFtdiNoneFound).arg(error.port);
    case PortError::Code::FtdiSerialNotFound:
        return text(Str::kFtdiSerialNotFound).arg(error.port, error.detail, adapterList(error.adapters));
    case PortError::Code::FtdiSeveral:
        return text(Str::kFtdiSeveral).arg(error.port).arg(error.adapters.size()).arg(adapterList(error.adapters));
    case PortError::Code::FtdiSameSerial:
        return text(Str::kFtdiSameSerial).arg(error.port).arg(error.adapters.size()).arg(error.detail);
    case PortError::Code::FtdiNoAccess: {
        const QString node = !error.detail.isEmpty() ? error.detail
            : error.adapters.empty()                 ? error.port
                                                     : adapterText(error.adapters.front());
        return text(Str::kFtdiNoAccess).arg(error.port, node);
    }
    case PortError::Code::FtdiInUse: return text(Str::kFtdiInUse).arg(error.port, error.reason);
    case PortError::Code::FtdiNoSyncBitBang: return text(Str::kFtdiNoSyncBitBang).arg(error.port, error.detail);
    case PortError::Code::FtdiListFailed:
        return text(Str::kFtdiListFailed).arg(error.reason.isEmpty() ? text(Str::kFtdiNotStarted) : error.reason);
    default: return text(Str::kPortNotOpened).arg(error.port);
    }
}

}  // namespace

QString adapterText(const FtdiAdapterInfo& adapter)
{
    QString about = adapter.description.isEmpty() ? adapter.chipName() : adapter.description;
    if (!adapter.readable || adapter.serial.isEmpty())
        about += text(Str::kFtdiAdapterPlace).arg(adapter.bus).arg(adapter.address);
    if (!adapter.readable)
        about += text(Str::kFtdiAdapterNoAccess);
    return text(Str::kFtdiAdapter).arg(adapter.portName(), about);
}

QString errorText(const LineFailure& failure)
{
    switch (failure.code) {
    case LineFailure::Code::None:
    case LineFailure::Code::System: return failure.reason;
    case LineFailure::Code::ShortWrite: return text(Str::kFtdiShortWrite).arg(failure.done).arg(failure.expected);
    case LineFailure::Code::MissingSamples:
        return text(Str::kFtdiMissingSamples).arg(failure.done).arg(failure.expected);
    }
    return failure.reason;
}

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
    default: return ftdiErrorText(error);
    }
    return text(Str::kPortNotOpened).arg(error.port);
}

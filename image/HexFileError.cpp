// HexFileError: what() is for logs and debuggers; users get errorText().
#include "image/HexFileError.h"

namespace {

std::string describe(HexFileError::Code code, const QString& computed, const QString& found)
{
    switch (code) {
    case HexFileError::Code::InvalidFile: return "Intel HEX: invalid record";
    case HexFileError::Code::ChecksumMismatch:
        return QStringLiteral("Intel HEX: checksum %1, the line says %2").arg(computed, found).toStdString();
    case HexFileError::Code::InvalidEnd: return "Intel HEX: invalid end record";
    case HexFileError::Code::UnsupportedBlock: return "Intel HEX: unsupported record type";
    case HexFileError::Code::BeyondFirst64K:
        return QStringLiteral("Intel HEX: extended linear address %1").arg(found).toStdString();
    case HexFileError::Code::DataBinIndex: return "Intel HEX: data index outside the image";
    case HexFileError::Code::DataUsedIndex: return "Intel HEX: used-flag index outside the image";
    case HexFileError::Code::AddressTooHigh: return "Intel HEX: address above FFFF";
    case HexFileError::Code::BinaryTooBig: return "Intel HEX: binary image above 64 KiB";
    case HexFileError::Code::Unsupported32Bit: return "Intel HEX: 32-bit form not supported";
    }
    return "Intel HEX error";
}

}  // namespace

HexFileError::HexFileError(Code code, const QString& computed, const QString& found)
    : std::runtime_error(describe(code, computed, found)), code_(code), computed_(computed), found_(found)
{
}

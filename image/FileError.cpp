// FileError: what() is for logs and debuggers; users get errorText().
#include "image/FileError.h"

namespace {

const char* codeName(FileError::Code code)
{
    switch (code) {
    case FileError::Code::NoFileName: return "no file name";
    case FileError::Code::CannotOpen: return "cannot open";
    case FileError::Code::CannotRead: return "cannot read";
    case FileError::Code::CannotCreate: return "cannot create";
    case FileError::Code::CannotWrite: return "cannot write";
    case FileError::Code::OutputIsInput: return "output is the input";
    case FileError::Code::NoData: return "no data";
    }
    return "file error";
}

std::string describe(FileError::Code code, const QString& fileName, const QString& reason)
{
    QString text = QLatin1String(codeName(code));
    if (!fileName.isEmpty())
        text += QStringLiteral(" \"%1\"").arg(fileName);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text.toStdString();
}

}  // namespace

FileError::FileError(Code code, const QString& fileName, const QString& reason)
    : std::runtime_error(describe(code, fileName, reason)), code_(code), fileName_(fileName), reason_(reason)
{
}

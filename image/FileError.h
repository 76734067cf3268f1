// FileError: why an image file could not be read or written. It carries a code and
// the file's name and the system's reason; the text the user reads is made above
// this library (errorText), where the table of user texts lives.
#pragma once

#include <QString>
#include <stdexcept>

class FileError : public std::runtime_error {
public:
    enum class Code {
        NoFileName,     // an empty name was given
        CannotOpen,     // the file would not open for reading
        CannotRead,     // it opened, but reading failed
        CannotCreate,   // the output could not be created (or committed)
        CannotWrite,    // writing into the created output failed
        OutputIsInput,  // the output named is the input file itself
        NoData,         // the file holds no byte of an image (empty, or HEX without data)
    };

    FileError(Code code, const QString& fileName = {}, const QString& reason = {});

    Code code() const { return code_; }
    const QString& fileName() const { return fileName_; }
    // The system's own words ("No such file or directory"); empty where it gave none.
    const QString& reason() const { return reason_; }

private:
    Code code_;
    QString fileName_;
    QString reason_;
};

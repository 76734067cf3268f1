// HexFileError: every error of the Intel HEX codec, as a code and the data its text
// needs (the checksum the line should have had and the one it has). The user's text
// is made above this library (errorText).
#pragma once

#include <QString>
#include <stdexcept>

class HexFileError : public std::runtime_error {
public:
    enum class Code {
        InvalidFile,       // a line that is no record, or shorter than its fields
        ChecksumMismatch,  // computed() and found() say which sums disagree
        InvalidEnd,        // an end record other than ":00000001FF"
        UnsupportedBlock,  // a record type this codec does not read
        BeyondFirst64K,    // an extended linear address other than 0000: found() holds its four digits
        DataBinIndex,      // a byte outside the image was asked for
        DataUsedIndex,     // a used flag outside the image was asked for
        AddressTooHigh,    // a used byte above FFFF cannot be written
        BinaryTooBig,      // a binary image above 64 KiB cannot become a HEX file
        Unsupported32Bit,  // the 32-bit form of the format is not supported
    };

    explicit HexFileError(Code code, const QString& computed = {}, const QString& found = {});

    Code code() const { return code_; }
    // For ChecksumMismatch: the sum of the line's bytes as two hex digits, and the two
    // characters the line holds in its checksum field (as written, case included).
    const QString& computed() const { return computed_; }
    const QString& found() const { return found_; }

    // Where the parser met it: the file (empty for text that came from no file) and the
    // 1-based line; line 0 for errors that belong to no line.
    void setPlace(const QString& fileName, int line)
    {
        fileName_ = fileName;
        line_ = line;
    }
    const QString& fileName() const { return fileName_; }
    int line() const { return line_; }

private:
    Code code_;
    QString computed_;
    QString found_;
    QString fileName_;
    int line_ = 0;
};

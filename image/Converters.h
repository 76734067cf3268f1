// HEX <-> BIN conversions, file to file. The input is read and checked before the
// output is written, and the output is written whole or not at all. Errors are
// thrown (FileError, HexFileError); nothing is shown on success.
#pragma once

#include <QString>

#include "image/ImageBuffer.h"

// The two steps apart, for a front end that asks for the output only once the input
// has proved good (the Tools menu): construct from the input, then writeTo the output.
class HexToBinConversion {
public:
    // Parses the HEX file; the binary image starts at address 0 and ends at the
    // highest used address, gaps holding 0xFF. A file without data is refused
    // (FileError::Code::NoData).
    explicit HexToBinConversion(const QString& in);
    // Refuses the input file itself as the output (FileError::Code::OutputIsInput).
    void writeTo(const QString& out) const;

private:
    QString in_;
    ImageBuffer image_;
    qint32 length_ = 0;
};

class BinToHexConversion {
public:
    // Reads the binary file; above 65,536 bytes it is refused (BinaryTooBig).
    explicit BinToHexConversion(const QString& in);
    // 16 data bytes per record from address 0000 (an empty input gives the end record
    // alone); refuses the input as the output.
    void writeTo(const QString& out);

private:
    QString in_;
    QByteArray text_;
};

// The Intel HEX text of a binary image: 16 data bytes per record from address 0000,
// CR LF after every line, the end record last (alone for no bytes). Above 65,536
// bytes HexFileError BinaryTooBig: four address digits reach no further.
QByteArray hexTextOf(const QByteArray& bytes);

// Both steps at once (kestova-cli): the same file as input and output is refused first.
void convertHexToBin(const QString& in, const QString& out);
void convertBinToHex(const QString& in, const QString& out);

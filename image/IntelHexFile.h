// IntelHexFile: the Intel HEX codec. Turns the lines of a HEX file into a byte image
// with a per-address "used" flag and back. Reads data, end-of-file and extended
// segment address records, and the extended linear address record of the first
// 64 KiB, in either case of hex digits; skips start address records; writes data
// and end-of-file records. Errors are thrown
// as HexFileError (the codec) and FileError (the file).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "image/HexFileError.h"

enum class HexFileVersion { Bits16, Bits32 };

// Which side changed last: the text must be parsed, or the data must be built.
enum class DirtyState { Clean, TextChanged, DataChanged };

class IntelHexFile {
public:
    IntelHexFile();
    IntelHexFile(const IntelHexFile&) = delete;
    IntelHexFile& operator=(const IntelHexFile&) = delete;

    HexFileVersion version() const { return version_; }
    // The version is stored either way; false for Bits32, which this codec does not
    // support: the caller tells the user (HexFileError::Code::Unsupported32Bit).
    [[nodiscard]] bool setVersion(HexFileVersion version);
    qint32 dataSize() const { return dataSize_; }
    void setDataSize(qint32 size);
    bool autoUpdate() const { return autoUpdate_; }
    void setAutoUpdate(bool on);
    qint32 hexLineLen() const { return hexLineLen_; }
    void setHexLineLen(qint32 length);
    quint8 unusedBytes() const { return unusedBytes_; }
    void setUnusedBytes(quint8 value) { unusedBytes_ = value; }

    // Reads outside 0..dataSize-1 throw like the stores do, rather than read past the arrays.
    quint8 dataBin(qint32 index) const;
    void setDataBin(qint32 index, quint8 value);
    quint8 dataUsed(qint32 index) const;
    void setDataUsed(qint32 index, quint8 used);

    const QStringList& lines() const { return lines_; }
    DirtyState dirty() const { return dirty_; }
    bool locked() const { return locked_; }

    void beginUpdate();
    void endUpdate();
    void update();

    // A parse error then names the file and the line (HexFileError::setPlace).
    void loadFromFile(const QString& fileName);
    // loadFromFile without the file: splits the text into lines. fileName, when given,
    // is where the text came from, for the errors.
    void loadFromText(const QByteArray& text, const QString& fileName = QString());
    // The next update builds the text even when no byte was stored, so an image with no
    // used address still gets its end record.
    void markDataChanged();
    // Every line followed by CR LF. Does not run update first.
    void saveToFile(const QString& fileName) const;
    // What saveToFile writes.
    QByteArray text() const;

    // Added to every data record address; shared by all objects, reset by creating one,
    // set by extended segment address records and never reset by parsing.
    static qint32 segmentBase() { return segmentBase_; }
    static void setSegmentBase(qint32 base) { segmentBase_ = base; }

private:
    bool inRange(qint32 index) const { return index >= 0 && index < dataSize_; }
    bool updatesAtOnce() const { return autoUpdate_ && !locked_; }
    void parse();
    void loadText(const QByteArray& text, const QString& fileName);
    bool parseLine(const QString& line);  // true at the end record
    void build();

    static qint32 segmentBase_;

    HexFileVersion version_ = HexFileVersion::Bits16;
    qint32 dataSize_ = 0;
    std::vector<quint8> dataBin_;
    std::vector<quint8> dataUsed_;
    QStringList lines_;
    QString sourceName_;  // the file the lines came from, for the errors
    DirtyState dirty_ = DirtyState::Clean;
    bool autoUpdate_ = false;
    qint32 hexLineLen_ = 16;
    quint8 unusedBytes_ = 0;
    bool locked_ = false;
};

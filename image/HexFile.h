// THexFile: the Intel HEX codec. Turns the lines of a HEX file into a byte image
// with a per-address "used" flag and back. Reads data, end-of-file and extended
// segment address records; writes data and end-of-file records.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

class OperationView;

enum THexfileVersion { hv16Bit, hv32Bit };

// Which side changed last: the text must be parsed, or the data must be built.
enum TDirtyState { dsClean, dsTextChanged, dsDataChanged };

// Every codec error; what() is the text the user sees.
class EHexFileError : public std::runtime_error {
public:
    explicit EHexFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

class THexFile {
public:
    // The owner only shows the warning for hv32Bit; null means nowhere to show it.
    explicit THexFile(OperationView* owner);
    THexFile(const THexFile&) = delete;
    THexFile& operator=(const THexFile&) = delete;

    THexfileVersion HexfileVersion() const { return version_; }
    void setHexfileVersion(THexfileVersion version);
    qint32 DataSize() const { return dataSize_; }
    void setDataSize(qint32 size);
    bool AutoUpdate() const { return autoUpdate_; }
    void setAutoUpdate(bool on);
    qint32 HexLineLen() const { return hexLineLen_; }
    void setHexLineLen(qint32 length);
    quint8 UnusedBytes() const { return unusedBytes_; }
    void setUnusedBytes(quint8 value) { unusedBytes_ = value; }

    // Reads outside 0..DataSize-1 throw like the stores do, rather than read past the arrays.
    quint8 DataBin(qint32 index) const;
    void setDataBin(qint32 index, quint8 value);
    quint8 DataUsed(qint32 index) const;
    void setDataUsed(qint32 index, quint8 used);

    const QStringList& Lines() const { return lines_; }
    TDirtyState Dirty() const { return dirty_; }
    bool Locked() const { return locked_; }

    void BeginUpdate();
    void EndUpdate();
    void Update();

    void LoadFromFile(const QString& fileName);
    // LoadFromFile without the file: splits the text into Lines.
    void loadFromText(const QByteArray& text);
    // Every line followed by CR LF. Does not run Update first.
    void SaveToFile(const QString& fileName) const;

    // Added to every data record address; shared by all objects, reset by creating one,
    // set by extended segment address records and never reset by parsing.
    static qint32 SegmentBase;

private:
    bool inRange(qint32 index) const { return index >= 0 && index < dataSize_; }
    bool updatesAtOnce() const { return autoUpdate_ && !locked_; }
    void parse();
    bool parseLine(const QString& line);  // true at the end record
    void build();

    OperationView* owner_;
    THexfileVersion version_ = hv16Bit;
    qint32 dataSize_ = 0;
    std::vector<quint8> dataBin_;
    std::vector<quint8> dataUsed_;
    QStringList lines_;
    TDirtyState dirty_ = dsClean;
    bool autoUpdate_ = false;
    qint32 hexLineLen_ = 16;
    quint8 unusedBytes_ = 0;
    bool locked_ = false;
};

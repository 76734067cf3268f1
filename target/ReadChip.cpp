// The chip read: sync first, then the file, then one byte read at a time.
#include "target/ReadChip.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <vector>

#include "image/Converters.h"
#include "image/FileError.h"
#include "image/ImageBuffer.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/RunReport.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

[[noreturn]] void fileFailed(FileError::Code code, const QFileDevice& file, const QString& name)
{
    throw FileError(code, name, file.errorString());
}

// Where the bytes go. A binary file gets each byte as it is read (unbuffered), so a
// stopped read keeps all of them and a full disk stops the read at the first byte
// that did not fit. An Intel HEX file (a HEX name) is written whole at the end, from
// the bytes read; it is created at the start all the same, so a folder that takes no
// file is found out before the chip is read.
class ReadOutput {
public:
    explicit ReadOutput(const QString& name) : name_(name), hex_(isHexFileName(name)), binary_(name), text_(name)
    {
        const bool opened = hex_ ? text_.open(QIODevice::WriteOnly)
                                 : binary_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        if (!opened)
            fileFailed(FileError::Code::CannotCreate, device(), name_);
    }

    void append(char byte)
    {
        if (hex_)
            bytes_ += byte;
        else if (binary_.write(&byte, 1) != 1)
            fileFailed(FileError::Code::CannotWrite, binary_, name_);
    }

    void finish()
    {
        if (!hex_) {
            binary_.close();
            return;
        }
        const QByteArray text = hexTextOf(bytes_);
        if (text_.write(text) != text.size() || !text_.commit())
            fileFailed(FileError::Code::CannotWrite, text_, name_);
    }

private:
    const QFileDevice& device() const { return hex_ ? static_cast<const QFileDevice&>(text_) : binary_; }

    QString name_;
    bool hex_;
    QFile binary_;
    QSaveFile text_;
    QByteArray bytes_;
};

// Reads the chosen memory byte by byte into keep(), which may throw a file error;
// true when a cancel stopped it before the last byte.
template <typename Keep>
bool readAll(DeviceSession& session, Keep keep)
{
    OperationView& view = session.view();
    const int32_t count = session.target().selectedCapacity();
    view.showProgress(0, count, QString());
    view.showPhase(QString::fromLatin1(Str::kReading));
    RunReport& report = session.report();
    report.kind = RunKind::Read;
    report.total = count;
    bool stopped = false;
    std::vector<uint8_t> bytes;
    for (int32_t first = 0; first < count && !stopped;) {
        // A batch of reads goes out together; each byte is then handled as if read alone.
        session.readBytes(first, std::min(session.batchLength(1), count - first), bytes);
        for (size_t i = 0; i < bytes.size() && !stopped; ++i) {
            const int32_t address = first++;
            keep(static_cast<char>(bytes[i]));
            report.done = address + 1;
            view.showProgress(address + 1, count, QString::number(address + 1) + QLatin1String(Str::kBytes));
            // The cancel flag counts only while bytes remain: a read that got them all is done.
            stopped = address + 1 < count && !session.step();
        }
    }
    session.release();
    return stopped;
}

void readInto(DeviceSession& session, const QString& fileName)
{
    OperationView& view = session.view();
    view.setCancelRequested(false);

    ReadOutput output(fileName);
    bool stopped = false;
    try {
        stopped = readAll(session, [&](char byte) { output.append(byte); });
    } catch (const FileError&) {
        throw;
    } catch (...) {
        // A lost port: the bytes read before it are good, and kept as a cancel keeps them.
        try {
            output.finish();
        } catch (const std::exception&) {
        }
        throw;
    }
    output.finish();
    view.showResult(QString::fromLatin1(stopped ? Str::kCancelled : Str::kDone), false);
}

}  // namespace

RunOutcome readChip(DeviceRunner& runner, const QString& fileName)
{
    return runner.run([&](DeviceSession& session) { readInto(session, fileName); });
}

// The same read into memory: the bytes land in the report's chipBytes.
RunOutcome readChipToMemory(DeviceRunner& runner)
{
    return runner.run([](DeviceSession& session) {
        session.view().setCancelRequested(false);
        QByteArray& bytes = session.report().chipBytes;
        bytes.reserve(session.target().selectedCapacity());
        const bool stopped = readAll(session, [&](char byte) { bytes.append(byte); });
        session.view().showResult(QString::fromLatin1(stopped ? Str::kCancelled : Str::kDone), false);
    });
}

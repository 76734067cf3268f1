// The chip read: sync first, then the file, then one byte read and written at a time.
#include "target/ReadChip.h"

#include <QFile>
#include <algorithm>
#include <vector>

#include "image/FileError.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/RunReport.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

[[noreturn]] void fileFailed(FileError::Code code, const QFile& file)
{
    throw FileError(code, file.fileName(), file.errorString());
}

// Reads the chosen memory byte by byte into keep(), which may throw a file error.
template <typename Keep>
void readAll(DeviceSession& session, Keep keep)
{
    OperationView& view = session.view();
    const int32_t count = session.target().selectedCapacity();
    view.showProgress(0, count, QString());
    view.showPhase(QString::fromLatin1(Str::kReading));
    RunReport& report = session.report();
    report.kind = RunKind::Read;
    report.total = count;
    std::vector<uint8_t> bytes;
    for (int32_t first = 0; first < count;) {
        // A batch of reads goes out together; each byte is then handled as if read alone.
        session.readBytes(first, std::min(session.batchLength(1), count - first), bytes);
        bool more = true;
        for (size_t i = 0; i < bytes.size() && more; ++i) {
            const int32_t address = first++;
            keep(static_cast<char>(bytes[i]));
            report.done = address + 1;
            view.showProgress(address + 1, count, QString::number(address + 1) + QLatin1String(Str::kBytes));
            more = session.step();
        }
        if (!more)
            break;
    }
    session.release();
}

void readInto(DeviceSession& session, const QString& fileName)
{
    OperationView& view = session.view();
    view.setCancelRequested(false);

    // Unbuffered: each byte reaches the file as it is read, so a cancelled read keeps
    // all of them and a full disk stops the read at the first byte that did not fit.
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fileFailed(FileError::Code::CannotCreate, file);
    readAll(session, [&](char byte) {
        if (file.write(&byte, 1) != 1)
            fileFailed(FileError::Code::CannotWrite, file);
    });
    file.close();
    view.showResult(QString::fromLatin1(Str::kDone), false);
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
        readAll(session, [&](char byte) { bytes.append(byte); });
        session.view().showResult(QString::fromLatin1(Str::kDone), false);
    });
}

// The chip read: sync first, then the file, then one byte read and written at a time.
#include "target/ReadChip.h"

#include <QFile>

#include "image/FileError.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

[[noreturn]] void fileFailed(FileError::Code code, const QFile& file)
{
    throw FileError(code, file.fileName(), file.errorString());
}

void readInto(DeviceSession& session, const QString& fileName)
{
    OperationView& view = session.view();
    const int32_t count = session.target().selectedCapacity();
    view.setCancelRequested(false);

    // Unbuffered: each byte reaches the file as it is read, so a cancelled read keeps
    // all of them and a full disk stops the read at the first byte that did not fit.
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fileFailed(FileError::Code::CannotCreate, file);
    view.showProgress(0, count, QString());
    view.showPhase(QString::fromLatin1(Str::kReading));
    for (int32_t address = 0; address < count; ++address) {
        const char byte = static_cast<char>(session.readByte(address));
        if (file.write(&byte, 1) != 1)
            fileFailed(FileError::Code::CannotWrite, file);
        view.showProgress(address + 1, count, QString::number(address + 1) + QLatin1String(Str::kBytes));
        if (!session.step())
            break;
    }
    session.release();
    file.close();
    view.showResult(QString::fromLatin1(Str::kDone), false);
}

}  // namespace

RunOutcome readChip(DeviceRunner& runner, const QString& fileName)
{
    return runner.run([&](DeviceSession& session) { readInto(session, fileName); });
}

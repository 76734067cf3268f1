// The chip read: sync first, then the file, then one byte read and written at a time.
#include "target/ReadChip.h"

#include <QFile>
#include <stdexcept>

#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

[[noreturn]] void fileFailed(const char* text, const QFile& file)
{
    throw std::runtime_error(QString::fromUtf8(text).arg(file.fileName(), file.errorString()).toStdString());
}

void readInto(DeviceSession& session, const QString& fileName)
{
    OperationView& view = session.view();
    const int32_t count = selectedCapacity(session.target());
    view.setCancelRequested(false);

    // Unbuffered: each byte reaches the file as it is read, so a cancelled read keeps
    // all of them and a full disk stops the read at the first byte that did not fit.
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fileFailed(Str::kCannotCreateFile, file);
    view.setGauge(0, count - 1);
    view.setPanelText(0, QString::fromLatin1(Str::kReading));
    for (int32_t address = 0; address < count; ++address) {
        const char byte = static_cast<char>(session.readByte(address));
        if (file.write(&byte, 1) != 1)
            fileFailed(Str::kCannotWriteFile, file);
        view.setGauge(address, count - 1);
        view.setPanelText(1, QString::number(address + 1) + QLatin1String(Str::kBytes));
        if (!session.step())
            break;
    }
    session.release();
    file.close();
    view.setPanelText(0, QString::fromLatin1(Str::kDone));
}

}  // namespace

RunOutcome ReadChip(DeviceRunner& runner)
{
    // A click during another operation must not even open the dialog.
    if (runner.busy())
        return RunOutcome::Busy;
    const QString fileName = runner.view().askSaveFileName(QString::fromLatin1(Str::kFilterBin),
                                                           QString::fromLatin1(Str::kDefaultExtBin));
    if (fileName.isEmpty())
        return RunOutcome::Cancelled;
    return ReadChip(runner, fileName);
}

RunOutcome ReadChip(DeviceRunner& runner, const QString& fileName)
{
    return runner.run([&](DeviceSession& session) { readInto(session, fileName); });
}

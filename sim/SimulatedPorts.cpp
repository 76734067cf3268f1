// SIM: port names: a simulated chip behind the modem lines, its state kept on disk.
#include "sim/SimulatedPorts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>
#include <QtGlobal>
#include <map>

#include "link/PortOpener.h"
#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"

namespace {

const QLatin1String kSimPrefix("SIM:");

std::unique_ptr<ModemLines> failWith(PortError* error, PortError::Code code, const QString& port, const QString& detail)
{
    if (error)
        *error = {code, port, QString(), detail};
    return nullptr;
}

// A damaged file is put aside rather than overwritten at the next close, and the
// user is told: the chip they wrote earlier is not there.
void loadSavedState(const QString& path, ChipModel& chip)
{
    QString why;
    if (loadChipState(path, chip, &why) != ChipStateLoad::Unreadable)
        return;
    const QString kept = path + QStringLiteral(".bad");
    QFile::remove(kept);
    const QString done = QFile::rename(path, kept)
        ? QStringLiteral("it was moved to %1 and the chip starts erased").arg(kept)
        : QStringLiteral("the chip starts erased and the file is replaced when the port closes");
    qWarning("The simulated chip file %s is unreadable (%s): %s.", qPrintable(path), qPrintable(why), qPrintable(done));
}

// A simulated chip is one port, as a serial device is: while one program has it open,
// another that opens it is refused with the holder's name, as a real port's lock file
// refuses it. Within one program it may be opened again (a port dialog reopening it),
// so the lock is shared by the program's open ports and let go with the last one.
std::shared_ptr<QLockFile> lockChip(const QString& statePath, const QString& portName, PortError* error, bool* refused)
{
    static std::map<QString, std::weak_ptr<QLockFile>> held;
    const QString lockPath = statePath + QStringLiteral(".lock");
    if (std::shared_ptr<QLockFile> ours = held[lockPath].lock())
        return ours;
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    auto lock = std::make_shared<QLockFile>(lockPath);
    // Only a holder that is gone makes a lock stale, however long it has been held.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        held[lockPath] = lock;
        return lock;
    }
    qint64 pid = 0;
    QString host, program;
    if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &program)) {
        *refused = true;
        if (error)
            *error = {PortError::Code::HeldBy, portName, QString(), program.isEmpty() ? QStringLiteral("?") : program,
                      pid};
        return nullptr;
    }
    // A folder that takes no lock file takes no state file either; the chip still works.
    qWarning("Cannot lock the simulated chip file %s", qPrintable(lockPath));
    return nullptr;
}

}  // namespace

std::unique_ptr<ModemLines> openSimulatedPort(const QString& portName, PortError* error)
{
    const QStringList parts = portName.mid(kSimPrefix.size()).split(QLatin1Char(','));
    const QString& keyword = parts.first();
    std::unique_ptr<ChipModel> chip;
    if (keyword.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        const std::optional<SimChipType> type = simChipTypeForKeyword(keyword);
        if (!type)
            return failWith(error, PortError::Code::UnknownSimulatedChip, portName, keyword);
        chip = makeChipModel(*type);
    }

    int minHalfUs = 0;
    long unplugAfter = -1;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& option = parts[i];
        bool ok = false;
        if (option.startsWith(QLatin1String("slow="))) {
            minHalfUs = option.mid(5).toInt(&ok);
            ok = ok && minHalfUs >= 0;
        } else if (option.startsWith(QLatin1String("unplug="))) {
            unplugAfter = option.mid(7).toLong(&ok);
            ok = ok && unplugAfter >= 0;
        } else if (option.startsWith(QLatin1String("lose=")) && chip) {
            const QStringList fields = option.mid(5).split(QLatin1Char(':'));
            bool addressOk = false, countOk = false;
            const uint address = fields.size() == 2 ? fields[0].toUInt(&addressOk, 0) : 0;
            const int count = fields.size() == 2 ? fields[1].toInt(&countOk) : 0;
            ok = addressOk && countOk && count >= 0;
            if (ok)
                chip->loseWrites(SimMemory::Flash, address, count);
        }
        if (!ok)
            return failWith(error, PortError::Code::BadPortOption, portName, option);
    }

    QString path;
    std::shared_ptr<QLockFile> lock;
    if (chip) {
        path = simStatePath(simStateDirectory(), chip->type());
        bool refused = false;
        lock = lockChip(path, portName, error, &refused);
        if (refused)
            return nullptr;
        loadSavedState(path, *chip);
    }
    auto target = std::make_unique<SimulatedTarget>(std::move(chip));
    target->setMinHalfPeriod(std::chrono::microseconds(minHalfUs));
    target->unplugAfter(unplugAfter);
    // Tests on a loaded machine set it long, so that a stall is not taken for a reset.
    bool resyncOk = false;
    const int resyncMs = qEnvironmentVariableIntValue("KESTOVA_SIM_RESYNC_MS", &resyncOk);
    if (resyncOk && resyncMs > 0)
        target->setResyncIdle(std::chrono::milliseconds(resyncMs));
    if (!path.isEmpty()) {
        // The lock goes with the port, after its last save.
        target->setSaveHandler([path, lock](const ChipModel& chip) {
            QString why;
            if (!saveChipState(path, chip, &why))
                qWarning("Cannot save the simulated chip to %s: %s", qPrintable(path), qPrintable(why));
        });
    }
    return target;
}

void registerSimulatedPorts() { PortOpener::registerPrefix(kSimPrefix, openSimulatedPort); }

// PortOpenFailure: QSerialPort reports a refused open as a PermissionError whether the
// device's mode bars the user, another program has it open exclusively, or another
// process holds its lock file; these need different cures, so they are told apart here.
#include "link/PortOpenFailure.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace {

#ifdef Q_OS_UNIX
// The group a user must join to open the device, empty when joining would not help.
QString groupToJoin(const QString& device)
{
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 || info.st_gid == 0)
        return {};
    if (::getegid() == info.st_gid)
        return {};
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? count : 0);
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        for (gid_t g : groups)
            if (g == info.st_gid)
                return {};  // a member already: the mode bits themselves refuse
    }
    const struct group* entry = ::getgrgid(info.st_gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(info.st_gid);
}

bool processIsAlive(qint64 pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }
#endif

}  // namespace

QString PortOpenFailure::devicePath(const QString& portName)
{
#ifdef Q_OS_UNIX
    if (!portName.startsWith(QLatin1Char('/')) && !portName.startsWith(QLatin1String("./")))
        return QStringLiteral("/dev/") + portName;
#endif
    return portName;
}

qint64 PortOpenFailure::lockHolder(const QString& device, QString* program)
{
#ifdef Q_OS_UNIX
    // The UUCP-style lock: LCK..NAME, NAME the device below /dev with '/' as '_', in
    // whichever of the usual lock folders the other program used.
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QStringList folders = {
        QStringLiteral("/var/lock"),       QStringLiteral("/run/lock"),
        QStringLiteral("/etc/locks"),      QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"), QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),        QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString& folder : folders) {
        const QString path = folder + QStringLiteral("/LCK..") + name;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // First line the holder's process id (padded text in both common formats),
        // then, in Qt's format, the program name.
        const QList<QByteArray> lines = file.read(256).split('\n');
        bool ok = false;
        const qint64 pid = lines.value(0).trimmed().toLongLong(&ok);
        if (!ok || pid == QCoreApplication::applicationPid() || !processIsAlive(pid))
            continue;
        QString holder;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly))
            holder = QString::fromLocal8Bit(comm.readAll().trimmed());
        if (holder.isEmpty())
            holder = QString::fromLocal8Bit(lines.value(1).trimmed());
        if (program)
            *program = holder;
        return pid;
    }
#else
    Q_UNUSED(device);
    Q_UNUSED(program);
#endif
    return 0;
}

PortError PortOpenFailure::describe(const QString& portName, QSerialPort::SerialPortError error,
                                    const QString& errorString)
{
    const QString device = devicePath(portName);
#ifdef Q_OS_UNIX
    if (error == QSerialPort::PermissionError) {
        // QSerialPort words a failed open() with the system's own text for its errno.
        if (errorString == qt_error_string(EACCES)) {
            const QString group = groupToJoin(device);
            if (group.isEmpty())
                return {PortError::Code::PermissionDenied, device, errorString};
            return {PortError::Code::JoinGroup, device, errorString, group};
        }
        if (errorString == qt_error_string(EBUSY))
            return {PortError::Code::Busy, device, errorString};
        QString program;
        const qint64 pid = lockHolder(device, &program);
        if (pid > 0)
            return {PortError::Code::HeldBy, device, errorString, program.isEmpty() ? QStringLiteral("?") : program,
                    pid};
    }
#else
    Q_UNUSED(error);
#endif
    return {PortError::Code::OpenFailed, device, errorString};
}

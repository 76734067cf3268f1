// A serial port that is not the user's to open: kestova-cli names the device, the
// reason and the cure. The ports are pseudo-terminals of this test; as root, the
// program runs as "nobody" so that the kernel's permission checks apply to it.
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "tests/support/TestPaths.h"

namespace {

constexpr uid_t kNobody = 65534;

class PortAccessCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        device_ = QString::fromLocal8Bit(::ptsname(master_));
        // An unprivileged run needs its way to the program.
        if (asRoot() && run({QStringLiteral("--version")}).exitCode != 0)
            GTEST_SKIP() << "the built program cannot be run as nobody from here";
    }
    void TearDown() override
    {
        if (master_ >= 0)
            ::close(master_);
    }

    static bool asRoot() { return ::geteuid() == 0; }

    struct Run {
        int exitCode = -1;
        QString err;
    };
    Run run(const QStringList& args) const
    {
        QProcess process;
        if (asRoot()) {
            process.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                    ::_exit(99);
            });
        }
        process.start(builtProgramPath(QStringLiteral("kestova-cli")), args);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardError())};
    }
    Run probe(const QString& command = QStringLiteral("probe")) const
    {
        return run({QStringLiteral("--port"), device_, QStringLiteral("--chip"), QStringLiteral("atmega8"), command});
    }
    // Lets the unprivileged run reach the port, so that only what the test sets up refuses it.
    void openToEveryone() const { QFile::setPermissions(device_, QFile::Permissions(0x6666)); }

    int master_ = -1;
    QString device_;
};

TEST_F(PortAccessCli, PortOfAGroupTheUserIsNotInNamesTheGroupToJoin)
{
    const struct group* dialout = ::getgrnam("dialout");
    if (asRoot() && dialout) {
        // The way Debian hands out serial ports: root:dialout, 0660.
        ASSERT_EQ(::chown(QFile::encodeName(device_).constData(), 0, dialout->gr_gid), 0);
        QFile::setPermissions(device_, QFile::Permissions(0x6600));
    } else {
        QFile::setPermissions(device_, QFile::Permissions());
    }
    // Every command that opens the port says it once, the same way.
    const QString refused = QStringLiteral("cannot open %1: Permission denied").arg(device_);
    for (const char* command : {"probe", "erase"}) {
        const Run result = probe(QLatin1String(command));
        EXPECT_EQ(result.exitCode, 1);
        const QStringList lines = result.err.trimmed().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << result.err.toStdString();
        // A terminal has no menu: the first line names the option.
        EXPECT_EQ(
            lines[0],
            QStringLiteral("Cannot open serial port. Use --port to choose another (kestova-cli ports lists them)"));
        if (asRoot() && dialout)
            EXPECT_EQ(lines[1], refused + QStringLiteral(" — add your user to the dialout group and log in again"));
        else
            EXPECT_TRUE(lines[1].startsWith(refused)) << lines[1].toStdString();
    }
}

TEST_F(PortAccessCli, PortHeldByAnotherProgramNamesThatProgram)
{
    openToEveryone();
    // This test process holds the port the way kestova does: through QSerialPort and its lock file.
    QSerialPort holder;
    holder.setPortName(device_);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();
    const Run result = probe();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(
        QStringLiteral("cannot open %1: in use by test_cli (process %2) — close that program and try again")
            .arg(device_)
            .arg(QCoreApplication::applicationPid())))
        << result.err.toStdString();
}

TEST_F(PortAccessCli, PortOpenedExclusivelyElsewhereIsNamedBusy)
{
    openToEveryone();
    // Opened for exclusive use, with no lock file: only the kernel says no.
    const int fd = ::open(QFile::encodeName(device_).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
    const Run result = probe();
    ::close(fd);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(
        QStringLiteral("cannot open %1: Device or resource busy — another program is using it").arg(device_)))
        << result.err.toStdString();
}

}  // namespace

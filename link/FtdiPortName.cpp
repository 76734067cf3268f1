// FtdiPortName: resolving an FTDI port name against the adapters present.
#include "link/FtdiPortName.h"

#include <QStringList>

#include "link/FtdiTexts.h"

namespace {

const QLatin1String kPrefix("FTDI:");

int failWith(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return -1;
}

QString listOf(const std::vector<FtdiAdapterInfo>& present)
{
    if (present.empty())
        return QString::fromUtf8(FtdiText::kNonePresent);
    QStringList names;
    for (const FtdiAdapterInfo& adapter : present)
        names << adapter.summary();
    return names.join(QStringLiteral(", "));
}

std::vector<int> withSerial(const std::vector<FtdiAdapterInfo>& present, const QString& serial, Qt::CaseSensitivity cs)
{
    std::vector<int> found;
    for (size_t i = 0; i < present.size(); ++i)
        if (present[i].readable && present[i].serial.compare(serial, cs) == 0)
            found.push_back(static_cast<int>(i));
    return found;
}

}  // namespace

bool FtdiPortName::matches(const QString& portName) { return portName.startsWith(kPrefix, Qt::CaseInsensitive); }

QString FtdiPortName::serialOf(const QString& portName)
{
    return matches(portName) ? portName.mid(kPrefix.size()).trimmed() : QString();
}

int FtdiPortName::choose(const QString& portName, const std::vector<FtdiAdapterInfo>& present, QString* error)
{
    const QString serial = serialOf(portName);
    if (present.empty() && serial.isEmpty())
        return failWith(error, QString::fromUtf8(FtdiText::kNoneFound).arg(portName));
    if (serial.isEmpty()) {
        if (present.size() == 1)
            return 0;
        return failWith(error,
                        QString::fromUtf8(FtdiText::kSeveral).arg(portName).arg(present.size()).arg(listOf(present)));
    }
    std::vector<int> found = withSerial(present, serial, Qt::CaseSensitive);
    if (found.empty())
        found = withSerial(present, serial, Qt::CaseInsensitive);
    if (found.size() == 1)
        return found.front();
    if (found.size() > 1)
        return failWith(error, QString::fromUtf8(FtdiText::kSameSerial).arg(portName).arg(found.size()).arg(serial));
    return failWith(error, QString::fromUtf8(FtdiText::kSerialNotFound).arg(portName, serial, listOf(present)));
}

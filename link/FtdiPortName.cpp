// FtdiPortName: resolving an FTDI port name against the adapters present.
#include "link/FtdiPortName.h"

namespace {

int failWith(PortError* error, PortError why)
{
    if (error)
        *error = std::move(why);
    return -1;
}

std::vector<int> withSerial(const std::vector<FtdiAdapterInfo>& present, const QString& serial, Qt::CaseSensitivity cs)
{
    std::vector<int> found;
    for (size_t i = 0; i < present.size(); ++i)
        if (present[i].readable && present[i].serial.compare(serial, cs) == 0)
            found.push_back(static_cast<int>(i));
    return found;
}

PortError naming(PortError::Code code, const QString& portName, const QString& serial,
                 std::vector<FtdiAdapterInfo> adapters)
{
    PortError error(code, portName, {}, serial);
    error.adapters = std::move(adapters);
    return error;
}

}  // namespace

bool FtdiPortName::matches(const QString& portName)
{
    return portName.startsWith(QLatin1String(kPrefix), Qt::CaseInsensitive);
}

QString FtdiPortName::serialOf(const QString& portName)
{
    return matches(portName) ? portName.mid(static_cast<qsizetype>(qstrlen(kPrefix))).trimmed() : QString();
}

int FtdiPortName::choose(const QString& portName, const std::vector<FtdiAdapterInfo>& present, PortError* error)
{
    const QString serial = serialOf(portName);
    if (present.empty() && serial.isEmpty())
        return failWith(error, {PortError::Code::FtdiNoneFound, portName});
    if (serial.isEmpty()) {
        if (present.size() == 1)
            return 0;
        return failWith(error, naming(PortError::Code::FtdiSeveral, portName, serial, present));
    }
    std::vector<int> found = withSerial(present, serial, Qt::CaseSensitive);
    if (found.empty())
        found = withSerial(present, serial, Qt::CaseInsensitive);
    if (found.size() == 1)
        return found.front();
    if (found.size() > 1) {
        std::vector<FtdiAdapterInfo> same;
        for (int i : found)
            same.push_back(present[static_cast<size_t>(i)]);
        return failWith(error, naming(PortError::Code::FtdiSameSerial, portName, serial, same));
    }
    return failWith(error, naming(PortError::Code::FtdiSerialNotFound, portName, serial, present));
}

// PortOpener: the registry of port-name prefixes, and the real serial port for the rest.
#include "link/PortOpener.h"

#include <vector>

#include "link/FtdiAdapter.h"
#include "link/FtdiCable.h"
#include "link/FtdiPortName.h"
#include "link/SerialLink.h"

namespace {

struct Prefix {
    QString prefix;
    PortOpener::Open open;
};

std::vector<Prefix>& prefixes()
{
    static std::vector<Prefix> registered;
    return registered;
}

}  // namespace

void PortOpener::registerPrefix(const QString& prefix, Open open)
{
    for (Prefix& known : prefixes()) {
        if (known.prefix.compare(prefix, Qt::CaseInsensitive) == 0) {
            known.open = std::move(open);
            return;
        }
    }
    prefixes().push_back({prefix, std::move(open)});
}

std::unique_ptr<ModemLines> PortOpener::open(const QString& name, PortError* error)
{
    for (const Prefix& known : prefixes())
        if (name.startsWith(known.prefix, Qt::CaseInsensitive))
            return known.open(name, error);
    return SerialLink::open(name, error);
}

bool PortOpener::opensCable(const QString& name) { return FtdiPortName::matches(name); }

std::unique_ptr<IspCable> PortOpener::openCable(const QString& name, PortError* error)
{
    std::unique_ptr<FtdiAdapter> adapter = FtdiAdapter::open(name, error);
    if (!adapter)
        return nullptr;
    return std::make_unique<FtdiCable>(std::move(adapter));
}

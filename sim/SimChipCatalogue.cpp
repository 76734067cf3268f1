// Keyword table of the simulated chips.
#include "sim/SimChipCatalogue.h"

#include <array>

#include "sim/At89FourByteChip.h"
#include "sim/At89ThreeByteChip.h"
#include "sim/AvrChip.h"

namespace {

struct Entry {
    const char* keyword;
    SimChipType type;
};

constexpr std::array<Entry, 8> kEntries = {{
    {"s8252", SimChipType::At89s8252},
    {"s8253", SimChipType::At89s8253},
    {"s53", SimChipType::At89s53},
    {"s52", SimChipType::At89s52},
    {"s51", SimChipType::At89s51},
    {"atmega8", SimChipType::Atmega8},
    {"atmega8515", SimChipType::Atmega8515},
    {"atmega8535", SimChipType::Atmega8535},
}};

}  // namespace

std::optional<SimChipType> simChipTypeForKeyword(const QString& keyword)
{
    for (const Entry& e : kEntries)
        if (keyword.compare(QLatin1String(e.keyword), Qt::CaseInsensitive) == 0)
            return e.type;
    return std::nullopt;
}

QString simChipKeyword(SimChipType type)
{
    for (const Entry& e : kEntries)
        if (e.type == type)
            return QLatin1String(e.keyword);
    return {};
}

std::unique_ptr<ChipModel> makeChipModel(SimChipType type)
{
    switch (type) {
    case SimChipType::At89s8252:
    case SimChipType::At89s53:
        return std::make_unique<At89ThreeByteChip>(type);
    case SimChipType::At89s52:
    case SimChipType::At89s51:
    case SimChipType::At89s8253:
        return std::make_unique<At89FourByteChip>(type);
    case SimChipType::Atmega8:
    case SimChipType::Atmega8515:
    case SimChipType::Atmega8535:
        return std::make_unique<AvrChip>(type);
    }
    return nullptr;
}

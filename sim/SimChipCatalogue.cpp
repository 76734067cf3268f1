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

// The keywords of ../shared/visp's VISP_CHIP for the parts both model.
constexpr std::array<Entry, 23> kEntries = {{
    {"s8252", SimChipType::At89s8252},       {"s8253", SimChipType::At89s8253},
    {"s53", SimChipType::At89s53},           {"s52", SimChipType::At89s52},
    {"s51", SimChipType::At89s51},           {"atmega8", SimChipType::Atmega8},
    {"atmega8515", SimChipType::Atmega8515}, {"atmega8535", SimChipType::Atmega8535},
    {"atmega16", SimChipType::Atmega16},     {"atmega32", SimChipType::Atmega32},
    {"atmega48", SimChipType::Atmega48},     {"atmega48p", SimChipType::Atmega48p},
    {"atmega88", SimChipType::Atmega88},     {"atmega88p", SimChipType::Atmega88p},
    {"atmega168", SimChipType::Atmega168},   {"atmega168p", SimChipType::Atmega168p},
    {"atmega328", SimChipType::Atmega328},   {"atmega328p", SimChipType::Atmega328p},
    {"attiny13", SimChipType::Attiny13},     {"attiny25", SimChipType::Attiny25},
    {"attiny45", SimChipType::Attiny45},     {"attiny85", SimChipType::Attiny85},
    {"attiny2313", SimChipType::Attiny2313},
}};

// The parts' short ids, which people type as often as the names above; the ATtiny13A
// answers as an ATtiny13.
constexpr std::array<Entry, 20> kShortNames = {{
    {"m8", SimChipType::Atmega8},         {"m8515", SimChipType::Atmega8515}, {"m8535", SimChipType::Atmega8535},
    {"m16", SimChipType::Atmega16},       {"m32", SimChipType::Atmega32},     {"m48", SimChipType::Atmega48},
    {"m48p", SimChipType::Atmega48p},     {"m88", SimChipType::Atmega88},     {"m88p", SimChipType::Atmega88p},
    {"m168", SimChipType::Atmega168},     {"m168p", SimChipType::Atmega168p}, {"m328", SimChipType::Atmega328},
    {"m328p", SimChipType::Atmega328p},   {"t13", SimChipType::Attiny13},     {"t13a", SimChipType::Attiny13},
    {"attiny13a", SimChipType::Attiny13}, {"t25", SimChipType::Attiny25},     {"t45", SimChipType::Attiny45},
    {"t85", SimChipType::Attiny85},       {"t2313", SimChipType::Attiny2313},
}};

template <size_t N>
std::optional<SimChipType> lookUp(const std::array<Entry, N>& names, const QString& keyword)
{
    for (const Entry& e : names)
        if (keyword.compare(QLatin1String(e.keyword), Qt::CaseInsensitive) == 0)
            return e.type;
    return std::nullopt;
}

}  // namespace

std::optional<SimChipType> simChipTypeForKeyword(const QString& keyword)
{
    if (const std::optional<SimChipType> type = lookUp(kEntries, keyword))
        return type;
    return lookUp(kShortNames, keyword);
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
    if (const AvrPart* part = findAvrPart(type))
        return std::make_unique<AvrChip>(*part);
    switch (type) {
    case SimChipType::At89s8252:
    case SimChipType::At89s53: return std::make_unique<At89ThreeByteChip>(type);
    case SimChipType::At89s52:
    case SimChipType::At89s51:
    case SimChipType::At89s8253: return std::make_unique<At89FourByteChip>(type);
    default: return nullptr;
    }
}

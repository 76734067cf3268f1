// The simulated chips a SIM: port name can ask for, and how to make one.
#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "sim/ChipModel.h"

// "s8252", "s8253", "s53", "s52", "s51", "atmega8" (the command line's keywords),
// "atmega8515", "atmega8535" and the further AVRs by their part names ("atmega328p",
// "attiny85", ...) or short ids ("m328p", "t85"), in any case; nothing for an unknown one.
std::optional<SimChipType> simChipTypeForKeyword(const QString& keyword);
// The keyword a type is asked for by, also the base name of its state file.
QString simChipKeyword(SimChipType type);
// A chip of that type as it leaves the factory.
std::unique_ptr<ChipModel> makeChipModel(SimChipType type);

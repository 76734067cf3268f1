// Where a simulated chip's memories, fuses and lock bits live between runs:
// one small binary file per chip keyword, written atomically.
#pragma once

#include <QString>

#include "sim/ChipModel.h"

// $KESTOVA_SIM_DIR when set, else the user's local data folder + "/kestova/sim".
QString simStateDirectory();
// <directory>/<keyword>.simchip
QString simStatePath(const QString& directory, SimChipType type);

enum class ChipStateLoad { Loaded, Missing, Unreadable };
// Fills the chip from the file. Anything but Loaded leaves the chip untouched; for
// Unreadable (damaged, truncated, another chip's) *why says what is wrong.
ChipStateLoad loadChipState(const QString& path, ChipModel& chip, QString* why = nullptr);
// Replaces the file by the chip's state; false with the reason in *error.
bool saveChipState(const QString& path, const ChipModel& chip, QString* error);

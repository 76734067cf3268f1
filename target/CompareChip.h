// compareChip: the "Compare" button. Reads the chosen memory of the target over the
// length of an image file and counts the bytes that differ.
#pragma once

#include <QString>

class DeviceRunner;
enum class RunOutcome;

// Compares with the named ".bin" or ".hex" file. A file too large for the chosen
// memory, or one the loader refuses, ends with its error box before the chip is
// touched (Failed). Differences end with "Devergence in data" (Failed), none with
// "Identical data"; both then show "Done". HEX and file errors are thrown.
RunOutcome compareChip(DeviceRunner& runner, const QString& fileName);

// compareChip: the "Compare" button. Reads the chosen memory of the target over the
// length of an image file and counts the bytes that differ.
#pragma once

#include <QString>

class DeviceRunner;
enum class RunOutcome;

// Compares with the named image file (binary or Intel HEX, as loadImageFile reads
// it). A file too large for the chosen memory, or one the loader refuses, ends with
// its error box before the chip is touched (Failed). Differences end with "Devergence
// in data" (Failed), none with "Identical data"; both then show "Done", or
// "Cancelled" when the cancel flag stopped the compare early. HEX and file errors, a
// file without data included, are thrown.
RunOutcome compareChip(DeviceRunner& runner, const QString& fileName);

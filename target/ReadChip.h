// readChip: the "Read" button. Copies the chosen memory (flash or EEPROM) of the
// target into a raw binary file, one byte per address from address 0, no header.
#pragma once

#include <QString>

class DeviceRunner;
enum class RunOutcome;

// Reads into the named file. It is created only once the chip has answered, and it
// grows byte by byte: a cancelled read keeps the bytes read so far and still ends
// with "Done" (outcome Cancelled). A file that cannot be created or written throws
// its FileError, with the system's reason, after the target has been released.
RunOutcome readChip(DeviceRunner& runner, const QString& fileName);
// The same read into the runner's report (report().chipBytes) instead of a file: the
// window's "Read to editor". A cancelled read keeps the bytes read so far.
RunOutcome readChipToMemory(DeviceRunner& runner);

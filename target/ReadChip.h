// readChip: the "Read" button. Copies the chosen memory (flash or EEPROM) of the
// target into a file from address 0: an Intel HEX file for a HEX name (.hex, .ihx,
// .ihex, .eep), else a raw binary file, one byte per address, no header.
#pragma once

#include <QString>

class DeviceRunner;
enum class RunOutcome;

// Reads into the named file. It is created only once the chip has answered; a read
// stopped by the cancel flag keeps the bytes read so far and ends with "Cancelled"
// (outcome Cancelled), as one stopped by a lost port keeps them. A file that cannot be
// created or written throws its FileError, with the system's reason, after the
// target has been released.
RunOutcome readChip(DeviceRunner& runner, const QString& fileName);
// The same read into the runner's report (report().chipBytes) instead of a file: the
// window's "Read to editor". A cancelled read keeps the bytes read so far.
RunOutcome readChipToMemory(DeviceRunner& runner);

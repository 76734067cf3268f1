// ProgramChip: the programming run behind the "Write" button and the command line.
// It loads an image file, checks it against the selected memory's capacity, erases
// the flash where the chip needs it, then writes in the WriteMode of the target
// state: Normal (every byte read back, a failed one rewritten one rung slower),
// Fast (only the first 15 read back) or Differential (only differing bytes written).
#pragma once

#include <QString>

class DeviceRunner;
enum class RunOutcome;

// autoRunFile is the window's AutoRunFile: when it is empty the open dialog asks for
// the file, and the run stores the answer there. It is emptied when the run ends with
// "Done", a refused file, a failed sync, "Write error" or a lost port, and kept when
// the run is cancelled, so the next run writes the same file without asking.
// eepromChecked is the memory choice ("eeprom" radio button or --eeprom).
// A file or Intel HEX error is thrown to the caller's error handler.
RunOutcome ProgramChip(DeviceRunner& runner, QString& autoRunFile, bool eepromChecked);

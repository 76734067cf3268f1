// programChip: the programming run behind the "Write" button and the command line.
// It loads an image file, checks it against the chosen memory's capacity, erases
// the chip where its memory needs it, then writes in the target's write mode:
// Normal (every byte read back, a failed one rewritten one rung slower), Fast (only
// the first 15 read back) or Differential (only differing bytes written).
#pragma once

#include <QString>

class DeviceRunner;
enum class RunOutcome;

// autoRunFile is the file to write, kept by the front end between runs (the window's
// auto-run file): a name that is no file ends the run at once (Cancelled). It is
// emptied when the run ends with "Done", a refused file, a failed sync, "Write error"
// or a lost port, and kept when the run is cancelled ("Cancelled"), so the next run
// writes the same file without asking. eepromChecked is the memory choice ("eeprom"
// radio button or --eeprom). A file or Intel HEX error (a file without data included)
// is thrown to the caller's error handler before the chip is touched.
RunOutcome programChip(DeviceRunner& runner, QString& autoRunFile, bool eepromChecked);

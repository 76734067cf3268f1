// The frame shared by kestova-cli's device commands: the port, the target state from
// --chip and --eeprom, Ctrl+C, the status texts and progress bar on standard error,
// and the exit status.
#pragma once

#include <functional>

#include "cli/CliCommand.h"

class DeviceRunner;
enum class RunOutcome;

// The command's device operation, run through the runner it is given (for example
// [](DeviceRunner& r) { return eraseChip(r); }). It reports through runner.view(),
// the command's ConsoleView; a file error it throws ends in main() with status 1.
using DeviceOperation = std::function<RunOutcome(DeviceRunner& runner)>;
// What a cancel left, said after how far the operation came ("part.bin holds the
// bytes read so far"); asked only once it was cancelled.
using CancelNote = std::function<QString(const ConsoleView& view)>;

// Opens --port (status 1 with the reason when it cannot, 2 for a SIM: name it does not
// know), selects --chip and its EEPROM for --eeprom (status 2 for a chip without one),
// runs the operation and maps its outcome: 0 done; 1 "Communication error", a failed
// port, the operation's own failure or an error box; 130 only when Ctrl+C stopped the
// operation before its end (one that ran to its end, as an erase does, exits with its
// own status). A cancelled operation is said in one line: "Cancelled after N of M
// bytes", then the note.
int runDeviceCommand(CliContext& context, const DeviceOperation& operation, const CancelNote& cancelNote = {});

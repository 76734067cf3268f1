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

// Opens --port (status 1 with the reason when it cannot), selects --chip and its
// EEPROM for --eeprom (status 2 for a chip without one), runs the operation and maps
// its outcome: 0 done; 1 "Communication error", a failed port, the operation's own
// failure or an error box; 130 when Ctrl+C set the cancel flag during the run.
int runDeviceCommand(CliContext& context, const DeviceOperation& operation);

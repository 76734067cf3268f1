// kestova-cli erase: the "Erase" button.
#include "cli/DeviceCommand.h"
#include "target/DeviceRunner.h"
#include "target/EraseChip.h"

namespace {

int runErase(CliContext& context)
{
    return runDeviceCommand(context, [](DeviceRunner& runner) { return eraseChip(runner); });
}

const CliCommand::Registration kErase({"erase", "",
                                       "erase the chip: flash, EEPROM (kept by an AVR with EESAVE), lock bits", 0, 0,
                                       true, runErase});

}  // namespace

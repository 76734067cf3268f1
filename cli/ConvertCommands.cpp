// hex2bin and bin2hex: the Tools menu's converters without the dialogs. Errors
// travel to main(), which prints them and exits with status 1.
#include "cli/CliCommand.h"
#include "image/Converters.h"

namespace {

int runHexToBin(CliContext& context)
{
    convertHexToBin(context.args[0], context.args[1]);
    return kExitOk;
}

int runBinToHex(CliContext& context)
{
    convertBinToHex(context.args[0], context.args[1]);
    return kExitOk;
}

const CliCommand::Registration hexToBin({"hex2bin", "IN OUT", "convert an Intel HEX file to a binary image", 2, 2,
                                         false, runHexToBin});
const CliCommand::Registration binToHex({"bin2hex", "IN OUT", "convert a binary image to an Intel HEX file", 2, 2,
                                         false, runBinToHex});

}  // namespace

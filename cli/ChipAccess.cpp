// What the commands that talk to a chip share: opening the port with a reason a
// user can act on, and reading the chip's signature.
#include "cli/CliCommand.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"

bool openCliPort(LineDriver& line, const QString& port)
{
    if (line.OpenSerialLink(port))
        return true;
    // The window's text says which menu to use; a script's user needs the port and the reason.
    printError(line.lastOpenError());
    return false;
}

SignatureBytes readSignature(IspLink& isp)
{
    SignatureBytes bytes{};
    for (int i = 0; i < 3; ++i)
        bytes[static_cast<size_t>(i)] = isp.readSignatureByte(i);
    return bytes;
}

// What the commands that talk to a chip share: opening the port with a reason a
// user can act on, and reading the chip's signature.
#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "target/ErrorText.h"
#include "target/PortOpening.h"
#include "view/Strings.h"

bool openCliPort(LineDriver& line, const QString& port, ConsoleView& view)
{
    // The failure's message carries, below the window's text, the port, the reason and the cure.
    return openPort(line, port, view);
}

bool reportLostPort(const LineDriver& line)
{
    if (!line.lineFailed())
        return false;
    printError(QString::fromLatin1(Str::kPortFailed).arg(line.portName(), errorText(line.failure())));
    return true;
}

std::optional<SignatureBytes> readSignature(IspLink& isp)
{
    SignatureBytes bytes{};
    for (int i = 0; i < 3; ++i)
        bytes[static_cast<size_t>(i)] = isp.readSignatureByte(i);
    // Bytes read after the adapter went away are noise, not some other chip.
    if (reportLostPort(isp.line()))
        return std::nullopt;
    return bytes;
}

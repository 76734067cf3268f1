// What the commands that talk to a chip share: opening the port with a reason a
// user can act on, and reading the chip's signature.
#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "target/ErrorText.h"
#include "view/Strings.h"

int openCliPort(LineDriver& line, const QString& port, ConsoleView& view)
{
    if (line.open(port)) {
        view.showPort(port);
        return kExitOk;
    }
    const PortError& error = line.lastOpenError();
    // A SIM: name that names no chip, or an option it does not take, is a mistyped
    // command line, not a port that failed.
    if (error.code == PortError::Code::UnknownSimulatedChip || error.code == PortError::Code::BadPortOption) {
        printError(QStringLiteral("kestova-cli: ") + errorText(error));
        printError(QStringLiteral("Try 'kestova-cli --help'."));
        return kExitUsage;
    }
    // The product's line first, then the port, the reason and the cure; a terminal has
    // no menu, so the line names the option instead.
    printError(QString::fromUtf8(Str::kCliCannotOpenPort) + QLatin1Char('\n') + errorText(error));
    return kExitFailed;
}

bool reportLostPort(const LineDriver& line)
{
    if (!line.lineFailed())
        return false;
    printError(QString::fromLatin1(Str::kPortFailed).arg(line.portName(), errorText(line.failure())));
    return true;
}

bool isChipAskedFor(const CliContext& context, const SignatureBytes& signature)
{
    if (!context.chipEntry)
        return true;
    const ChipEntry& chip = *context.chipEntry;
    // The entry's keyword takes every part the entry programs; a part's own name
    // (atmega8515) takes that part only.
    const PartSignature* wanted = nullptr;
    for (const PartSignature& part : chip.parts)
        if (part.part && context.chip.compare(QLatin1String(part.part), Qt::CaseInsensitive) == 0
            && context.chip.compare(QLatin1String(chip.keyword), Qt::CaseInsensitive) != 0)
            wanted = &part;
    const SignatureMatch found = chipForSignature(signature);
    if (found && found.chip == &chip && (!wanted || found.part->bytes == wanted->bytes))
        return true;
    printError(QString::fromUtf8(Str::kSignatureMismatch)
                   .arg(QString::fromUtf8(found ? found.part->part : Str::kUnknownChip), signatureText(signature),
                        wanted ? QString::fromLatin1(wanted->part) : signedPartsOfEntry(chip)));
    return false;
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

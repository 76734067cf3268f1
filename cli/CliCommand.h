// kestova-cli's commands. Each command lives in its own file and registers itself
// with a static CliCommand::Registration, so main() knows nothing of their insides.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "target/ChipCatalogue.h"

class ConsoleView;
class IspLink;
class LineDriver;

struct CliContext {
    QString port;                          // --port: whatever LineDriver::open accepts, SIM:KEYWORD included
    QString chip;                          // --chip as given (case-insensitive; a keyword or an alias)
    const ChipEntry* chipEntry = nullptr;  // the entry --chip names, null without --chip
    bool eeprom = false;                   // --eeprom: the EEPROM instead of the flash
    QString mode;                          // --mode in lower case: "normal" (default), "differential" or "fast"
    QStringList args;                      // the command's own arguments
    ConsoleView& view;                     // status texts and messages go to standard error
    QString command;                       // the command's name, for the result line
    bool force = false;                    // --force: write fuse values that end in-system programming
};

// Exit statuses: 0 done, 1 the operation failed, 2 the command line was wrong,
// 130 the user cancelled with Ctrl+C.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCancelled = 130;

struct CliCommand {
    const char* name;
    const char* synopsis;  // e.g. "IN OUT", "[LOW HIGH]"
    const char* summary;   // one line for --help
    int minArguments;      // number of command arguments accepted
    int maxArguments;
    bool needsPortAndChip;  // --port and --chip are required
    int (*run)(CliContext& context);
    bool needsPort = false;  // --port is required, --chip is not

    static const std::vector<CliCommand>& all();
    struct Registration {
        explicit Registration(const CliCommand& command);
    };
};

// Opens the port on the line: kExitOk, or, after saying which port and why on
// standard error, kExitFailed (kExitUsage for a SIM: name that names no simulated chip
// or has an option it does not take). Every command that talks to a chip opens its
// port here.
int openCliPort(LineDriver& line, const QString& port, ConsoleView& view);
// True, after naming the port and the system's reason, when a line call on the open
// port has failed (an adapter pulled out).
bool reportLostPort(const LineDriver& line);
// True when the signature names the chip --chip asks for (always without --chip): a
// part of its entry, or for a part's own name (atmega8515) that part. Else says what
// was found and what was expected, and returns false.
bool isChipAskedFor(const CliContext& context, const SignatureBytes& signature);
// The three signature bytes, read with the instruction set the link has selected;
// nothing, after reportLostPort(), when the port failed meanwhile.
std::optional<SignatureBytes> readSignature(IspLink& isp);

// Prints a line of results on standard output (the only thing that goes there).
void printResult(const QString& line);
// Prints a line on standard error.
void printError(const QString& line);
// The chip entry that a --chip keyword names, null for none. Unlike the window's
// command line, case does not matter, and a chip's aliases name it too (the ATmega8515
// and ATmega8535 by their own names as well as by "atmega8").
const ChipEntry* cliChip(const QString& keyword);
// "the AT89S8252 and AT89S53": the names of the entries that have something.
QString chipNamesWhere(bool (*has)(const ChipEntry&));

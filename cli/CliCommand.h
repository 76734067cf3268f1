// kestova-cli's commands. Each command lives in its own file and registers itself
// with a static CliCommand::Registration, so main() knows nothing of their insides.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class ConsoleView;

struct CliContext {
    QString port;        // --port: whatever OpenSerialLink accepts, SIM:KEYWORD included
    QString chip;        // --chip: a command-line chip keyword ("s8252" ... "atmega8")
    QStringList args;    // the command's own arguments
    ConsoleView& view;   // status texts and messages go to standard error
};

// Exit statuses: 0 done, 1 the operation failed, 2 the command line was wrong.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CliCommand {
    const char* name;
    const char* synopsis;    // e.g. "IN OUT"
    const char* summary;     // one line for --help
    int argumentCount;       // exact number of command arguments
    bool needsPortAndChip;   // --port and --chip are required
    int (*run)(CliContext& context);

    static const std::vector<CliCommand>& all();
    struct Registration {
        explicit Registration(const CliCommand& command);
    };
};

// Prints a line of results on standard output (the only thing that goes there).
void printResult(const QString& line);
// Prints a line on standard error.
void printError(const QString& line);

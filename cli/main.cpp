// kestova-cli: command-line front end over the same library as the window.
//   kestova-cli [--port PORT] [--chip KEYWORD] COMMAND [ARGS...]
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <exception>

#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "target/ChipCatalogue.h"

namespace {

std::vector<CliCommand>& registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

QString usageText()
{
    QString text = QStringLiteral(
        "Usage: kestova-cli [--port PORT] [--chip KEYWORD] COMMAND [ARGS...]\n"
        "\n"
        "  --port PORT     serial port (ttyUSB0, /dev/ttyUSB0, COM3) or SIM:KEYWORD for a simulated chip\n"
        "  --chip KEYWORD  s8252, s8253, s53, s52, s51 or atmega8\n"
        "  --help          this text\n"
        "\n"
        "Commands:\n");
    for (const CliCommand& command : registry()) {
        const QString head = QStringLiteral("%1 %2").arg(QLatin1String(command.name), QLatin1String(command.synopsis));
        text += QStringLiteral("  %1  %2\n").arg(head.trimmed(), -22).arg(QLatin1String(command.summary));
    }
    text += QStringLiteral("\nExit status: 0 done, 1 failed, 2 wrong command line.\n");
    return text;
}

int usageError(const QString& why)
{
    printError(QStringLiteral("kestova-cli: ") + why);
    printError(QStringLiteral("Try 'kestova-cli --help'."));
    return kExitUsage;
}

}  // namespace

const std::vector<CliCommand>& CliCommand::all() { return registry(); }

CliCommand::Registration::Registration(const CliCommand& command) { registry().push_back(command); }

void printResult(const QString& line)
{
    QTextStream(stdout) << line << '\n';
}

void printError(const QString& line)
{
    QTextStream(stderr) << line << '\n';
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();

    QString port, chip;
    int i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            QTextStream(stdout) << usageText();
            return kExitOk;
        }
        if (a == QLatin1String("--port") || a == QLatin1String("--chip")) {
            if (i + 1 >= arguments.size())
                return usageError(a + QStringLiteral(" needs a value"));
            (a == QLatin1String("--port") ? port : chip) = arguments[++i];
            continue;
        }
        if (a.startsWith(QLatin1String("--port=")))
            port = a.mid(7);
        else if (a.startsWith(QLatin1String("--chip=")))
            chip = a.mid(7);
        else if (a.startsWith(QLatin1Char('-')) && a.size() > 1)
            return usageError(QStringLiteral("unknown option ") + a);
        else
            break;
    }
    if (i >= arguments.size())
        return usageError(QStringLiteral("no command given"));

    const QString name = arguments[i];
    const CliCommand* command = nullptr;
    for (const CliCommand& c : registry())
        if (name == QLatin1String(c.name))
            command = &c;
    if (!command)
        return usageError(QStringLiteral("unknown command ") + name);

    const QStringList rest = arguments.mid(i + 1);
    if (rest.size() != command->argumentCount)
        return usageError(QStringLiteral("%1 takes %2 argument(s): %1 %3")
                              .arg(name).arg(command->argumentCount).arg(QLatin1String(command->synopsis)));
    if (command->needsPortAndChip && (port.isEmpty() || chip.isEmpty()))
        return usageError(name + QStringLiteral(" needs --port and --chip"));
    if (!chip.isEmpty() && chipIndexForKeyword(chip) < 0)
        return usageError(QStringLiteral("unknown chip %1 (s8252, s8253, s53, s52, s51 or atmega8)").arg(chip));

    ConsoleView view;
    CliContext context{port, chip, rest, view};
    try {
        return command->run(context);
    } catch (const std::exception& e) {
        // File and Intel HEX errors end here, as they end in the window's error box.
        printError(QString::fromUtf8(e.what()));
        return kExitFailed;
    }
}

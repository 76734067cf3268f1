// kestova-cli: command-line front end over the same library as the window.
//   kestova-cli [--port PORT] [--chip KEYWORD] [--eeprom] [--mode MODE] COMMAND [ARGS...]
// Options may stand before or after the command.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <exception>

#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "settings/ConfigLocation.h"
#include "sim/ChipStateFile.h"
#include "sim/SimulatedPorts.h"
#include "target/ChipCatalogue.h"
#include "target/ErrorText.h"
#include "view/LineBreaks.h"

namespace {

std::vector<CliCommand>& registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

const QStringList kModes = {QStringLiteral("normal"), QStringLiteral("differential"), QStringLiteral("fast")};

QString commandList()
{
    std::vector<CliCommand> commands = registry();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return qstrcmp(a.name, b.name) < 0; });
    QString text = QStringLiteral("Commands:\n");
    for (const CliCommand& command : commands) {
        const QString head = QStringLiteral("%1 %2").arg(QLatin1String(command.name), QLatin1String(command.synopsis));
        text += QStringLiteral("  %1  %2\n").arg(head.trimmed(), -22).arg(QLatin1String(command.summary));
    }
    return text;
}

QString filesText()
{
    const QString window = QCoreApplication::applicationDirPath() + QStringLiteral("/kestova");
    return QStringLiteral("\n"
                          "Files:\n"
                          "  %1\n"
                          "    the window's configuration (chip and port): kestova.ini beside kestova when that\n"
                          "    folder is the user's to write, else %2/kestova.ini\n"
                          "  %3\n"
                          "    the simulated chips' state, one KEYWORD.simchip each (KESTOVA_SIM_DIR names another)\n")
        .arg(ConfigLocation::filePath(window), ConfigLocation::userConfigDir(), simStateDirectory());
}

QStringList chipKeywords()
{
    QStringList keywords;
    for (const ChipEntry& chip : chipTable())
        keywords << QLatin1String(chip.keyword);
    return keywords;
}

QStringList chipAliases()
{
    QStringList aliases;
    for (const ChipEntry& chip : chipTable())
        aliases << aliasesOf(chip);
    return aliases;
}

// "s8252, s8253, ..., attiny2313.\nOther names (...): atmega8515, atmega8535, m8, ..."
QString keywordsText()
{
    return chipKeywords().join(QStringLiteral(", "))
        + QStringLiteral(".\nOther names (kestova-cli chips lists the entry each selects): %1")
              .arg(chipAliases().join(QStringLiteral(", ")));
}

QString helpText(const QCommandLineParser& parser)
{
    return parser.helpText() + QLatin1Char('\n') + commandList()
        + QStringLiteral(
              "\nChip keywords (any case): %1.\nSimulated chips: --port SIM:KEYWORD (see man kestova-cli).\n")
              .arg(keywordsText())
        + QStringLiteral(
               "Byte values are hexadecimal (E1 or 0xE1).\n"
               "\n"
               "Exit status: 0 done, 1 the operation failed, 2 wrong command line, 130 stopped early by Ctrl+C.\n")
        + filesText();
}

// The chips the window and the device commands program, one per line (kestova-cli chips).
int runChips(CliContext&)
{
    for (const ChipEntry& chip : chipTable()) {
        const QStringList aliases = aliasesOf(chip);
        QString memories = QStringLiteral("flash %1").arg(chip.flash.size);
        if (chip.hasEeprom())
            memories += QStringLiteral(", EEPROM %1").arg(chip.eeprom.size);
        printResult(QStringList{QLatin1String(chip.keyword),
                                aliases.isEmpty() ? QStringLiteral("-") : aliases.join(u' '),
                                QLatin1String(chip.caption), memories}
                        .join(QLatin1Char('\t')));
    }
    return kExitOk;
}

const CliCommand::Registration kChips({"chips", "",
                                       "list the chips: keyword, other names, menu caption, memory sizes in bytes", 0,
                                       0, false, runChips});

QStringList namesWhere(bool (*has)(const ChipEntry&))
{
    QStringList names;
    for (const ChipEntry& chip : chipTable())
        if (has(chip))
            names << QLatin1String(chip.name);
    return names;
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

void printResult(const QString& line) { QTextStream(stdout) << line << '\n'; }

void printError(const QString& line)
{
    // A lone CR would send the terminal's cursor back over the start of the line.
    QTextStream(stderr) << withLineBreaks(line) << '\n';
}

const ChipEntry* cliChip(const QString& keyword) { return chipForName(keyword); }

QString chipNamesWhere(bool (*has)(const ChipEntry&))
{
    return QStringLiteral("the ") + listInWords(namesWhere(has), QStringLiteral(" and "));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestova-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTOVA_VERSION));
    registerSimulatedPorts();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "In-system programmer for Atmel AT89S and AVR microcontrollers on a serial port's modem lines."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Serial port (ttyUSB0, /dev/ttyUSB0, COM3) or SIM:KEYWORD for a simulated chip."),
        QStringLiteral("PORT"));
    const QCommandLineOption chipOption(
        QStringLiteral("chip"),
        QStringLiteral("Chip: %1 (%2).").arg(listInWords(chipKeywords()), chipAliases().join(QStringLiteral(", "))),
        QStringLiteral("KEYWORD"));
    const QCommandLineOption eepromOption(
        QStringLiteral("eeprom"),
        QStringLiteral("Work on the EEPROM instead of the flash (%1).").arg(namesWhere([](const ChipEntry& chip) {
                                                                                return chip.hasEeprom();
                                                                            }).join(QStringLiteral(", "))));
    const QCommandLineOption modeOption(
        QStringLiteral("mode"),
        QStringLiteral("Write mode: normal (default), differential (%1) or fast.")
            .arg(listInWords(namesWhere([](const ChipEntry& chip) { return chip.differentialMode; }),
                             QStringLiteral(" and "))),
        QStringLiteral("MODE"), QStringLiteral("normal"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        QStringLiteral("fuses: write values that end in-system programming (RSTDISBL or DWEN programmed, "
                       "SPIEN unprogrammed)."));
    parser.addOptions({portOption, chipOption, eepromOption, modeOption, forceOption});
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see Commands below)."),
                                 QStringLiteral("COMMAND [ARGS...]"));

    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        QTextStream(stdout) << helpText(parser);
        return kExitOk;
    }
    if (parser.isSet(versionOption)) {
        QTextStream(stdout) << QStringLiteral("kestova-cli %1\n").arg(QCoreApplication::applicationVersion());
        return kExitOk;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString name = positional.first();
    const auto found = std::find_if(registry().begin(), registry().end(),
                                    [&](const CliCommand& c) { return name == QLatin1String(c.name); });
    if (found == registry().end())
        return usageError(QStringLiteral("unknown command ") + name);
    const CliCommand& command = *found;

    const QStringList rest = positional.mid(1);
    if (rest.size() < command.minArguments || rest.size() > command.maxArguments)
        return usageError(
            QStringLiteral("wrong number of arguments: %1 %2").arg(name, QLatin1String(command.synopsis)).trimmed());
    const QString port = parser.value(portOption);
    const QString chip = parser.value(chipOption);
    if (command.needsPortAndChip && (port.isEmpty() || chip.isEmpty()))
        return usageError(name + QStringLiteral(" needs --port and --chip"));
    if (command.needsPort && port.isEmpty())
        return usageError(name + QStringLiteral(" needs --port"));
    const ChipEntry* chipEntry = chip.isEmpty() ? nullptr : cliChip(chip);
    if (!chip.isEmpty() && !chipEntry)
        return usageError(QStringLiteral("unknown chip %1 (%2)").arg(chip, listInWords(chipKeywords())));
    const QString mode = parser.value(modeOption).toLower();
    if (!kModes.contains(mode))
        return usageError(
            QStringLiteral("unknown mode %1 (normal, differential or fast)").arg(parser.value(modeOption)));

    ConsoleView view;
    CliContext context{port, chip, chipEntry, parser.isSet(eepromOption), mode, rest, view, name};
    context.force = parser.isSet(forceOption);
    try {
        return command.run(context);
    } catch (const std::exception& e) {
        // File and Intel HEX errors end here, as they end in the window's error box.
        printError(errorText(e));
        return kExitFailed;
    }
}

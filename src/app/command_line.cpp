#include "app/command_line.h"

#include "app/settings_command.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace vk3 {

namespace {

// One row per option: the parser, the usage text and the result are all made from it.
struct OptionRow {
    QStringList names;      // short names first
    const char* valueName;  // nullptr for a switch
    const char* help;       // lines after the first are indented under it
    std::function<void(CommandLine&, std::string)> apply;  // once per value given
    const char* needs = "a folder";  // what a value option without its value lacks
};

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> table = {
        {{"install-dir"},
         "DIR",
         "the game's installation folder (the one holding\n"
         "Veskaran3.exe and Ini/vkmain.ini); nothing is\n"
         "recorded",
         [](CommandLine& line, std::string dir) { line.overrides.installDir = std::move(dir); }},
        {{"documents-dir"},
         "DIR",
         "the documents folder that holds\n"
         "veskaran3/UserOptions.ini",
         [](CommandLine& line, std::string dir) { line.overrides.documentsDir = std::move(dir); }},
        {{"show"},
         nullptr,
         "print every setting of the three dialogs, one per\n"
         "line: NAME=VALUE as the dialog shows it, then the\n"
         "stored text where it differs",
         [](CommandLine& line, std::string) { line.settings.show = true; }},
        {{"json"},
         nullptr,
         "with --show: print the settings as one JSON object",
         [](CommandLine& line, std::string) { line.settings.json = true; }},
        {{"set"},
         nullptr,
         "set each NAME=VALUE that follows as its dialog\n"
         "would take it, then save like the dialog; nothing\n"
         "is written when a value is refused",
         [](CommandLine& line, std::string) { line.settings.set = true; }},
        {{"restore-defaults"},
         "DIALOG",
         "set what the dialog's \"restore settings\" sets\n"
         "(main, cache or other), then save",
         [](CommandLine& line, std::string dialog) {
             line.settings.restoreDefaults.push_back(std::move(dialog));
         },
         "main, cache or other"},
        {{"verbose"},
         nullptr,
         "with --set or --restore-defaults: print each\n"
         "setting that changed",
         [](CommandLine& line, std::string) { line.settings.verbose = true; }},
        {{"list-installations"},
         nullptr,
         "print each installation found (where, installation\n"
         "folder and documents folder, separated by tabs;\n"
         "a backslash, tab or newline in a folder is written\n"
         "\\\\, \\t or \\n) and exit",
         [](CommandLine& line, std::string) { line.listInstallations = true; }},
        {{"history"},
         nullptr,
         "print the runs whose safety copies are kept, newest\n"
         "first, and how each kept file differs from the\n"
         "file as it is now, and exit",
         [](CommandLine& line, std::string) { line.showHistory = true; }},
        {{"restore-history"},
         "RUN",
         "put back every file of RUN (as --history prints\n"
         "it) together, keeping the files as they are now\n"
         "as a new run first, and exit",
         [](CommandLine& line, std::string run) { line.restoreHistoryRun = std::move(run); },
         "a run (as --history prints it)"},
        {{"h", "help"},
         nullptr,
         "show this text and exit",
         [](CommandLine& line, std::string) { line.showHelp = true; }},
        {{"v", "version"},
         nullptr,
         "show the version and exit",
         [](CommandLine& line, std::string) { line.showVersion = true; }},
    };
    return table;
}

std::string Dashed(const QString& name) {
    return (name.size() == 1 ? "-" : "--") + name.toStdString();
}

// Takes the NAME=VALUE arguments for --set; says in one line what cannot be used.
std::string SettingsCommandsProblem(const QStringList& positional, SettingsCommands& settings) {
    for (const QString& argument : positional) {
        if (!settings.set || !argument.contains('=')) {
            return "unknown argument \"" + argument.toLocal8Bit().toStdString() + "\"" +
                   (settings.set ? " (--set takes NAME=VALUE)" : "");
        }
        settings.assignments.push_back(argument.toLocal8Bit().toStdString());
    }
    if (settings.set && settings.assignments.empty()) {
        return "--set needs NAME=VALUE";
    }
    for (const std::string& dialog : settings.restoreDefaults) {
        if (!DialogNamed(dialog)) {
            return "--restore-defaults takes main, cache or other, not \"" + dialog + "\"";
        }
    }
    if (settings.json && !settings.show) {
        return "--json goes with --show";
    }
    if (settings.verbose && !settings.set && settings.restoreDefaults.empty()) {
        return "--verbose goes with --set or --restore-defaults";
    }
    return {};
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const OptionRow& row : OptionTable()) {
        parser.addOption(row.valueName ? QCommandLineOption(row.names, row.help, row.valueName)
                                       : QCommandLineOption(row.names, row.help));
    }
    QStringList list{"vk3tune"};
    for (const std::string& argument : arguments) {
        list << QString::fromLocal8Bit(argument.c_str());
    }

    CommandLine result;
    if (!parser.parse(list)) {
        // A value can only be missing at the end: the parser takes any next argument.
        const auto valueMissing =
            std::find_if(OptionTable().begin(), OptionTable().end(), [&](const OptionRow& row) {
                return row.valueName && Dashed(row.names.last()) == arguments.back();
            });
        if (!parser.unknownOptionNames().isEmpty()) {
            result.error =
                "unknown argument \"" + Dashed(parser.unknownOptionNames().first()) + "\"";
        } else if (valueMissing != OptionTable().end()) {
            result.error = arguments.back() + " needs " + valueMissing->needs;
        } else {
            result.error = parser.errorText().toStdString();
        }
        return result;
    }
    for (const OptionRow& row : OptionTable()) {
        const QString& name = row.names.last();
        if (!parser.isSet(name)) {
            continue;
        }
        const QStringList values = row.valueName ? parser.values(name) : QStringList{QString()};
        for (const QString& given : values) {
            std::string value = given.toLocal8Bit().toStdString();
            if (row.valueName && value.empty()) {
                result.error = Dashed(name) + " needs " + row.needs;
                return result;
            }
            row.apply(result, std::move(value));
        }
    }
    result.error = SettingsCommandsProblem(parser.positionalArguments(), result.settings);
    if (result.error.empty() && !result.showHelp && !result.showVersion &&
        !result.listInstallations) {
        result.error = CommandLineFolderProblem(result.overrides);
    }
    return result;
}

std::string InstallationListLine(const FoundInstallation& installation) {
    std::string line;
    for (const std::string* field :
         {&installation.source, &installation.installFolder, &installation.documentsFolder}) {
        if (field != &installation.source) {
            line += '\t';
        }
        for (const char c : *field) {
            constexpr char kHex[] = "0123456789abcdef";
            if (c == '\\') {
                line += "\\\\";
            } else if (c == '\t') {
                line += "\\t";
            } else if (c == '\n') {
                line += "\\n";
            } else if (c == '\r') {
                line += "\\r";
            } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                line += std::string("\\x") + kHex[(c >> 4) & 0xF] + kHex[c & 0xF];
            } else {
                line += c;
            }
        }
    }
    return line + '\n';
}

std::string UsageText() {
    std::string text =
        "Usage: vk3tune [--install-dir DIR] [--documents-dir DIR] [--list-installations]\n"
        "       vk3tune --history | --restore-history RUN\n"
        "       vk3tune [--install-dir DIR] [--documents-dir DIR] --show [--json]\n"
        "       vk3tune [--install-dir DIR] [--documents-dir DIR] [--verbose]\n"
        "               [--restore-defaults main|cache|other] [--set NAME=VALUE ...]\n"
        "\n"
        "Veskaran 3 - Tuning Utility: edits the graphics, performance and memory settings\n"
        "of Veskaran 3.\n"
        "\n";
    constexpr std::size_t kHelpColumn = 29;
    for (const OptionRow& row : OptionTable()) {
        std::string names = "  ";
        for (const QString& name : row.names) {
            names += Dashed(name) + (name == row.names.last() ? "" : ", ");
        }
        if (row.valueName) {
            names += std::string(" ") + row.valueName;
        }
        names.resize(std::max(names.size() + 2, kHelpColumn), ' ');
        std::string help = row.help;
        for (std::size_t end = help.find('\n'); end != std::string::npos;
             end = help.find('\n', end + 1)) {
            help.insert(end + 1, kHelpColumn, ' ');
        }
        text += names + help + "\n";
    }
#ifdef _WIN32
    text +=
        "\nBefore it first changes a file in a run, the program keeps a safety copy in\n"
        "%LOCALAPPDATA%\\vk3tune\\safety.\n";
#else
    text +=
        "\nBefore it first changes a file in a run, the program keeps a safety copy in\n"
        "$XDG_STATE_HOME/vk3tune/safety (~/.local/state when unset); see man vk3tune.\n";
#endif
    return text;
}

std::string VersionText() {
    return "Veskaran 3 - Tuning Utility, version 1.0\n";
}

}  // namespace vk3

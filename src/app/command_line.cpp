#include "app/command_line.h"

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
    std::function<void(CommandLine&, std::string)> apply;
};

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> table = {
        {{"install-dir"},
         "DIR",
         "the game's installation folder (the one holding\n"
         "Veskaran3.exe and Ini/vkmain.ini); nothing is recorded",
         [](CommandLine& line, std::string dir) { line.overrides.installDir = std::move(dir); }},
        {{"documents-dir"},
         "DIR",
         "the documents folder that holds veskaran3/UserOptions.ini",
         [](CommandLine& line, std::string dir) { line.overrides.documentsDir = std::move(dir); }},
        {{"list-installations"},
         nullptr,
         "print each installation found in Wine prefixes,\n"
         "Steam libraries, Lutris and Bottles (where,\n"
         "installation and documents folder, separated by\n"
         "tabs) and exit",
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
         [](CommandLine& line, std::string run) { line.restoreHistoryRun = std::move(run); }},
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

std::string ValueNeeded(const std::string& option) {
    return option + (option == "--restore-history" ? " needs a run (as --history prints it)"
                                                   : " needs a folder");
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
        const bool valueMissing =
            std::any_of(OptionTable().begin(), OptionTable().end(), [&](const OptionRow& row) {
                return row.valueName && Dashed(row.names.last()) == arguments.back();
            });
        if (!parser.unknownOptionNames().isEmpty()) {
            result.error =
                "unknown argument \"" + Dashed(parser.unknownOptionNames().first()) + "\"";
        } else if (valueMissing) {
            result.error = ValueNeeded(arguments.back());
        } else {
            result.error = parser.errorText().toStdString();
        }
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error =
            "unknown argument \"" + parser.positionalArguments().first().toStdString() + "\"";
        return result;
    }
    for (const OptionRow& row : OptionTable()) {
        const QString& name = row.names.last();
        if (!parser.isSet(name)) {
            continue;
        }
        std::string value = parser.value(name).toLocal8Bit().toStdString();
        if (row.valueName && value.empty()) {
            result.error = ValueNeeded(Dashed(name));
            return result;
        }
        row.apply(result, std::move(value));
    }
    if (!result.showHelp && !result.showVersion && !result.listInstallations) {
        result.error = CommandLineFolderProblem(result.overrides);
    }
    return result;
}

std::string UsageText() {
    std::string text =
        "Usage: vk3tune [--install-dir DIR] [--documents-dir DIR] [--list-installations]\n"
        "       vk3tune --history | --restore-history RUN\n"
        "\n"
        "Veskaran 3 - Tuning Utility: edits the graphics, performance and memory settings\n"
        "of Veskaran 3.\n"
        "\n";
    constexpr std::size_t kHelpColumn = 23;
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
    return text;
}

std::string VersionText() {
    return "Veskaran 3 - Tuning Utility, version 1.0\n";
}

}  // namespace vk3

#include "app/command_line.h"

namespace vk3 {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::optional<std::string>* folder = nullptr;
        std::string option = argument;
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            option = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        if (option == "--help" || option == "-h") {
            result.showHelp = true;
            continue;
        }
        if (option == "--version") {
            result.showVersion = true;
            continue;
        }
        if (option == "--install-dir") {
            folder = &result.overrides.installDir;
        } else if (option == "--documents-dir") {
            folder = &result.overrides.documentsDir;
        } else {
            result.error = "unknown argument \"" + argument + "\"";
            return result;
        }
        if (inlineValue) {
            *folder = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            *folder = arguments[++i];
        } else {
            result.error = option + " needs a folder";
            return result;
        }
        if (folder->value().empty()) {
            result.error = option + " needs a folder";
            return result;
        }
    }
    return result;
}

std::string UsageText() {
    return "Usage: vk3tune [--install-dir DIR] [--documents-dir DIR]\n"
           "\n"
           "Veskaran 3 - Tuning Utility: edits the graphics, performance and memory settings\n"
           "of Veskaran 3.\n"
           "\n"
           "  --install-dir DIR    the game's installation folder (the one holding\n"
           "                       Veskaran3.exe and Ini/vkmain.ini); nothing is recorded\n"
           "  --documents-dir DIR  the documents folder that holds veskaran3/UserOptions.ini\n"
           "  --help               show this text and exit\n"
           "  --version            show the version and exit\n";
}

std::string VersionText() {
    return "Veskaran 3 - Tuning Utility, version 1.0\n";
}

}  // namespace vk3

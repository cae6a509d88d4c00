#pragma once

#include <string>
#include <vector>

#include "app/installation_locator.h"
#include "platform/installation_finder.h"

namespace vk3 {

// Reading and changing settings without the dialogs.
struct SettingsCommands {
    bool show = false;
    bool json = false;  // --show as one JSON object
    bool set = false;
    std::vector<std::string> assignments;      // "NAME=VALUE"
    std::vector<std::string> restoreDefaults;  // "main", "cache", "other"
    bool verbose = false;

    bool Any() const { return show || set || !restoreDefaults.empty(); }
};

struct CommandLine {
    LocatorOverrides overrides;
    SettingsCommands settings;
    bool showHelp = false;
    bool showVersion = false;
    bool listInstallations = false;  // print what discovery finds and exit
    bool showHistory = false;        // print the kept runs of safety copies and exit
    std::string restoreHistoryRun;   // put back the files of this run and exit
    std::string error;               // a plain sentence when the arguments cannot be used
};

// The arguments without the program's name. Needs no application object and no display.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// One line of --list-installations: where, the installation folder and the documents folder,
// separated by tabs and ended by a newline. A backslash, tab, newline or other control
// character inside a field is written as \\, \t, \n, \r or \xNN, so that every line
// splits the same way.
std::string InstallationListLine(const FoundInstallation& installation);

std::string UsageText();
std::string VersionText();

}  // namespace vk3

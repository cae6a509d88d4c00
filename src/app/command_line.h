#pragma once

#include <string>
#include <vector>

#include "main_dialog/installation_locator.h"

namespace vk3 {

struct CommandLine {
    LocatorOverrides overrides;
    bool showHelp = false;
    bool showVersion = false;
    bool listInstallations = false;  // print what discovery finds and exit
    bool showHistory = false;        // print the kept runs of safety copies and exit
    std::string restoreHistoryRun;   // put back the files of this run and exit
    std::string error;               // a plain sentence when the arguments cannot be used
};

// The arguments without the program's name. Needs no application object and no display.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();
std::string VersionText();

}  // namespace vk3

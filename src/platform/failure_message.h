#pragma once

#include <span>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace vk3 {

// Every failure the user is told of has one form: what failed; for each file, which one and
// why; then what to do, where there is something to do. A failed save, for example:
//
//   the cache settings were not saved.
//
//   could not write "/games/Veskaran 3/Ini/vkmain.ini": the file is read-only
//
//   the dialog stays open: save again once the file can be written.
inline std::string FailureMessage(std::string_view whatFailed, std::string_view fileAction,
                                  std::span<const FileStatus> failures,
                                  std::string_view whatToDo = {}) {
    std::string message(whatFailed);
    for (const FileStatus& failure : failures) {
        message += "\n\n" + failure.Message(fileAction);
    }
    if (!whatToDo.empty()) {
        message += "\n\n";
        message += whatToDo;
    }
    return message;
}

inline std::string FailureMessage(std::string_view whatFailed, std::string_view fileAction,
                                  const FileStatus& failure, std::string_view whatToDo = {}) {
    return FailureMessage(whatFailed, fileAction, std::span(&failure, 1), whatToDo);
}

// What to do after a failed save of a dialog, which stays open with the user's values.
inline constexpr std::string_view kSaveAgainAdvice =
    "the dialog stays open: save again once the file can be written.";
// After a failed read, the dialog shows defaults; a save never replaces what it could not read.
inline constexpr std::string_view kSettingsNotRead =
    "the settings could not be read; the defaults are shown.";

}  // namespace vk3

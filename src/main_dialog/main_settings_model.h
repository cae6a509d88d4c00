#pragma once

#include <string>
#include <vector>

#include "settings/settings_binder.h"

namespace vk3 {

// What the main dialog shows beside its settings: the aspect ratio of the chosen resolution.
class MainSettingsModel {
public:
    // The resolution list holds the display's modes; with none, what is stored.
    explicit MainSettingsModel(std::vector<std::string> resolutionEntries = {});

    SettingsBinder& Binder() { return binder_; }
    const SettingsBinder& Binder() const { return binder_; }
    std::size_t ResolutionRow() const { return resolutionRow_; }

    // "4:3", "16:10", "16:9", or empty before the first resolution is chosen.
    const std::string& AspectRatioText() const { return aspectRatioText_; }
    // Derives the aspect label from the selected resolution; with no entry selected the
    // label keeps what it showed.
    void UpdateAspectRatio();

    // The binder's, with the aspect ratio following the resolution.
    SettingsResult Load(const InstallationPaths& paths);
    void RestoreDefaults();
    SettingsResult Save(const InstallationPaths& paths) { return binder_.Save(paths); }

private:
    SettingsBinder binder_;
    std::size_t resolutionRow_;
    std::string aspectRatioText_;
};

}  // namespace vk3

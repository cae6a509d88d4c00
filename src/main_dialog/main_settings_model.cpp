#include "main_dialog/main_settings_model.h"

#include "settings/resolution.h"

namespace vk3 {

MainSettingsModel::MainSettingsModel(std::vector<std::string> resolutionEntries)
    : binder_(MainSettingRows(), std::move(resolutionEntries)),
      resolutionRow_(binder_.Row("resolutionList")) {}

void MainSettingsModel::UpdateAspectRatio() {
    if (const auto ratio = AspectRatioOf(binder_.List(resolutionRow_).SelectedText())) {
        aspectRatioText_ = *ratio;
    }
}

SettingsResult MainSettingsModel::Load(const InstallationPaths& paths) {
    SettingsResult result = binder_.Load(paths);
    UpdateAspectRatio();
    return result;
}

void MainSettingsModel::RestoreDefaults() {
    binder_.Restore();
    UpdateAspectRatio();
}

}  // namespace vk3

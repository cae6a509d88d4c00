#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vk3 {

enum class ConfigFile { UserOptions, Engine };

// How a setting is stored and shown.
enum class SettingKind {
    Level,            // LevelItems; stored as index + 1
    LevelOrDisabled,  // "disabled" + LevelItems; stored as index
    Index,            // FilterItems or PostProcessItems; stored as index
    Shader,           // ShaderItems; stored as "1_4"
    Switch,           // SwitchItems; stored as "true"/"false"
    EngineLevel,      // LevelItems; stored as "low"/"med"/"high"
    Detail,           // DetailItems; stored as "normal"/"high"/"ultrahigh"
    Distance,         // number field; stored with one decimal
    Count,            // number field; stored as a whole number
    Resolution,       // the resolution list; three keys
};

// The main dialog's setting controls, in the order loading, saving and restoring visit them.
enum class MainControl {
    ViewRangeHigh,
    ViewRangeLow,
    ResourceCache,
    ObjectDetails,
    ShaderQuality,
    TextureQuality,
    TextureFilter,
    VegetationDensity,
    ShadowQuality,
    PostProcessing,
    Vegetation,
    VegetationQuality,
    ViewRangeVegetation,
    TreeShadows,
    StaticShadows,
    DetailShadows,
    ViewRangePhysics,
    MaxRagdolls,
    ViewRangeNpc,
    LowHorizonPolygons,
    ObjectQuality,
    AnimationQuality,
    ImageQuality,
    Resolution,
};
inline constexpr int kMainControlCount = 24;

// The group box a control of the main dialog stands in.
enum class MainGroup { Common, Advanced };

struct MainControlInfo {
    MainControl control;
    int resourceId;               // 1002 ... 1052
    std::string_view objectName;  // "textureQualityList", "viewRangeVegetationEdit"
    std::string_view caption;     // "texture quality:"
    SettingKind kind;
    std::string_view restoreValue;  // what restoring sets, as the game stores it: "2", "true"
    MainGroup group;
    int screenOrder;  // position on the screen and in the tab order, from the top left
};

// A control's caption as its name in lists and messages: without the closing colon.
inline std::string WithoutColon(std::string_view caption) {
    if (caption.ends_with(':')) {
        caption.remove_suffix(1);
    }
    return std::string(caption);
}

// The 24 controls in load/save/restore order.
std::span<const MainControlInfo> MainControls();
const MainControlInfo& InfoOf(MainControl control);

// The items a list control is filled with, in order; empty for number fields and for the
// resolution list, which the display modes fill.
std::vector<std::string> ItemsOf(MainControl control);
bool IsNumberField(MainControl control);

// The default a hint announces and restoring shows: "medium", "2.0", "anisotropic",
// "3500.0", "999", "ultra high", "1024x768@60Hz".
std::string DefaultShown(MainControl control);

// One stored key of the main settings.
struct SettingKey {
    ConfigFile file;
    std::string_view section;
    std::string_view key;
    MainControl control;
    std::string_view missing;  // the default read when the key or the file is absent
};

// The 26 keys, in the order they are read and written.
std::span<const SettingKey> MainSettingCatalogue();

}  // namespace vk3

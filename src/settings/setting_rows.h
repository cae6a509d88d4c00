#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vk3 {

// The game's three settings files.
enum class SettingFile { UserOptions, Engine, Debug };

// How a setting's value is read, shown, checked and written.
enum class ValueKind {
    // Drop-down lists.
    Level,            // low, medium, high; stored as index + 1
    LevelOrDisabled,  // "disabled" and the levels; stored as index
    Filter,           // linear ... anisotropic 16x; stored as index
    PostProcess,      // off, bloom effect, horizontal blur; stored as index
    Shader,           // 1.4, 2.0, 3.0; stored as "1_4"
    Switch,           // disabled, enabled; stored as "false"/"true"
    EngineLevel,      // low, medium, high; stored as "low"/"med"/"high"
    Detail,           // normal, high, ultra high; stored as "normal"/"high"/"ultrahigh"
    Resolution,       // the display's modes; three keys: width, height, refresh rate
    // Number fields.
    Distance,         // digits, kept as a float; stored with one decimal
    Count,            // digits, unsigned 32 bits; stored whole
    ViewRange,        // a signed 32-bit whole number; stored with one decimal
    FramesPerSecond,  // an unsigned 32-bit whole number; stored with one decimal
    DetailFactor,     // a float, with a point or a comma; stored with two or more decimals
    Budget,           // digits after an optional minus; stored as typed
};

bool IsList(ValueKind kind);

// One setting of a dialog: where it is stored, how, and how its control presents it.
struct SettingRow {
    SettingFile file;
    std::string_view section;
    std::array<std::string_view, 3> keys;  // one key; the resolution's three
    ValueKind kind;
    std::string_view caption;     // "view range objects:"
    std::string_view group;       // part of the control's name where captions repeat
    std::string_view objectName;  // "viewRangeObjectsLowEdit"
    std::string_view missing;     // the stored text read when the key is absent
    std::string_view restore;     // the stored text "restore settings" shows
    std::string_view hintPrefix;  // "default: "
    std::string_view hint;        // what the hint announces, when not the restored value

    std::size_t KeyCount() const { return keys[1].empty() ? 1 : keys.size(); }
};

// Each dialog's settings, in the order their keys are read and written.
std::span<const SettingRow> MainSettingRows();
std::span<const SettingRow> CacheSettingRows();
std::span<const SettingRow> OtherSettingRows();

// The row with the object name (a programming error when there is none), and its index.
std::size_t RowIndex(std::span<const SettingRow> rows, std::string_view objectName);

// A caption as a name in lists and messages: without the closing colon.
std::string WithoutColon(std::string_view caption);

// What a control is announced as, and its name in messages: "texture quality",
// "view range objects, low settings".
std::string SettingName(const SettingRow& row);

}  // namespace vk3

#include "settings/settings_binder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "settings/resolution.h"
#include "text/number_text.h"

namespace vk3 {

namespace {

using enum ValueKind;

// What a number field of a kind takes, and how a refusal says it.
struct NumberRule {
    NumberGrammar grammar;
    double lowest;
    double highest;
    std::string_view accepts;
};

NumberRule RuleOf(ValueKind kind) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    constexpr NumberGrammar kWhole{.blanks = true, .sign = true};
    constexpr std::string_view kUnsigned = "a whole number from 0 to 4294967295";
    switch (kind) {
        case Distance:
            return {{}, 0.0, FLT_MAX, "a number"};
        case Count:
            return {{}, 0.0, UINT32_MAX, kUnsigned};
        case ViewRange:
            return {kWhole, INT32_MIN, INT32_MAX, "a whole number from -2147483648 to 2147483647"};
        case FramesPerSecond:
            return {kWhole, 0.0, UINT32_MAX, kUnsigned};
        case DetailFactor:
            return {{.blanks = true, .sign = true, .fraction = true, .exponent = true},
                    -FLT_MAX,
                    FLT_MAX,
                    "a number such as 0.01"};
        default:  // a budget
            return {{.minus = true}, -kInfinity, kInfinity, "a number"};
    }
}

std::optional<double> NumberIn(ValueKind kind, const std::string& text) {
    const NumberRule rule = RuleOf(kind);
    const std::optional<double> value = ReadTypedNumber(text, rule.grammar);
    if (!value || *value < rule.lowest || *value > rule.highest) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> ItemsOf(ValueKind kind) {
    std::span<const std::string_view> items;
    switch (kind) {
        case Level:
        case EngineLevel:
        case LevelOrDisabled:
            items = LevelItems();
            break;
        case Filter:
            items = FilterItems();
            break;
        case PostProcess:
            items = PostProcessItems();
            break;
        case Shader:
            items = ShaderItems();
            break;
        case Switch:
            items = SwitchItems();
            break;
        case Detail:
            items = DetailItems();
            break;
        default:
            break;
    }
    std::vector<std::string> list(kind == LevelOrDisabled ? 1 : 0, "disabled");
    list.insert(list.end(), items.begin(), items.end());
    return list;
}

// The float the game makes of a stored real: infinity beyond the float's range.
float StoredFloat(double value) {
    if (std::fabs(value) > FLT_MAX) {
        const float infinity = std::numeric_limits<float>::infinity();
        return value > 0 ? infinity : -infinity;
    }
    return static_cast<float>(value);
}

void ShowStoredIn(ValueKind kind, std::string_view stored, std::string& text, ListState& list) {
    switch (kind) {
        case Level:
        case LevelOrDisabled:
            list.SelectByText(PresetLevelName(static_cast<std::uint32_t>(ParseInt(stored))));
            break;
        case Filter:
        case PostProcess:
            list.SelectByIndex(ParseInt(stored));
            break;
        case Shader:
            // The game stores "2_0"; any second character is read as the point.
            if (stored.size() >= 2) {
                std::string item(stored);
                item[1] = '.';
                list.SelectByText(item);
            }
            break;
        case Switch:
        case EngineLevel:
        case Detail:
            list.SelectByIndex(EngineValueToIndex(stored, kind == Detail));
            break;
        case Resolution:
            // The search starts at the second entry and takes the first one last.
            list.SelectByText(stored, 1);
            break;
        case Distance: {
            // Read as a whole unsigned number, kept as a float as the dialog always did.
            const auto distance = static_cast<float>(static_cast<std::uint32_t>(ParseInt(stored)));
            text = std::to_string(static_cast<std::uint64_t>(distance));
            break;
        }
        case Count:
        case FramesPerSecond:
            text = std::to_string(static_cast<std::uint32_t>(ParseInt(stored)));
            break;
        case ViewRange:
        case Budget:
            text = FormatInt(ParseInt(stored));
            break;
        case DetailFactor:
            text = FormatShortFloat(StoredFloat(ParseReal(stored)));
            break;
    }
}

}  // namespace

const std::filesystem::path& PathOf(const InstallationPaths& paths, SettingFile file) {
    switch (file) {
        case SettingFile::UserOptions:
            return paths.userOptions;
        case SettingFile::Debug:
            return paths.debugConfig;
        default:
            return paths.engineConfig;
    }
}

SettingsBinder::SettingsBinder(std::span<const SettingRow> rows,
                               std::vector<std::string> resolutionEntries)
    : rows_(rows), values_(rows.size()), modesListed_(!resolutionEntries.empty()) {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const ValueKind kind = rows_[row].kind;
        if (kind == Resolution) {
            values_[row].list.items = resolutionEntries;
        } else if (IsList(kind)) {
            values_[row].list.items = ItemsOf(kind);
        } else {
            values_[row].text = "0";
        }
    }
}

std::string SettingsBinder::Shown(std::size_t row) const {
    return IsList(rows_[row].kind) ? List(row).SelectedText() : Text(row);
}

void SettingsBinder::ShowStored(std::size_t row, std::string_view stored) {
    ShowStoredIn(rows_[row].kind, stored, values_[row].text, values_[row].list);
}

SettingsResult SettingsBinder::Load(const InstallationPaths& paths) {
    SettingsResult result;
    std::array<std::optional<ProfileReader>, 3> readers;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const SettingRow& setting = rows_[row];
        std::optional<ProfileReader>& reader = readers[static_cast<std::size_t>(setting.file)];
        if (!reader) {
            reader.emplace(PathOf(paths, setting.file));
            if (!reader->status()) {
                result.failures.push_back(reader->status());
            }
        }
        Value& value = values_[row];
        value.present = true;
        for (std::size_t key = 0; key < setting.KeyCount(); ++key) {
            value.present &=
                !reader->status() || reader->Contains(setting.section, setting.keys[key]);
        }
        // Budgets and the resolution's numbers are read as whole numbers, however long.
        const auto wholeNumber = [&](std::size_t key) {
            return FormatInt(static_cast<std::int32_t>(
                reader->ReadInt(setting.section, setting.keys[key], ParseInt(setting.missing))));
        };
        std::string stored;
        if (setting.kind == Resolution) {
            stored = wholeNumber(0) + "x" + wholeNumber(1) + "@" + wholeNumber(2) + "Hz";
            if (!modesListed_) {
                // Nothing could list the modes: the stored resolution is the only entry, so
                // that it shows and a save keeps it.
                value.list = ListState{};
                if (value.present) {
                    value.list.items.push_back(stored);
                }
            }
        } else if (setting.kind == Budget) {
            stored = wholeNumber(0);
        } else {
            stored = reader->ReadString(setting.section, setting.keys[0], setting.missing);
        }
        ShowStored(row, stored);
    }
    RememberShown();
    return result;
}

void SettingsBinder::RememberShown() {
    for (Value& value : values_) {
        value.loadedText = value.text;
        value.loadedSelection = value.list.selected;
        value.restored = false;
    }
}

void SettingsBinder::Saved() {
    RememberShown();
    for (Value& value : values_) {
        value.present = true;
    }
}

bool SettingsBinder::Holds(ValueKind kind, const std::string& text) {
    return IsList(kind) || NumberIn(kind, text).has_value();
}

std::optional<std::size_t> SettingsBinder::FirstInvalid(std::span<const std::size_t> order) const {
    for (std::size_t i = 0; i < (order.empty() ? rows_.size() : order.size()); ++i) {
        const std::size_t row = order.empty() ? i : order[i];
        if (!Holds(rows_[row].kind, Text(row))) {
            return row;
        }
    }
    return std::nullopt;
}

std::string SettingsBinder::InvalidMessage(std::size_t row) const {
    return "please enter " + std::string(RuleOf(rows_[row].kind).accepts) + " for \"" +
           SettingName(rows_[row]) + "\".";
}

std::string SettingsBinder::Hint(const SettingRow& row) {
    std::string value(row.hint.empty() ? row.restore : row.hint);
    if (row.hint.empty() && IsList(row.kind) && row.kind != Resolution) {
        ListState list{ItemsOf(row.kind)};
        ShowStoredIn(row.kind, row.restore, value, list);
        value = list.SelectedText();
    }
    return std::string(row.hintPrefix) + value;
}

void SettingsBinder::Restore() {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        ShowStored(row, rows_[row].restore);
        values_[row].restored = true;
    }
}

bool SettingsBinder::Changed(std::size_t row) const {
    const Value& value = values_[row];
    return value.restored || value.text != value.loadedText ||
           value.list.selected != value.loadedSelection;
}

bool SettingsBinder::HasUnsavedChanges() const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (Changed(row)) {
            return true;
        }
    }
    return false;
}

std::string SettingsBinder::StoredForm(std::size_t row) const {
    const ListState& list = List(row);
    // Only a field's text is read as a number; a save refuses one that holds none.
    const auto number = [&] { return NumberIn(rows_[row].kind, Text(row)).value_or(0.0); };
    switch (rows_[row].kind) {
        case Level:
            return FormatInt(list.selected + 1);
        case LevelOrDisabled:
        case Filter:
        case PostProcess:
            return FormatInt(list.selected);
        case Shader: {
            std::string text = list.SelectedText();
            if (text.size() >= 2) {
                text[1] = '_';
            }
            return text;
        }
        case Distance:
            return FormatFixed1(static_cast<float>(number()));
        case Count:
            return FormatInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(number())));
        case ViewRange:
        case FramesPerSecond:
            return FormatFixed1(number());
        case DetailFactor:
            return FormatFloatDecimals(static_cast<float>(number()));
        case Resolution:
            return list.SelectedText();
        case Budget:
            return Text(row);  // as typed: the game reads "3000000000" and "-1294967296" alike
        default:
            return std::string(ItemToEngineValue(list.SelectedText()));
    }
}

std::vector<ProfileFileWrites> SettingsBinder::Writes(const InstallationPaths& paths) const {
    std::vector<ProfileFileWrites> files;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const SettingRow& setting = rows_[row];
        const std::filesystem::path& path = PathOf(paths, setting.file);
        auto file = std::find_if(files.begin(), files.end(), [&](const ProfileFileWrites& named) {
            return named.file == path;
        });
        if (file == files.end()) {
            file = files.insert(files.end(), {path, {}});
        }
        if ((IsList(setting.kind) && List(row).selected < 0) ||
            (values_[row].present && !Changed(row))) {
            continue;
        }
        std::vector<std::string> texts{StoredForm(row)};
        if (setting.kind == Resolution) {
            const std::optional<ResolutionParts> parts = SplitResolutionEntry(texts[0]);
            if (!parts) {
                continue;  // an entry that is no display mode
            }
            texts = {parts->width, parts->height, parts->refreshRate};
        }
        for (std::size_t key = 0; key < texts.size(); ++key) {
            file->writes.push_back(
                {std::string(setting.section), std::string(setting.keys[key]), texts[key]});
        }
    }
    return files;
}

SettingsResult SettingsBinder::Save(const InstallationPaths& paths,
                                    std::span<const std::size_t> order) {
    SettingsResult result{FirstInvalid(order), {}};
    if (result.invalidRow) {
        return result;
    }
    if (FileStatus status = WriteProfileFiles(Writes(paths)); !status) {
        result.failures.push_back(std::move(status));
        return result;
    }
    Saved();
    return result;
}

}  // namespace vk3

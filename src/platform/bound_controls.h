#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "settings/settings_binder.h"

class QLabel;
class QWidget;

namespace vk3 {

class NumberField;
class Prompter;

// The controls of a binder's rows: a drop-down list or a number field each, named,
// announced and hinted from its row. Every change a user makes reaches the binder at once.
class BoundControls {
public:
    // onChange runs after a control's new value reached the binder.
    explicit BoundControls(SettingsBinder& binder,
                           std::function<void(std::size_t row)> onChange = {});

    // Makes the row's control in parent, and its caption label, whose buddy it is.
    struct Made {
        QLabel* caption;
        QWidget* control;
    };
    Made Make(std::size_t row, QWidget* parent);
    QWidget* Control(std::size_t row) const { return controls_[row]; }

    // Shows the binder's values; no change handler runs meanwhile.
    void Show();

    // True when no control was changed since loading or saving, or the user agrees to lose
    // the change.
    bool MayDiscardChanges(Prompter& prompter) const;

    // Tells what the load could not read.
    void ReportLoad(Prompter& prompter, const SettingsResult& result) const;
    // Tells why a save wrote nothing: the value to correct, which gets the focus, or the
    // files that could not be written. True when it saved.
    bool ReportSave(Prompter& prompter, const SettingsResult& result, std::string_view whatFailed,
                    std::string_view whatToDo) const;

private:
    SettingsBinder& binder_;
    std::function<void(std::size_t row)> onChange_;
    std::vector<QWidget*> controls_;
};

}  // namespace vk3

#include "platform/bound_controls.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "platform/failure_message.h"
#include "platform/number_field.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"

namespace vk3 {

BoundControls::BoundControls(SettingsBinder& binder, std::function<void(std::size_t row)> onChange)
    : binder_(binder), onChange_(std::move(onChange)), controls_(binder.Rows().size()) {}

BoundControls::Made BoundControls::Make(std::size_t row, QWidget* parent) {
    const SettingRow& setting = binder_.Rows()[row];
    const auto changed = [this, row] {
        if (onChange_) {
            onChange_(row);
        }
    };
    QWidget* control = nullptr;
    if (IsList(setting.kind)) {
        auto* list = new QComboBox(parent);
        list->setMaxVisibleItems(12);
        QObject::connect(list, &QComboBox::currentIndexChanged, list,
                         [this, row, changed](int index) {
                             binder_.List(row).selected = index;
                             changed();
                         });
        control = list;
    } else {
        const ValueKind kind = setting.kind;
        auto* field = new NumberField(
            [kind](const std::string& text) { return SettingsBinder::Holds(kind, text); }, parent);
        QObject::connect(field, &QLineEdit::textChanged, field,
                         [this, row, changed](const QString& text) {
                             binder_.Text(row) = ToStdString(text);
                             changed();
                         });
        control = field;
    }
    control->setObjectName(ToQString(setting.objectName));
    control->setAccessibleName(ToQString(SettingName(setting)));
    SetHint(control, SettingsBinder::Hint(setting));
    controls_[row] = control;
    auto* caption = new QLabel(ToQString(setting.caption), parent);
    caption->setBuddy(control);
    return {caption, control};
}

void BoundControls::Show() {
    for (std::size_t row = 0; row < controls_.size(); ++row) {
        if (auto* field = qobject_cast<NumberField*>(controls_[row])) {
            field->ShowText(ToQString(binder_.Text(row)));
        } else if (auto* list = qobject_cast<QComboBox*>(controls_[row])) {
            const QSignalBlocker blocker(list);
            const std::vector<std::string>& items = binder_.List(row).items;
            bool same = list->count() == static_cast<int>(items.size());
            for (int i = 0; same && i < list->count(); ++i) {
                same = list->itemText(i) == ToQString(items[static_cast<std::size_t>(i)]);
            }
            if (!same) {
                // First, or the resolution list when no display mode could be listed.
                list->clear();
                for (const std::string& item : items) {
                    list->addItem(ToQString(item));
                }
            }
            list->setCurrentIndex(binder_.List(row).selected);
        }
    }
}

bool BoundControls::MayDiscardChanges(Prompter& prompter) const {
    return !binder_.HasUnsavedChanges() || prompter.AskYesNoDefaultNo(kDiscardChangesQuestion);
}

void BoundControls::ReportLoad(Prompter& prompter, const SettingsResult& result) const {
    if (!result.failures.empty()) {
        prompter.Error(FailureMessage(kSettingsNotRead, "could not read", result.failures));
    }
}

bool BoundControls::ReportSave(Prompter& prompter, const SettingsResult& result,
                               std::string_view whatFailed, std::string_view whatToDo) const {
    if (result.invalidRow) {
        prompter.Notice(binder_.InvalidMessage(*result.invalidRow));
        QWidget* control = controls_[*result.invalidRow];
        control->setFocus();
        if (auto* field = qobject_cast<NumberField*>(control)) {
            field->selectAll();
        }
        return false;
    }
    if (!result.failures.empty()) {
        prompter.Error(FailureMessage(whatFailed, "could not write", result.failures, whatToDo));
        return false;
    }
    return true;
}

}  // namespace vk3

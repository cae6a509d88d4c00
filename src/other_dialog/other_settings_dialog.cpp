#include "other_dialog/other_settings_dialog.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <map>

#include "platform/failure_message.h"
#include "platform/number_field.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"
#include "settings/hint.h"

namespace vk3 {

namespace {

// The row of group boxes each group stands in, and its share of the row's width.
struct GroupPlace {
    int row;
    int stretch;
};
const std::map<std::string_view, GroupPlace> kGroupPlaces = {
    {"low settings", {0, 1}}, {"medium settings", {0, 1}}, {"high settings", {0, 1}},
    {"FPS", {1, 1}},          {"miscellaneous", {1, 2}},
};

}  // namespace

OtherSettingsDialog::OtherSettingsDialog(InstallationPaths paths, Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), paths_(std::move(paths)), prompter_(prompter) {
    SetUpSettingsDialog(this, "otherSettingsDialog");
    BuildControls();
    ApplyColourScheme(this, DialogKind::OtherSettings);
    const std::vector<FileStatus> failures = model_.Load(paths_);
    ShowModel();
    if (!failures.empty()) {
        prompter_.Error(FailureMessage(kSettingsNotRead, "could not read", failures));
    }
}

void OtherSettingsDialog::Open(QWidget* owner, const InstallationPaths& paths) {
    QtPrompter prompter;
    OtherSettingsDialog dialog(paths, prompter, owner);
    prompter.SetOwner(&dialog);
    dialog.exec();
}

void OtherSettingsDialog::BuildControls() {
    QVBoxLayout* layout = StartDialogLayout(this);
    AddHeading(layout, "OTHER SETTINGS", "headingLabel");

    QHBoxLayout* groupRows[] = {new QHBoxLayout, new QHBoxLayout};
    std::map<std::string_view, QGridLayout*> grids;
    for (const OtherSetting& setting : OtherSettings()) {
        QGridLayout*& grid = grids[setting.group];
        if (grid == nullptr) {
            auto* group = new QGroupBox(ToQString(setting.group), this);
            grid = new QGridLayout(group);
            grid->setColumnStretch(1, 1);
            grid->setVerticalSpacing(4);
            const GroupPlace place = kGroupPlaces.at(setting.group);
            groupRows[place.row]->addWidget(group, place.stretch);
        }
        auto* group = static_cast<QWidget*>(grid->parent());
        QWidget* control = nullptr;
        if (setting.kind == OtherKind::Switch) {
            auto* list = new QComboBox(group);
            list->setEditable(false);
            for (const std::string& item : model_.List(setting.control).items) {
                list->addItem(ToQString(item));
            }
            const OtherControl id = setting.control;
            connect(list, &QComboBox::currentIndexChanged, this,
                    [this, id](int index) { model_.List(id).selected = index; });
            lists_[Slot(setting.control)] = list;
            control = list;
        } else {
            const OtherControl id = setting.control;
            auto* field = new NumberField(
                [id](const std::string& text) {
                    return OtherSettingsModel::FieldHoldsValue(id, text);
                },
                group);
            field->setMinimumWidth(80);
            fields_[Slot(setting.control)] = field;
            control = field;
        }
        QString name = ToQString(setting.caption);
        name.chop(1);  // the colon
        control->setObjectName(ToQString(setting.objectName));
        // Several groups share captions: the group is part of the name, and the hint, as
        // in every dialog, is read as the description.
        control->setAccessibleName(name + ", " + ToQString(setting.group));
        SetHint(control, JoinHint(setting.hintPrefix, setting.hintValue));
        auto* label = new QLabel(ToQString(setting.caption), group);
        label->setBuddy(control);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
    }
    for (const auto& [name, grid] : grids) {
        grid->setRowStretch(grid->rowCount(), 1);
    }
    for (QHBoxLayout* row : groupRows) {
        layout->addLayout(row);
    }

    const SettingsButtons buttons =
        AddSettingsButtons(layout, {"restoreSettingsButton", "saveButton", "closeButton"});
    restoreButton_ = buttons.restore;
    saveButton_ = buttons.save;
    closeButton_ = buttons.close;

    connect(restoreButton_, &QPushButton::clicked, this, &OtherSettingsDialog::Restore);
    connect(saveButton_, &QPushButton::clicked, this, &OtherSettingsDialog::Save);
    connect(closeButton_, &QPushButton::clicked, this, &OtherSettingsDialog::accept);
}

void OtherSettingsDialog::ShowModel() {
    for (const OtherSetting& setting : OtherSettings()) {
        if (NumberField* field = fields_[Slot(setting.control)]) {
            field->ShowText(ToQString(model_.FieldText(setting.control)));
        } else if (QComboBox* list = lists_[Slot(setting.control)]) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(model_.List(setting.control).selected);
        }
    }
}

void OtherSettingsDialog::TakeFields() {
    for (const OtherSetting& setting : OtherSettings()) {
        if (QLineEdit* field = fields_[Slot(setting.control)]) {
            model_.FieldText(setting.control) = ToStdString(field->text());
        }
    }
}

bool OtherSettingsDialog::RefuseField(std::optional<OtherControl> invalid) {
    if (!invalid) {
        return false;
    }
    prompter_.Notice(OtherSettingsModel::InvalidFieldMessage(*invalid));
    fields_[Slot(*invalid)]->setFocus();
    fields_[Slot(*invalid)]->selectAll();
    return true;
}

bool OtherSettingsDialog::MayDiscardChanges() {
    TakeFields();
    return !model_.HasUnsavedChanges() || prompter_.AskYesNoDefaultNo(kDiscardChangesQuestion);
}

void OtherSettingsDialog::accept() {
    // Fields as loaded always hold numbers: only a change could be refused, and it is
    // either kept by No or given up by Yes.
    if (MayDiscardChanges()) {
        QDialog::accept();
    }
}

void OtherSettingsDialog::reject() {
    if (MayDiscardChanges()) {
        QDialog::reject();
    }
}

void OtherSettingsDialog::Save() {
    TakeFields();
    const OtherSettingsModel::SaveResult result = model_.Save(paths_);
    if (RefuseField(result.invalidField)) {
        return;
    }
    if (result.failures.empty()) {
        QDialog::accept();
        return;
    }
    prompter_.Error(FailureMessage("the other settings were not saved.", "could not write",
                                   result.failures, kSaveAgainAdvice));
}

void OtherSettingsDialog::Restore() {
    if (!prompter_.AskYesNo(kRestoreSettingsQuestion)) {
        return;
    }
    model_.Restore();
    ShowModel();
}

}  // namespace vk3

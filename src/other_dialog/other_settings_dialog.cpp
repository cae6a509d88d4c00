#include "other_dialog/other_settings_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <map>

#include "platform/failure_message.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"

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

// The order in which the dialog takes its number fields, so the order in which a field
// that holds no number is reported.
std::vector<std::size_t> TakeOrder(const SettingsBinder& binder) {
    std::vector<std::size_t> order;
    for (const char* name :
         {"viewRangeObjectsHighEdit", "viewRangeHighQualityHighEdit", "viewRangeLowQualityHighEdit",
          "viewRangeObjectsLowEdit", "viewRangeHighQualityLowEdit", "viewRangeLowQualityLowEdit",
          "viewRangeObjectsMediumEdit", "viewRangeHighQualityMediumEdit",
          "viewRangeLowQualityMediumEdit", "levelOfDetailEdit", "averageFpsEdit", "maxFpsEdit",
          "minFpsEdit"}) {
        order.push_back(binder.Row(name));
    }
    return order;
}

}  // namespace

OtherSettingsDialog::OtherSettingsDialog(InstallationPaths paths, Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), paths_(std::move(paths)), prompter_(prompter) {
    SetUpSettingsDialog(this, "otherSettingsDialog");
    BuildControls();
    ApplyColourScheme(this, DialogKind::OtherSettings);
    const SettingsResult loaded = binder_.Load(paths_);
    controls_.Show();
    controls_.ReportLoad(prompter_, loaded);
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
    for (std::size_t row = 0; row < binder_.Rows().size(); ++row) {
        const std::string_view groupName = binder_.Rows()[row].group;
        QGridLayout*& grid = grids[groupName];
        if (grid == nullptr) {
            auto* group = new QGroupBox(ToQString(groupName), this);
            grid = new QGridLayout(group);
            grid->setColumnStretch(1, 1);
            grid->setVerticalSpacing(4);
            const GroupPlace place = kGroupPlaces.at(groupName);
            groupRows[place.row]->addWidget(group, place.stretch);
        }
        const BoundControls::Made made = controls_.Make(row, static_cast<QWidget*>(grid->parent()));
        made.control->setMinimumWidth(80);
        const int gridRow = grid->rowCount();
        grid->addWidget(made.caption, gridRow, 0);
        grid->addWidget(made.control, gridRow, 1);
    }
    for (const auto& [name, grid] : grids) {
        grid->setRowStretch(grid->rowCount(), 1);
    }
    for (QHBoxLayout* row : groupRows) {
        layout->addLayout(row);
    }

    const SettingsButtons buttons =
        AddSettingsButtons(layout, {"restoreSettingsButton", "saveButton", "closeButton"});
    connect(buttons.restore, &QPushButton::clicked, this, &OtherSettingsDialog::Restore);
    connect(buttons.save, &QPushButton::clicked, this, &OtherSettingsDialog::Save);
    connect(buttons.close, &QPushButton::clicked, this, &OtherSettingsDialog::accept);
}

void OtherSettingsDialog::accept() {
    if (controls_.MayDiscardChanges(prompter_)) {
        QDialog::accept();
    }
}

void OtherSettingsDialog::reject() {
    if (controls_.MayDiscardChanges(prompter_)) {
        QDialog::reject();
    }
}

void OtherSettingsDialog::Save() {
    if (controls_.ReportSave(prompter_, binder_.Save(paths_, TakeOrder(binder_)),
                             "the other settings were not saved.", kSaveAgainAdvice)) {
        QDialog::accept();
    }
}

void OtherSettingsDialog::Restore() {
    if (prompter_.AskYesNo(kRestoreSettingsQuestion)) {
        binder_.Restore();
        controls_.Show();
    }
}

}  // namespace vk3

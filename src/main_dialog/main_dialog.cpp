#include "main_dialog/main_dialog.h"

#include <QComboBox>

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "files/file_system.h"
#include "platform/failure_message.h"
#include "platform/number_field.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"
#include "settings/hint.h"

namespace vk3 {

namespace {

constexpr const char* kTitle = "Veskaran 3 - Tuning Utility";
constexpr const char* kSettingsSaved = "settings saved";
constexpr const char* kChangeFolderQuestion =
    "the settings were changed. change the documents folder without saving?";
constexpr const char* kChooseDocumentsHint =
    "choose the documents folder that holds the game's veskaran3 folder with \"change...\" "
    "beside \"documents:\".";

QString AccessibleNameOf(std::string_view caption) {
    QString name = ToQString(caption);
    if (name.endsWith(':')) {
        name.chop(1);
    }
    return name;
}

}  // namespace

MainDialog::MainDialog(InstallationPaths paths, std::vector<std::string> resolutionEntries,
                       Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      paths_(std::move(paths)),
      prompter_(prompter),
      model_(std::move(resolutionEntries)) {
    setObjectName("mainDialog");
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(PngIcon(":/icon-", {64, 48, 32, 16}));

    BuildControls();
    ConnectButtons();
    SetUpHints();
    ApplyColourScheme(this, DialogKind::Main);
    LoadMainSettings();
}

void MainDialog::BuildControls() {
    QVBoxLayout* layout = StartDialogLayout(this);
    BuildHeader(layout);

    // Built in screen order, which is also the tab order.
    auto* groups = new QHBoxLayout;
    auto* common = BuildGroup(MainGroup::Common, "common settings", "commonSettingsGroup");
    auto* commonGrid = static_cast<QGridLayout*>(common->layout());
    auto* warning = new QLabel("use of this tool is at you own risk!", common);
    warning->setObjectName("warningLabel");
    warning->setAlignment(Qt::AlignCenter);
    commonGrid->addWidget(warning, commonGrid->rowCount(), 0, 1, 2);
    restoreLogosButton_ =
        MakeDialogButton(common, "restoreStartLogosButton", "restore s&tartlogos");
    removeLogosButton_ = MakeDialogButton(common, "removeStartLogosButton", "remo&ve startlogos");
    AddButtonRow(commonGrid, {restoreLogosButton_, removeLogosButton_});
    commonGrid->setRowStretch(commonGrid->rowCount(), 1);

    auto* advanced = BuildGroup(MainGroup::Advanced, "advanced settings", "advancedSettingsGroup");
    cacheSettingsButton_ = MakeDialogButton(advanced, "cacheSettingsButton", "&cache settings...");
    otherSettingsButton_ = MakeDialogButton(advanced, "otherSettingsButton", "&other settings");
    restoreSettingsButton_ =
        MakeDialogButton(advanced, "restoreSettingsButton", "&restore settings");
    AddButtonRow(static_cast<QGridLayout*>(advanced->layout()),
                 {cacheSettingsButton_, otherSettingsButton_, restoreSettingsButton_});
    groups->addWidget(common, 1);
    groups->addWidget(advanced, 1);
    layout->addLayout(groups);

    // A grey line above the bottom buttons, whatever the dialog's colours.
    auto* separator = new QFrame(this);
    separator->setObjectName("separator");
    separator->setFixedHeight(2);
    separator->setAutoFillBackground(true);
    QPalette grey;
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    separator->setPalette(grey);
    layout->addWidget(separator);

    loadBackupButton_ = MakeDialogButton(this, "loadBackupButton", "&load backup...");
    createBackupButton_ = MakeDialogButton(this, "createBackupButton", "create &backup...");
    historyButton_ = MakeDialogButton(this, "historyButton", "h&istory...");
    saveSettingsButton_ = MakeDialogButton(this, "saveSettingsButton", "&save settings");
    quitButton_ = MakeDialogButton(this, "quitButton", "&quit");
    quitButton_->setDefault(true);
    creditsButton_ = MakeDialogButton(this, "creditsButton", "&credits");
    // Last in the tab order, so that the first list keeps the focus when the dialog opens.
    setTabOrder(creditsButton_, changeDocumentsButton_);
    auto* bottom = new QHBoxLayout;
    for (QPushButton* button : {loadBackupButton_, createBackupButton_, historyButton_,
                                saveSettingsButton_, quitButton_, creditsButton_}) {
        bottom->addWidget(button);
    }
    layout->addLayout(bottom);
}

void MainDialog::BuildHeader(QVBoxLayout* layout) {
    auto* banner = new QLabel(this);
    banner->setObjectName("banner");
    banner->setPixmap(PpmPicture(":/banner.ppm"));
    banner->setAlignment(Qt::AlignCenter);
    banner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(banner, 0, Qt::AlignHCenter);

    auto* versionRow = new QHBoxLayout;
    auto* version = new QLabel("version 1.0", this);
    version->setObjectName("versionLabel");
    auto* author = new QLabel("made for the players of Veskaran 3", this);
    author->setObjectName("authorLabel");
    author->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    versionRow->addWidget(version);
    versionRow->addWidget(author, 1);
    layout->addLayout(versionRow);

    // Which copy of the game this edits, for players with more than one prefix: read-only
    // fields, long paths cut in the middle with the whole path as hint, outside the tab order.
    auto* folders = new QGridLayout;
    folders->setVerticalSpacing(0);
    const std::tuple<const char*, const char*, const std::filesystem::path&> rows[] = {
        {"installation:", "installationFolderField", paths_.engineConfig},
        {"documents:", "documentsFolderField", paths_.userOptions}};
    for (const auto& [caption, objectName, file] : rows) {
        auto* label = new QLabel(caption, this);
        std::string folder = ParentFolderText(ParentFolderText(Utf8FromPath(file)));
        std::error_code missing;
        if (file == paths_.userOptions && !folder.empty() &&
            !std::filesystem::is_directory(PathFromUtf8(folder), missing)) {
            // A Proton prefix is made at the game's first start, and its documents with it.
            folder += kDocumentsAfterFirstStart;
        }
        QLineEdit* field = MakePathField(this, objectName, ToQString(folder));
        field->setAccessibleName(AccessibleNameOf(caption));
        label->setBuddy(field);
        const int row = folders->rowCount();
        folders->addWidget(label, row, 0);
        folders->addWidget(field, row, 1);
        documentsField_ = field;  // the last row
    }
    changeDocumentsButton_ = MakeDialogButton(this, "changeDocumentsFolderButton", "c&hange...");
    changeDocumentsButton_->setAccessibleName("change documents folder");
    folders->addWidget(changeDocumentsButton_, folders->rowCount() - 1, 2);
    layout->addLayout(folders);
}

QGroupBox* MainDialog::BuildGroup(MainGroup group, const char* caption, const char* objectName) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(objectName);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(4);

    std::vector<MainControlInfo> controls;
    for (const MainControlInfo& info : MainControls()) {
        if (info.group == group) {
            controls.push_back(info);
        }
    }
    std::sort(controls.begin(), controls.end(),
              [](const auto& a, const auto& b) { return a.screenOrder < b.screenOrder; });
    for (const MainControlInfo& info : controls) {
        auto* label = new QLabel(ToQString(info.caption), box);
        QWidget* widget = BuildControl(info, box);
        label->setBuddy(widget);
        AddRow(grid, label, widget);
        if (info.control == MainControl::Resolution) {
            // The ratio is announced by its caption and read as its text, "4:3".
            auto* aspectCaption = new QLabel("acpect ratio:", box);
            aspectCaption->setObjectName("aspectRatioCaption");
            aspectRatioLabel_ = new QLabel(box);
            aspectRatioLabel_->setObjectName("aspectRatioLabel");
            aspectRatioLabel_->setAlignment(Qt::AlignCenter);
            aspectCaption->setBuddy(aspectRatioLabel_);
            AddRow(grid, aspectCaption, aspectRatioLabel_);
        }
    }
    return box;
}

QWidget* MainDialog::BuildControl(const MainControlInfo& info, QWidget* parent) {
    QWidget* widget = nullptr;
    if (IsNumberField(info.control)) {
        const MainControl control = info.control;
        auto* field = new NumberField(
            [control](const std::string& text) {
                return MainSettingsModel::FieldHoldsValue(control, text);
            },
            parent);
        fields_[Slot(info.control)] = field;
        widget = field;
    } else {
        auto* list = new QComboBox(parent);
        list->setEditable(false);
        list->setMaxVisibleItems(12);
        for (const std::string& item : model_.List(info.control).items) {
            list->addItem(ToQString(item));
        }
        list->setCurrentIndex(-1);
        lists_[Slot(info.control)] = list;
        widget = list;
    }
    widget->setObjectName(ToQString(info.objectName));
    widget->setAccessibleName(AccessibleNameOf(info.caption));
    return widget;
}

void MainDialog::AddRow(QGridLayout* grid, QLabel* label, QWidget* control) {
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
}

void MainDialog::AddButtonRow(QGridLayout* grid, std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    grid->addLayout(row, grid->rowCount(), 0, 1, 2);
}

void MainDialog::ConnectButtons() {
    connect(saveSettingsButton_, &QPushButton::clicked, this, &MainDialog::SaveMainSettings);
    connect(cacheSettingsButton_, &QPushButton::clicked, this,
            [this] { OpenChild(children_.cacheSettings); });
    connect(otherSettingsButton_, &QPushButton::clicked, this,
            [this] { OpenChild(children_.otherSettings); });
    const auto run = [this](const MaintenanceAction& action) {
        if (action) {
            action(prompter_, paths_);
        }
    };
    connect(removeLogosButton_, &QPushButton::clicked, this,
            [this, run] { run(maintenance_.removeStartLogos); });
    connect(loadBackupButton_, &QPushButton::clicked, this, &MainDialog::LoadBackup);
    connect(createBackupButton_, &QPushButton::clicked, this,
            [this, run] { run(maintenance_.createBackup); });
    connect(historyButton_, &QPushButton::clicked, this, &MainDialog::OpenHistory);
    connect(restoreLogosButton_, &QPushButton::clicked, this,
            [this, run] { run(maintenance_.restoreStartLogos); });
    connect(restoreSettingsButton_, &QPushButton::clicked, this,
            &MainDialog::RestoreDefaultSettings);
    connect(creditsButton_, &QPushButton::clicked, this, [this] { OpenChild(children_.credits); });
    connect(quitButton_, &QPushButton::clicked, this, &MainDialog::accept);
    connect(changeDocumentsButton_, &QPushButton::clicked, this,
            &MainDialog::ChangeDocumentsFolder);

    for (const MainControlInfo& info : MainControls()) {
        if (QComboBox* list = ListWidget(info.control)) {
            const MainControl control = info.control;
            connect(list, &QComboBox::currentIndexChanged, this, [this, control](int index) {
                model_.List(control).selected = index;
                if (control == MainControl::Resolution) {
                    UpdateAspectRatio();
                }
            });
        }
    }
}

void MainDialog::SetUpHints() {
    for (const MainControlInfo& info : MainControls()) {
        QWidget* control = IsNumberField(info.control)
                               ? static_cast<QWidget*>(FieldWidget(info.control))
                               : static_cast<QWidget*>(ListWidget(info.control));
        SetHint(control, JoinHint(kDefaultHintPrefix, DefaultShown(info.control)));
    }
}

void MainDialog::ShowModel() {
    for (const MainControlInfo& info : MainControls()) {
        if (NumberField* field = FieldWidget(info.control)) {
            field->ShowText(ToQString(model_.FieldText(info.control)));
        } else if (QComboBox* list = ListWidget(info.control)) {
            const QSignalBlocker blocker(list);
            const std::vector<std::string>& items = model_.List(info.control).items;
            bool same = list->count() == static_cast<int>(items.size());
            for (int i = 0; same && i < list->count(); ++i) {
                same = list->itemText(i) == ToQString(items[static_cast<std::size_t>(i)]);
            }
            if (!same) {
                // The resolution list when no display mode could be listed: the stored one.
                list->clear();
                for (const std::string& item : items) {
                    list->addItem(ToQString(item));
                }
            }
            list->setCurrentIndex(model_.List(info.control).selected);
        }
    }
    aspectRatioLabel_->setText(ToQString(model_.AspectRatioText()));
}

void MainDialog::CopyNumberFields() {
    for (const MainControlInfo& info : MainControls()) {
        if (QLineEdit* field = FieldWidget(info.control)) {
            model_.FieldText(info.control) = ToStdString(field->text());
        }
    }
}

bool MainDialog::TakeNumberFields() {
    CopyNumberFields();
    if (const std::optional<MainControl> invalid = model_.FirstInvalidField()) {
        prompter_.Notice(MainSettingsModel::InvalidFieldMessage(*invalid));
        FieldWidget(*invalid)->setFocus();
        FieldWidget(*invalid)->selectAll();
        return false;
    }
    return true;
}

void MainDialog::LoadMainSettings() {
    const FileStatus status = model_.Load(paths_);
    ShowModel();
    if (!status) {
        prompter_.Error(FailureMessage(kSettingsNotRead, "could not read", status));
    }
}

bool MainDialog::MayDiscardChanges() {
    CopyNumberFields();
    return !model_.HasUnsavedChanges() || prompter_.AskYesNoDefaultNo(kDiscardChangesQuestion);
}

void MainDialog::accept() {
    if (MayDiscardChanges()) {
        QDialog::accept();
    }
}

void MainDialog::reject() {
    if (MayDiscardChanges()) {
        QDialog::reject();
    }
}

void MainDialog::SaveMainSettings() {
    if (!TakeNumberFields()) {
        return;
    }
    if (const FileStatus status = model_.Save(paths_); !status) {
        // A documents folder that is not there is chosen with "change...".
        std::error_code ignored;
        const bool noDocumentsFolder =
            status.path == paths_.userOptions &&
            !std::filesystem::is_directory(paths_.userOptions.parent_path(), ignored);
        prompter_.Error(
            FailureMessage("the settings were not saved.", "could not write", status,
                           noDocumentsFolder ? kChooseDocumentsHint : kSaveAgainAdvice));
        return;
    }
    prompter_.Notice(kSettingsSaved);
}

void MainDialog::RestoreDefaultSettings() {
    if (!prompter_.AskYesNo(kRestoreSettingsQuestion)) {
        return;
    }
    model_.RestoreDefaults();
    ShowModel();
}

void MainDialog::UpdateAspectRatio() {
    model_.UpdateAspectRatio();
    aspectRatioLabel_->setText(ToQString(model_.AspectRatioText()));
}

void MainDialog::LoadBackup() {
    if (maintenance_.loadBackup && maintenance_.loadBackup(prompter_, paths_)) {
        LoadMainSettings();
    }
}

void MainDialog::OpenHistory() {
    if (!maintenance_.history || childOpen_) {
        return;
    }
    childOpen_ = true;
    const bool restored = maintenance_.history(this);
    childOpen_ = false;
    if (restored) {
        LoadMainSettings();
    }
}

void MainDialog::ChangeDocumentsFolder() {
    if (!chooseDocuments_) {
        return;
    }
    CopyNumberFields();
    if (model_.HasUnsavedChanges() && !prompter_.AskYesNoDefaultNo(kChangeFolderQuestion)) {
        return;
    }
    const std::optional<InstallationPaths> chosen = chooseDocuments_(prompter_, paths_);
    if (!chosen) {
        return;
    }
    paths_ = *chosen;
    SetPathFieldText(
        documentsField_,
        ToQString(ParentFolderText(ParentFolderText(Utf8FromPath(paths_.userOptions)))));
    LoadMainSettings();
}

void MainDialog::OpenChild(const ChildDialogOpener& opener) {
    // One child at a time; it runs modally, so the main dialog takes no input meanwhile.
    if (!opener || childOpen_) {
        return;
    }
    childOpen_ = true;
    opener(this, paths_);
    childOpen_ = false;
}

}  // namespace vk3

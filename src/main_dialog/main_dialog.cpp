#include "main_dialog/main_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/file_system.h"
#include "platform/failure_message.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"

namespace vk3 {

namespace {

constexpr const char* kTitle = "Veskaran 3 - Tuning Utility";
constexpr const char* kSettingsSaved = "settings saved";
constexpr const char* kChangeFolderQuestion =
    "the settings were changed. change the documents folder without saving?";
constexpr const char* kChooseDocumentsHint =
    "choose the documents folder that holds the game's veskaran3 folder with \"change...\" "
    "beside \"documents:\".";

}  // namespace

MainDialog::MainDialog(InstallationPaths paths, std::vector<std::string> resolutionEntries,
                       Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      paths_(std::move(paths)),
      prompter_(prompter),
      model_(std::move(resolutionEntries)),
      controls_(model_.Binder(), [this](std::size_t row) {
          if (row == model_.ResolutionRow()) {
              UpdateAspectRatio();
          }
      }) {
    setObjectName("mainDialog");
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(PngIcon(":/icon-", {64, 48, 32, 16}));

    BuildControls();
    ConnectButtons();
    ApplyColourScheme(this, DialogKind::Main);
    LoadMainSettings();
}

void MainDialog::BuildControls() {
    QVBoxLayout* layout = StartDialogLayout(this);
    BuildHeader(layout);

    // Built in screen order, which is also the tab order.
    auto* groups = new QHBoxLayout;
    auto* common = BuildGroup(SettingFile::UserOptions, "common settings", "commonSettingsGroup");
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

    auto* advanced = BuildGroup(SettingFile::Engine, "advanced settings", "advancedSettingsGroup");
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
        field->setAccessibleName(ToQString(WithoutColon(caption)));
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

QGroupBox* MainDialog::BuildGroup(SettingFile file, const char* caption, const char* objectName) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(objectName);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(4);

    // The settings of the user options file stand in the common group, the resolution first;
    // those of the engine file in the advanced group.
    std::vector<std::size_t> rows;
    if (file == SettingFile::UserOptions) {
        rows.push_back(model_.ResolutionRow());
    }
    for (std::size_t row = 0; row < MainSettingRows().size(); ++row) {
        if (MainSettingRows()[row].file == file && row != model_.ResolutionRow()) {
            rows.push_back(row);
        }
    }
    for (std::size_t row : rows) {
        const BoundControls::Made made = controls_.Make(row, box);
        AddRow(grid, made.caption, made.control);
        if (row == model_.ResolutionRow()) {
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
}

void MainDialog::ShowModel() {
    controls_.Show();
    aspectRatioLabel_->setText(ToQString(model_.AspectRatioText()));
}

void MainDialog::LoadMainSettings() {
    const SettingsResult result = model_.Load(paths_);
    ShowModel();
    controls_.ReportLoad(prompter_, result);
}

void MainDialog::accept() {
    if (controls_.MayDiscardChanges(prompter_)) {
        QDialog::accept();
    }
}

void MainDialog::reject() {
    if (controls_.MayDiscardChanges(prompter_)) {
        QDialog::reject();
    }
}

void MainDialog::SaveMainSettings() {
    const SettingsResult result = model_.Save(paths_);
    // A documents folder that is not there is chosen with "change...".
    std::error_code ignored;
    const bool noDocumentsFolder =
        !result.failures.empty() && result.failures.front().path == paths_.userOptions &&
        !std::filesystem::is_directory(paths_.userOptions.parent_path(), ignored);
    if (controls_.ReportSave(prompter_, result, "the settings were not saved.",
                             noDocumentsFolder ? kChooseDocumentsHint : kSaveAgainAdvice)) {
        prompter_.Notice(kSettingsSaved);
    }
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
    if (model_.Binder().HasUnsavedChanges() &&
        !prompter_.AskYesNoDefaultNo(kChangeFolderQuestion)) {
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

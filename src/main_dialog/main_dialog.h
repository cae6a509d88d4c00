#pragma once

#include <QDialog>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "main_dialog/main_settings_model.h"
#include "platform/bound_controls.h"
#include "platform/installation.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vk3 {

class Prompter;

// Runs a child dialog modally (exec), owned by the main dialog, with the installation's
// paths. The main dialog refreshes nothing afterwards.
using ChildDialogOpener = std::function<void(QWidget* owner, const InstallationPaths& paths)>;

struct ChildDialogs {
    ChildDialogOpener cacheSettings;
    ChildDialogOpener otherSettings;
    ChildDialogOpener credits;
};

// What the backup and start-logo buttons do; each asks and reports through the prompter.
using MaintenanceAction = std::function<void(Prompter& prompter, const InstallationPaths& paths)>;
struct MaintenanceActions {
    MaintenanceAction createBackup;
    // True when the configuration files were replaced, so the dialog shows them afresh.
    std::function<bool(Prompter& prompter, const InstallationPaths& paths)> loadBackup;
    MaintenanceAction removeStartLogos;
    MaintenanceAction restoreStartLogos;
    // Runs the history window owned by `owner`; true when it put files back.
    std::function<bool(QWidget* owner)> history;
};

// Follows the documents folder in the "documents:" row while it does not exist yet.
inline constexpr const char* kDocumentsAfterFirstStart =
    " (will exist after the game's first start)";

// Lets the user choose another documents folder and gives the paths with it; nothing when
// the user cancels.
using DocumentsFolderChooser =
    std::function<std::optional<InstallationPaths>(Prompter& prompter, const InstallationPaths&)>;

// The program's main window: shows the main settings and dispatches its buttons.
class MainDialog : public QDialog {
    Q_OBJECT

public:
    MainDialog(InstallationPaths paths, std::vector<std::string> resolutionEntries,
               Prompter& prompter, QWidget* parent = nullptr);

    const InstallationPaths& Paths() const { return paths_; }
    const MainSettingsModel& Model() const { return model_; }
    void SetChildDialogs(ChildDialogs children) { children_ = std::move(children); }
    void SetMaintenanceActions(MaintenanceActions actions) { maintenance_ = std::move(actions); }
    // What "c&hange..." beside the documents folder runs.
    void SetDocumentsFolderChooser(DocumentsFolderChooser chooser) {
        chooseDocuments_ = std::move(chooser);
    }

    // Re-reads the configuration files into the controls.
    void LoadMainSettings();

    // The quit button, Enter from a field or list, Escape and the close box: at once when
    // nothing was changed since loading or saving, else only when the user agrees to lose
    // the change.
    void accept() override;
    void reject() override;

private:
    void BuildControls();
    void BuildHeader(QVBoxLayout* layout);
    // A group box with its controls' rows, in screen order.
    QGroupBox* BuildGroup(SettingFile file, const char* caption, const char* objectName);
    static void AddRow(QGridLayout* grid, QLabel* label, QWidget* control);
    static void AddButtonRow(QGridLayout* grid, std::initializer_list<QPushButton*> buttons);
    void ConnectButtons();
    // Copies the model into the widgets; no change handler runs meanwhile.
    void ShowModel();

    void SaveMainSettings();
    void RestoreDefaultSettings();
    void UpdateAspectRatio();
    void LoadBackup();
    void OpenHistory();
    // Asks for another documents folder and shows the settings from there.
    void ChangeDocumentsFolder();
    void OpenChild(const ChildDialogOpener& opener);

    InstallationPaths paths_;
    Prompter& prompter_;
    MainSettingsModel model_;
    BoundControls controls_;
    ChildDialogs children_;
    MaintenanceActions maintenance_;
    DocumentsFolderChooser chooseDocuments_;
    bool childOpen_ = false;

    QLabel* aspectRatioLabel_ = nullptr;
    QLineEdit* documentsField_ = nullptr;
    QPushButton* changeDocumentsButton_ = nullptr;
    QPushButton* restoreLogosButton_ = nullptr;
    QPushButton* removeLogosButton_ = nullptr;
    QPushButton* cacheSettingsButton_ = nullptr;
    QPushButton* otherSettingsButton_ = nullptr;
    QPushButton* restoreSettingsButton_ = nullptr;
    QPushButton* loadBackupButton_ = nullptr;
    QPushButton* createBackupButton_ = nullptr;
    QPushButton* historyButton_ = nullptr;
    QPushButton* saveSettingsButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QPushButton* creditsButton_ = nullptr;
};

}  // namespace vk3

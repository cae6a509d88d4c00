#pragma once

#include <QDialog>

#include <filesystem>
#include <vector>

#include "history/history.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vk3 {

class Prompter;
class SafetyCopies;

// The kept runs of safety copies, newest first, what changed in each kept file since, and
// buttons to put a run's files back or show its folder. Modal, owned by the main dialog.
class HistoryWindow : public QDialog {
    Q_OBJECT

public:
    // `copies`: this program's safety copies, which a restore starts anew; may be null.
    HistoryWindow(std::filesystem::path safetyFolder, SafetyCopies* copies, Prompter& prompter,
                  QWidget* owner);

    // Runs the window; true when it restored files, so that the owner shows them afresh.
    static bool Open(QWidget* owner, Prompter& prompter, const std::filesystem::path& safetyFolder,
                     SafetyCopies* copies);

    bool Restored() const { return restored_; }
    // Selects the run of that folder name; false when there is none.
    bool SelectRun(const std::string& name);
    void RestoreSelectedRun();

private:
    void LoadRuns();
    void ShowSelectedRun();
    void OpenSelectedFolder();
    const HistoryRun* SelectedRun() const;

    std::filesystem::path safetyFolder_;
    SafetyCopies* copies_;
    Prompter& prompter_;
    std::vector<HistoryRun> runs_;
    bool restored_ = false;

    QListWidget* runList_ = nullptr;
    QPlainTextEdit* changesText_ = nullptr;
    QPushButton* restoreButton_ = nullptr;
    QPushButton* openFolderButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace vk3

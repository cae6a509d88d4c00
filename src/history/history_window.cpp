#include "history/history_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "files/file_paths.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"

namespace vk3 {

namespace {

QString RunTitle(const HistoryRun& run) {
    std::string files;
    for (const RunCopy& copy : run.copies) {
        files += (files.empty() ? "" : ", ") + Utf8FromPath(copy.original.filename());
    }
    return ToQString(run.time + "  " + files);
}

}  // namespace

HistoryWindow::HistoryWindow(std::filesystem::path safetyFolder, SafetyCopies* copies,
                             Prompter& prompter, QWidget* owner)
    : QDialog(owner), safetyFolder_(std::move(safetyFolder)), copies_(copies), prompter_(prompter) {
    setObjectName("historyWindow");
    setWindowTitle("history");
    QVBoxLayout* layout = StartDialogLayout(this);
    layout->setSizeConstraint(QLayout::SetDefaultConstraint);

    auto* runsLabel = new QLabel("&kept runs, newest first:", this);
    runList_ = new QListWidget(this);
    runList_->setObjectName("historyRunList");
    runsLabel->setBuddy(runList_);
    auto* changesLabel = new QLabel("c&hanges since then (then → now):", this);
    changesText_ = new QPlainTextEdit(this);
    changesText_->setObjectName("historyChangesText");
    changesText_->setReadOnly(true);
    changesText_->setLineWrapMode(QPlainTextEdit::NoWrap);
    changesLabel->setBuddy(changesText_);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{runsLabel, runList_, changesLabel, changesText_}) {
        layout->addWidget(widget, widget == changesText_ ? 2 : widget == runList_ ? 1 : 0);
    }

    restoreButton_ = MakeDialogButton(this, "restoreRunButton", "&restore...");
    openFolderButton_ = MakeDialogButton(this, "openRunFolderButton", "open &folder");
    closeButton_ = MakeDialogButton(this, "closeHistoryButton", "&close");
    closeButton_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton_);
    buttons->addWidget(openFolderButton_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);

    connect(runList_, &QListWidget::currentRowChanged, this, &HistoryWindow::ShowSelectedRun);
    connect(restoreButton_, &QPushButton::clicked, this, &HistoryWindow::RestoreSelectedRun);
    connect(openFolderButton_, &QPushButton::clicked, this, &HistoryWindow::OpenSelectedFolder);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);

    ApplyColourScheme(this, DialogKind::Main);
    resize(620, 460);
    LoadRuns();
}

bool HistoryWindow::Open(QWidget* owner, Prompter& prompter,
                         const std::filesystem::path& safetyFolder, SafetyCopies* copies) {
    HistoryWindow window(safetyFolder, copies, prompter, owner);
    window.exec();
    return window.Restored();
}

void HistoryWindow::LoadRuns() {
    runs_ = ListHistory(safetyFolder_);
    runList_->clear();
    for (const HistoryRun& run : runs_) {
        runList_->addItem(RunTitle(run));
    }
    if (runs_.empty()) {
        changesText_->setPlainText(
            ToQString("no safety copies are kept yet in \"" + Utf8FromPath(safetyFolder_) + "\""));
    }
    runList_->setCurrentRow(runs_.empty() ? -1 : 0);
    ShowSelectedRun();
}

const HistoryRun* HistoryWindow::SelectedRun() const {
    const int row = runList_->currentRow();
    return row >= 0 && row < static_cast<int>(runs_.size()) ? &runs_[row] : nullptr;
}

bool HistoryWindow::SelectRun(const std::string& name) {
    const HistoryRun* run = FindRun(runs_, name);
    if (run) {
        runList_->setCurrentRow(static_cast<int>(run - runs_.data()));
    }
    return run != nullptr;
}

void HistoryWindow::ShowSelectedRun() {
    const HistoryRun* run = SelectedRun();
    restoreButton_->setEnabled(run != nullptr);
    openFolderButton_->setEnabled(run != nullptr);
    if (run) {
        changesText_->setPlainText(ToQString(DescribeRun(*run)));
    }
}

void HistoryWindow::RestoreSelectedRun() {
    const HistoryRun* run = SelectedRun();
    if (!run || !prompter_.AskYesNo("put back the files as they were at " + run->time +
                                    "? the files as they are now are kept first, so that "
                                    "this can be undone too.")) {
        return;
    }
    const std::string name = run->name;
    const FileStatus restored = RestoreRun(*run, copies_);
    if (!restored) {
        prompter_.Error(restored.Message("could not restore") + "; nothing was changed");
        return;
    }
    restored_ = true;
    LoadRuns();
    SelectRun(name);
}

void HistoryWindow::OpenSelectedFolder() {
    if (const HistoryRun* run = SelectedRun();
        run &&
        !QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(Utf8FromPath(run->folder))))) {
        prompter_.Error("could not show the folder \"" + Utf8FromPath(run->folder) +
                        "\": no file manager answered");
    }
}

}  // namespace vk3

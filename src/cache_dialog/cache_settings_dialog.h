#pragma once

#include <QDialog>

#include <array>
#include <filesystem>

#include "cache_dialog/cache_settings_model.h"
#include "platform/installation.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vk3 {

class NumberField;
class Prompter;

// Edits the resource cache budgets of the engine configuration file. Closing writes
// nothing; "&save" writes and closes, or reports why it could not and stays open.
class CacheSettingsDialog : public QDialog {
    Q_OBJECT

public:
    CacheSettingsDialog(std::filesystem::path engineConfig, Prompter& prompter,
                        QWidget* owner = nullptr);

    const CacheSettingsModel& Model() const { return model_; }

    // "&close", Enter, Escape and the close box: at once when nothing was changed, else only
    // when the user agrees to lose the change.
    void accept() override;
    void reject() override;

private:
    void BuildControls();
    void ConnectControls();
    void SetUpHints();
    void SetUpTabOrder();
    // Copies the model into the widgets; no change handler runs meanwhile.
    void ShowModel();

    void Scale(CacheColumn column, ScaleDirection direction);
    void Save();
    void RestoreStandardValues();

    static std::size_t Index(CacheColumn column) { return static_cast<std::size_t>(column); }

    std::filesystem::path engineConfig_;
    Prompter& prompter_;
    CacheSettingsModel model_;

    std::array<NumberField*, kCacheSlotCount> valueFields_{};
    std::array<QLabel*, kCacheSlotCount> valueLabels_{};
    std::array<QLineEdit*, kCacheColumnCount> totalFields_{};
    std::array<QLabel*, kCacheColumnCount> totalLabels_{};
    std::array<NumberField*, kCacheColumnCount> modifyFields_{};
    std::array<QPushButton*, kCacheColumnCount> scaleUpButtons_{};
    std::array<QPushButton*, kCacheColumnCount> scaleDownButtons_{};
    // None for the common column.
    std::array<QLineEdit*, kCacheColumnCount> totalCacheFields_{};
    std::array<QLabel*, kCacheColumnCount> totalCacheLabels_{};
    QPushButton* restoreButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

// Opens the dialog modally over its owner, with message boxes of its own.
void RunCacheSettingsDialog(QWidget* owner, const InstallationPaths& paths);

}  // namespace vk3

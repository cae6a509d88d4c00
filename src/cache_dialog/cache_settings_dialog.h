#pragma once

#include <QDialog>

#include <array>

#include "cache_dialog/cache_settings_model.h"
#include "platform/bound_controls.h"
#include "platform/installation.h"
#include "platform/qt_platform.h"

class QGridLayout;
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
    CacheSettingsDialog(InstallationPaths paths, Prompter& prompter, QWidget* owner = nullptr);

    const CacheSettingsModel& Model() const { return model_; }

    // "&close", Enter, Escape and the close box: at once when nothing was changed, else only
    // when the user agrees to lose the change.
    void accept() override;
    void reject() override;

private:
    void BuildControls();
    // A column's group box: its budgets, total, modify row and, for the levels, total cache.
    QWidget* BuildColumn(CacheColumn column);
    // The high-quality-texture budget under the common box.
    QGridLayout* BuildTextureRow();
    // A budget's field and megabyte label in a grid row under its caption.
    void AddBudget(QGridLayout* grid, std::size_t slot, QWidget* parent);
    void ConnectControls();
    void SetUpTabOrder();
    // Copies the model into the widgets; no change handler runs meanwhile.
    void ShowModel();

    void Scale(CacheColumn column, ScaleDirection direction);
    void Save();
    void RestoreStandardValues();

    static std::size_t Index(CacheColumn column) { return static_cast<std::size_t>(column); }

    InstallationPaths paths_;
    Prompter& prompter_;
    CacheSettingsModel model_;
    BoundControls controls_;

    std::array<QLabel*, kCacheSlotCount> valueLabels_{};
    std::array<QLineEdit*, kCacheColumnCount> totalFields_{};
    std::array<QLabel*, kCacheColumnCount> totalLabels_{};
    std::array<NumberField*, kCacheColumnCount> modifyFields_{};
    std::array<QPushButton*, kCacheColumnCount> scaleUpButtons_{};
    std::array<QPushButton*, kCacheColumnCount> scaleDownButtons_{};
    // None for the common column.
    std::array<QLineEdit*, kCacheColumnCount> totalCacheFields_{};
    std::array<QLabel*, kCacheColumnCount> totalCacheLabels_{};
    SettingsButtons buttons_{};
};

// Opens the dialog modally over its owner, with message boxes of its own.
void RunCacheSettingsDialog(QWidget* owner, const InstallationPaths& paths);

}  // namespace vk3

#pragma once

#include <QDialog>

#include <array>

#include "other_dialog/other_settings_model.h"
#include "platform/installation.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vk3 {

class NumberField;
class Prompter;

// The other settings: view ranges per quality level, frame rates, level of detail, player
// memory and test mode. Reads its files when it opens and writes them only on "&save".
class OtherSettingsDialog : public QDialog {
    Q_OBJECT

public:
    OtherSettingsDialog(InstallationPaths paths, Prompter& prompter, QWidget* parent = nullptr);

    // Runs the dialog modally, owned by owner, with its messages owned by the dialog.
    static void Open(QWidget* owner, const InstallationPaths& paths);

    // "&close", Enter, Escape and the close box write nothing: at once when nothing was
    // changed, else only when the user agrees to lose the change.
    void accept() override;
    void reject() override;

private:
    void BuildControls();
    void ShowModel();
    void TakeFields();
    bool MayDiscardChanges();
    // Tells which field holds no storable value and puts the focus on it; false when none.
    bool RefuseField(std::optional<OtherControl> invalid);
    void Save();
    void Restore();

    static std::size_t Slot(OtherControl control) { return static_cast<std::size_t>(control); }

    InstallationPaths paths_;
    Prompter& prompter_;
    OtherSettingsModel model_;
    std::array<NumberField*, kOtherControlCount> fields_{};
    std::array<QComboBox*, kOtherControlCount> lists_{};
    QPushButton* restoreButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace vk3

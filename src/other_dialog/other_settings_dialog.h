#pragma once

#include <QDialog>

#include "platform/bound_controls.h"
#include "platform/installation.h"

class QPushButton;

namespace vk3 {

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
    void Save();
    void Restore();

    InstallationPaths paths_;
    Prompter& prompter_;
    SettingsBinder binder_{OtherSettingRows()};
    BoundControls controls_{binder_};
};

}  // namespace vk3

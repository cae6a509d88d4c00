#pragma once

#include <QDialog>

namespace vk3 {

class MusicPlayer;

// The borderless credits window: the credits picture under the version line, a link to the
// program's home page and a contact line, while the program's music plays. A left click
// anywhere but on the link closes it, and so does Escape; closing stops the music.
class CreditsDialog : public QDialog {
    Q_OBJECT

public:
    explicit CreditsDialog(MusicPlayer& player, QWidget* owner = nullptr);
    ~CreditsDialog() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MusicPlayer& player_;
};

}  // namespace vk3

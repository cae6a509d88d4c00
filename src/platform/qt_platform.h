#pragma once

#include <QString>

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/colour_scheme.h"
#include "platform/display_mode_source.h"
#include "platform/installation_record.h"
#include "platform/prompter.h"

class QIcon;
class QLineEdit;
class QPalette;
class QPixmap;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace vk3 {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}

// Message boxes with an empty title and file dialogs, owned by a dialog.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void Notice(std::string_view text) override;
    void Error(std::string_view text) override;
    bool AskYesNo(std::string_view question) override;
    bool AskYesNoDefaultNo(std::string_view question) override;
    std::optional<std::filesystem::path> ChooseFileToOpen(
        const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> ChooseFileToSave(
        const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> ChooseFolder(std::string_view title,
                                                      const std::filesystem::path& start) override;
    std::optional<std::size_t> ChooseFromList(std::string_view question,
                                              const std::vector<std::string>& items) override;

private:
    void TakeOwnersScheme(QWidget& window) const;

    QWidget* owner_;
};

// The name filter of a file dialog: the description, with its pattern in brackets unless it
// names it already ("executable (*.exe)").
QString FileDialogFilter(const FileDialogRequest& request);

// The primary display's 32-bit modes through SDL's video subsystem.
class SdlDisplayModeSource : public DisplayModeSource {
public:
    std::vector<DisplayMode> Modes() override;
};

// The primary display's 32-bit modes as SDL lists them: asked of the X server where it tells
// them the same way, else of SDL, which brings dozens of libraries. SDL must start its video
// on the main thread and sets the locale and the environment meanwhile: call this on the
// main thread before Qt or anything else starts a thread. Nothing without an X display
// (unless SDL_VIDEODRIVER names another driver than Wayland): see PrimaryScreenModes.
std::vector<DisplayMode> SystemDisplayModes();

// The current mode of the primary screen as Qt reports it, in device pixels: for a display
// neither the X server nor SDL can tell about. Nothing on the offscreen platform.
std::vector<DisplayMode> PrimaryScreenModes();

// A picture from the resources in the given format, sharp on scaled screens: there its
// twice-as-large version ("banner@2x.ppm" beside "banner.ppm") is taken, fitted to the
// screens' scale. A null pixmap when it cannot be read.
QPixmap ResourcePicture(const QString& resourcePath, const char* format);

// A picture kept as a binary PPM (raw pixels, in an uncompressed resource), so that nothing
// is decoded at start-up.
QPixmap PpmPicture(const QString& resourcePath);

// An icon from PNG resources of the given square sizes ("icon-<size>.png"), read as PNG
// without asking every image plugin whether it knows the format.
QIcon PngIcon(const QString& resourcePrefix, std::initializer_list<int> sizes);

// The user's documents folder; empty when the system names none.
std::string DocumentsFolder();

// Hints wider than this many pixels wrap onto further lines.
inline constexpr int kHintMaxWidth = 1000;

// Sets a control's hint, wrapped at word boundaries so that no line is wider than
// kHintMaxWidth pixels. An empty hint shows nothing.
void SetHint(QWidget* control, std::string_view hint);

// A dialog's push button: Enter on it when focused presses it (from a field or list, the
// default button), and its caption keeps room to the button's edges.
QPushButton* MakeDialogButton(QWidget* parent, const char* objectName, const char* caption);

// What every dialog's "&restore settings" asks before it changes anything.
inline constexpr const char* kRestoreSettingsQuestion =
    "do you really want to restore the settings?";

// What every dialog asks before Enter, Escape, its close box or its close or quit button
// throws away a change that was not saved.
inline constexpr const char* kDiscardChangesQuestion =
    "the settings were changed. quit without saving?";

// The bottom row of a settings dialog: "&restore settings" on the left, then "&save" and
// "&close", the default button, on the right; between them the given widget or a space.
struct SettingsButtons {
    QPushButton* restore;
    QPushButton* save;
    QPushButton* close;
};
SettingsButtons AddSettingsButtons(QVBoxLayout* layout,
                                   const std::array<const char*, 3>& objectNames,
                                   QWidget* between = nullptr);

// A settings dialog's window: its name, an empty title, a close box and no other buttons.
void SetUpSettingsDialog(QWidget* dialog, const char* objectName);

// The dialogs' font (Arial, 8 points) and their top-level layout, which fixes the size
// where the dialog fits its screen (see FitOnScreen).
QVBoxLayout* StartDialogLayout(QWidget* dialog);

// A read-only field that shows a folder's path, cut in the middle where it does not fit,
// with the whole path as its hint and, while it has the focus, as its text. Reached by
// mouse only. SetPathFieldText shows another path.
QLineEdit* MakePathField(QWidget* parent, const char* objectName, const QString& path);
void SetPathFieldText(QLineEdit* field, const QString& path);

// When the dialog, laid out, does not fit the free area of its screen as it is first shown,
// its content becomes scrollable and the dialog as large as the screen lets it be.
void FitOnScreen(QWidget* dialog);

// The sunken heading at the top of a settings dialog ("CACHE SETTINGS").
void AddHeading(QVBoxLayout* layout, const char* text, const char* objectName);

// The scheme's colours for every role a control of the Fusion style draws with.
QPalette SchemePalette(DialogKind kind);

// Gives a dialog and every control in it the scheme's colours, popups of drop-down lists
// included. The application runs the Fusion style, which draws with the palette alone.
void ApplyColourScheme(QWidget* dialog, DialogKind kind);

}  // namespace vk3

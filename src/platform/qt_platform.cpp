#include "platform/qt_platform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/sdl_library.h"
#if !defined(_WIN32) && !defined(__APPLE__)
#include "platform/x11_display_modes.h"
#endif
#include "profile/profile_store.h"
#include "settings/hint.h"

namespace vk3 {

namespace {

std::optional<std::filesystem::path> ChooseFile(QWidget* owner, const FileDialogRequest& request,
                                                QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, ToQString(request.title), QString(), FileDialogFilter(request));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.initialName.empty()) {
        dialog.selectFile(ToQString(request.initialName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() ||
        dialog.selectedFiles().front().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdU16String());
}

// Tooltips are windows of their own and take the application's tooltip colours; a dialog
// hands them its scheme whenever it becomes the active window, since hints show only there.
class ToolTipColours : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) {
            QToolTip::setPalette(static_cast<QWidget*>(watched)->palette());
        }
        return QObject::eventFilter(watched, event);
    }
};

// A drop-down list's popup is a window of its own, made when the list first opens, and
// Qt gives it the application's menu colours then. Instead of making every popup at start,
// this hands the scheme to each list's view and popup as they are made.
class PopupColours : public QObject {
public:
    PopupColours(QObject* parent, const QPalette& palette) : QObject(parent), palette_(palette) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildAdded && qobject_cast<QComboBox*>(watched)) {
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        } else if (event->type() == QEvent::Polish) {
            // The popup, before it first shows; its list draws with its own palette.
            if (auto* popup = qobject_cast<QWidget*>(watched); popup && popup->isWindow()) {
                popup->setPalette(palette_);
                for (QAbstractItemView* view : popup->findChildren<QAbstractItemView*>()) {
                    view->setPalette(palette_);
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPalette palette_;
};

#ifndef _WIN32
// Prefix paths grow long; the record is ours, so it is not held to the registry's 256 bytes.
constexpr std::size_t kRecordedPathSize = 4096;

std::filesystem::path RecordFile() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (configHome != nullptr && *configHome != '\0') {
        folder = configHome;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home != nullptr ? home : ".") / ".config";
    }
    return folder / "Quellmark" / "Veskaran III.ini";
}
#endif

// Whether a hint fits on one line without measuring it: measuring loads the tooltip font,
// which no control of a dialog uses, at start-up. No printable ASCII character of a text
// font is two ems wide.
bool SurelyFitsOneLine(std::string_view hint, const QFont& font) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double em = font.pixelSize() > 0 ? font.pixelSize()
                      : screen != nullptr  ? font.pointSizeF() * screen->logicalDotsPerInchY() / 72
                                           : 0;
    const bool printableAscii = std::all_of(hint.begin(), hint.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f;
    });
    return em > 0 && printableAscii && static_cast<double>(hint.size()) * 2 * em <= kHintMaxWidth;
}

}  // namespace

void QtPrompter::Notice(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(text), QMessageBox::Ok, owner_);
    box.exec();
}

void QtPrompter::Error(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, QString(), ToQString(text), QMessageBox::Ok, owner_);
    box.exec();
}

bool QtPrompter::AskYesNo(std::string_view question) {
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(question),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompter::AskYesNoDefaultNo(std::string_view question) {
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(question),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::filesystem::path> QtPrompter::ChooseFileToOpen(
    const FileDialogRequest& request) {
    return ChooseFile(owner_, request, QFileDialog::AcceptOpen);
}

std::optional<std::filesystem::path> QtPrompter::ChooseFileToSave(
    const FileDialogRequest& request) {
    return ChooseFile(owner_, request, QFileDialog::AcceptSave);
}

std::optional<std::filesystem::path> QtPrompter::ChooseFolder(
    std::string_view title, const std::filesystem::path& start) {
    const QString chosen = QFileDialog::getExistingDirectory(
        owner_, ToQString(title), QString::fromStdU16String(start.u16string()));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdU16String());
}

std::optional<std::size_t> QtPrompter::ChooseFromList(std::string_view question,
                                                      const std::vector<std::string>& items) {
    QDialog dialog(owner_);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(ToQString(question), &dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName("choiceList");
    list->setAccessibleName(label->text());
    label->setBuddy(list);
    for (const std::string& item : items) {
        list->addItem(ToQString(item));
    }
    list->setCurrentRow(0);
    list->setMinimumWidth(std::min(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 8, 900));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(list->currentRow());
}

QString FileDialogFilter(const FileDialogRequest& request) {
    const QString description = ToQString(request.filterDescription);
    const QString pattern = "(" + ToQString(request.filterPattern) + ")";
    return description.contains(pattern) ? description : description + " " + pattern;
}

#ifndef _WIN32

std::string SystemInstallationRecord::Read() {
    return ReadProfileString(RecordFile(), "General", "INSTALL_DIR", "", kRecordedPathSize);
}

std::string SystemInstallationRecord::ReadDocumentsFolder() {
    return ReadProfileString(RecordFile(), "General", "DOCUMENTS_DIR", "", kRecordedPathSize);
}

bool SystemInstallationRecord::Write(std::string_view installationFolder,
                                     std::string_view documentsFolder) {
    const std::filesystem::path file = RecordFile();
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::vector<ProfileWrite> writes{{"General", "INSTALL_DIR", std::string(installationFolder)}};
    // An empty documents folder only clears one recorded before.
    if (!documentsFolder.empty() || ProfileReader(file).Contains("General", "DOCUMENTS_DIR")) {
        writes.push_back({"General", "DOCUMENTS_DIR", std::string(documentsFolder)});
    }
    return WriteProfileStrings(file, writes).ok();
}

#endif

std::vector<DisplayMode> SdlDisplayModeSource::Modes() {
    std::vector<DisplayMode> modes;
    const SdlVideo* sdl = LoadSdl();
    if (sdl == nullptr || sdl->InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return modes;
    }
    const int count = sdl->GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (sdl->GetDisplayMode(0, i, &mode) != 0 || SDL_BYTESPERPIXEL(mode.format) != 4) {
            continue;
        }
        modes.push_back({static_cast<std::uint32_t>(mode.w), static_cast<std::uint32_t>(mode.h),
                         static_cast<std::uint32_t>(mode.refresh_rate)});
    }
    sdl->QuitSubSystem(SDL_INIT_VIDEO);
    return modes;
}

std::vector<DisplayMode> SystemDisplayModes() {
#if !defined(_WIN32) && !defined(__APPLE__)
    if (std::optional<std::vector<DisplayMode>> modes = RandrDisplayModes()) {
        return *std::move(modes);
    }
#endif
    return SdlDisplayModeSource().Modes();
}

namespace {

// Reads a picture in the format given, without asking every image plugin whether it knows it.
QImage ReadPicture(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

}  // namespace

QPixmap PpmPicture(const QString& resourcePath) {
    return QPixmap::fromImage(ReadPicture(resourcePath, "ppm"));
}

QIcon PngIcon(const QString& resourcePrefix, std::initializer_list<int> sizes) {
    QIcon icon;
    for (const int size : sizes) {
        icon.addPixmap(QPixmap::fromImage(
            ReadPicture(resourcePrefix + QString::number(size) + ".png", "png")));
    }
    return icon;
}

std::string DocumentsFolder() {
    return ToStdString(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

void SetHint(QWidget* control, std::string_view hint) {
    const QString whole = ToQString(hint);
    const QFont font = QToolTip::font();
    if (SurelyFitsOneLine(hint, font)) {
        control->setToolTip(whole);
        return;
    }
    const QFontMetrics metrics(font);
    // Most hints fit on one line: one measurement then, not one per word.
    if (metrics.horizontalAdvance(whole) <= kHintMaxWidth) {
        control->setToolTip(whole);
        return;
    }
    QString wrapped;
    QString line;
    for (const QString& word : ToQString(hint).split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > kHintMaxWidth) {
            wrapped += line + '\n';
            line = word;
        } else {
            line = candidate;
        }
    }
    control->setToolTip(wrapped + line);
}

SettingsButtons AddSettingsButtons(QVBoxLayout* layout,
                                   const std::array<const char*, 3>& objectNames,
                                   QWidget* between) {
    QWidget* dialog = layout->parentWidget();
    const SettingsButtons buttons{MakeDialogButton(dialog, objectNames[0], "&restore settings"),
                                  MakeDialogButton(dialog, objectNames[1], "&save"),
                                  MakeDialogButton(dialog, objectNames[2], "&close")};
    buttons.close->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(buttons.restore);
    if (between != nullptr) {
        row->addWidget(between, 1);
    } else {
        row->addStretch(1);
    }
    row->addWidget(buttons.save);
    row->addWidget(buttons.close);
    layout->addLayout(row);
    return buttons;
}

void SetUpSettingsDialog(QWidget* dialog, const char* objectName) {
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(QString());
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

QVBoxLayout* StartDialogLayout(QWidget* dialog) {
    QFont font("Arial");
    font.setPointSize(8);
    dialog->setFont(font);
    auto* layout = new QVBoxLayout(dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return layout;
}

void AddHeading(QVBoxLayout* layout, const char* text, const char* objectName) {
    auto* heading = new QLabel(text, layout->parentWidget());
    heading->setObjectName(objectName);
    heading->setAlignment(Qt::AlignCenter);
    heading->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    heading->setMinimumHeight(heading->sizeHint().height() + 6);
    layout->addWidget(heading);
}

QPushButton* MakeDialogButton(QWidget* parent, const char* objectName, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(objectName));
    button->setAutoDefault(true);
    button->setMinimumWidth(button->sizeHint().width() + 12);
    return button;
}

void ApplyColourScheme(QWidget* dialog, DialogKind kind) {
    const ColourScheme scheme = SchemeOf(kind);
    const QColor text(scheme.text.red, scheme.text.green, scheme.text.blue);
    const QColor background(scheme.background.red, scheme.background.green, scheme.background.blue);
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase,
                                         QPalette::Button, QPalette::ToolTipBase}) {
            palette.setColor(group, role, background);
        }
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
              QPalette::PlaceholderText, QPalette::BrightText}) {
            palette.setColor(group, role, text);
        }
        palette.setColor(group, QPalette::Highlight, text);
        palette.setColor(group, QPalette::HighlightedText, background);
        palette.setColor(group, QPalette::Light, background.lighter(160));
        palette.setColor(group, QPalette::Midlight, background.lighter(130));
        palette.setColor(group, QPalette::Mid, background.darker(130));
        palette.setColor(group, QPalette::Dark, background.darker(160));
        palette.setColor(group, QPalette::Shadow, Qt::black);
    }
    // Disabled controls keep the scheme, dimmed.
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        palette.setColor(QPalette::Disabled, role, background);
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, text.darker(170));
    }
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
    dialog->installEventFilter(new ToolTipColours(dialog));
    if (dialog->isActiveWindow()) {
        QToolTip::setPalette(palette);
    }
    auto* popupColours = new PopupColours(dialog, palette);
    for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
        if (auto* view = list->findChild<QAbstractItemView*>()) {  // opened already
            view->setPalette(palette);
            view->window()->setPalette(palette);
        }
        list->installEventFilter(popupColours);
    }
}

}  // namespace vk3

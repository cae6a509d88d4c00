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
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/sdl_library.h"
#if !defined(_WIN32) && !defined(__APPLE__)
#include "platform/x11_display_modes.h"
#endif

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

// Makes a dialog scrollable when, at its first showing, it does not fit the free area of the
// screen it opens on (high scaling, small screens): its content moves into a scroll area, and
// the dialog takes the room there is. A scroll area brings the focused control into view, so
// every control stays reachable by keyboard too.
class ScreenFit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* dialog = static_cast<QWidget*>(watched);
            dialog->removeEventFilter(this);
            FitInto(dialog, FreeArea(dialog));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The free area of the owner's screen, or of the screen the dialog opens on, less the
    // window frame (guessed where the window system has not told it yet).
    static QSize FreeArea(const QWidget* dialog) {
        const QWidget* owner = dialog->parentWidget();
        const QScreen* screen = owner != nullptr ? owner->window()->screen() : dialog->screen();
        // The offscreen platform's screen is made up: pictures of dialogs show them whole.
        if (screen == nullptr || QGuiApplication::platformName() == "offscreen") {
            return {};
        }
        QMargins frame;
        if (const QWindow* window = dialog->windowHandle()) {
            frame = window->frameMargins();
        }
        if (frame.isNull()) {
            frame = QMargins(4, 32, 4, 4);
        }
        return screen->availableGeometry().size().shrunkBy(frame);
    }

    static void FitInto(QWidget* dialog, const QSize free) {
        QLayout* content = dialog->layout();
        if (content == nullptr || free.isEmpty()) {
            return;
        }
        content->activate();
        const QSize needed = content->totalSizeHint();
        if (needed.width() <= free.width() && needed.height() <= free.height()) {
            return;
        }
        auto* scrolled = new QWidget;
        scrolled->setObjectName("scrolledContent");
        scrolled->setLayout(content);  // takes the layout and its controls from the dialog
        auto* area = new QScrollArea(dialog);
        area->setObjectName("dialogScrollArea");
        area->setFrameShape(QFrame::NoFrame);
        area->setFocusPolicy(Qt::NoFocus);  // Tab goes from control to control only
        area->setWidget(scrolled);
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(area);
        area->show();  // the dialog's other controls show already
        // Room for the scroll bars that will show; never larger than the content needs.
        content->activate();
        const QSize size = scrolled->size();
        const int across = area->verticalScrollBar()->sizeHint().width();
        const int down = area->horizontalScrollBar()->sizeHint().height();
        const bool tooWide = size.width() > free.width();
        const bool tooHigh =
            size.height() > free.height() || (tooWide && size.height() + down > free.height());
        const QSize most(size.width() + (tooHigh ? across : 0),
                         size.height() + (tooWide ? down : 0));
        dialog->setMinimumSize(std::min(most.width(), 200), std::min(most.height(), 150));
        dialog->setMaximumSize(most);
        dialog->resize(most.boundedTo(free));
    }
};

constexpr const char* kWholePath = "wholePath";

void ShowPath(QLineEdit* field) {
    const QString path = field->property(kWholePath).toString();
    QString shown = path;
    if (!field->hasFocus()) {
        // The room QLineEdit leaves for text: its contents less its own side margins.
        const int room = field->contentsRect().width() - field->textMargins().left() -
                         field->textMargins().right() - 4;
        shown = field->fontMetrics().elidedText(path, Qt::ElideMiddle, std::max(room, 0));
    }
    if (field->text() != shown) {
        const QSignalBlocker blocker(field);
        field->setText(shown);
        field->setCursorPosition(0);
    }
}

// A read-only path field shows as much of the path as fits, cut in the middle; the whole
// path is its hint, and shows in full while the field has the focus, to be selected.
class PathElision : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Resize || type == QEvent::FocusIn || type == QEvent::FocusOut ||
            type == QEvent::FontChange) {
            ShowPath(static_cast<QLineEdit*>(watched));
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void QtPrompter::Notice(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(text), QMessageBox::Ok, owner_);
    TakeOwnersScheme(box);
    box.exec();
}

void QtPrompter::Error(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, QString(), ToQString(text), QMessageBox::Ok, owner_);
    TakeOwnersScheme(box);
    box.exec();
}

bool QtPrompter::AskYesNo(std::string_view question) {
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(question),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    TakeOwnersScheme(box);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompter::AskYesNoDefaultNo(std::string_view question) {
    QMessageBox box(QMessageBox::NoIcon, QString(), ToQString(question),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    TakeOwnersScheme(box);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompter::TakeOwnersScheme(QWidget& window) const {
    // A window does not inherit its owner's colours; before the main dialog exists, the
    // main dialog's scheme.
    window.setPalette(owner_ != nullptr ? owner_->window()->palette()
                                        : SchemePalette(DialogKind::Main));
    window.setAutoFillBackground(true);
}

std::optional<std::filesystem::path> QtPrompter::ChooseFileToOpen(
    const FileDialogRequest& request) {
    return ChooseFile(owner_, request, QFileDialog::AcceptOpen);
}

std::optional<std::filesystem::path> QtPrompter::ChooseFileToSave(
    const FileDialogRequest& request) {
    return ChooseFile(owner_, request, QFileDialog::AcceptSave);
}

std::optional<std::filesystem::path> QtPrompter::ChooseFolder(std::string_view title,
                                                              const std::filesystem::path& start) {
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
    TakeOwnersScheme(dialog);
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
    // Without X, SDL would start its Wayland driver, and that of SDL 2.26 crashes during
    // start-up on some compositors (weston), where nothing can catch it: the screens Qt
    // reports stand in (PrimaryScreenModes).
    const char* display = std::getenv("DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const bool chosenDriver = driver != nullptr && *driver != '\0';
    if ((display == nullptr || *display == '\0') && !chosenDriver) {
        return {};
    }
    if (chosenDriver && std::string_view(driver).find("wayland") != std::string_view::npos) {
        return {};
    }
    // On X, SDL opens an input method, which parses the locale's whole table of compose
    // sequences; SDL reads no keys for us, so it gets an empty table, and the user's choice
    // is put back before anything else reads it.
    const char* composeFile = std::getenv("XCOMPOSEFILE");
    const std::optional<std::string> userComposeFile =
        composeFile ? std::optional<std::string>(composeFile) : std::nullopt;
    setenv("XCOMPOSEFILE", "/dev/null", 1);
    std::vector<DisplayMode> modes = SdlDisplayModeSource().Modes();
    if (userComposeFile) {
        setenv("XCOMPOSEFILE", userComposeFile->c_str(), 1);
    } else {
        unsetenv("XCOMPOSEFILE");
    }
    return modes;
#else
    return SdlDisplayModeSource().Modes();
#endif
}

std::vector<DisplayMode> PrimaryScreenModes() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The offscreen and minimal platforms make up a screen; they have no display.
    const QString platform = QGuiApplication::platformName();
    if (screen == nullptr || platform == "offscreen" || platform == "minimal") {
        return {};
    }
    const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
    return {{static_cast<std::uint32_t>(pixels.width()),
             static_cast<std::uint32_t>(pixels.height()),
             static_cast<std::uint32_t>(std::lround(screen->refreshRate()))}};
}

namespace {

// Reads a picture in the format given, without asking every image plugin whether it knows it.
QImage ReadPicture(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

}  // namespace

QPixmap ResourcePicture(const QString& resourcePath, const char* format) {
    const qreal scale = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    const int dot = static_cast<int>(resourcePath.lastIndexOf('.'));
    QImage image;
    if (scale > 1.0 && dot > 0) {
        image = ReadPicture(resourcePath.left(dot) + "@2x" + resourcePath.mid(dot), format);
    }
    if (image.isNull()) {
        return QPixmap::fromImage(ReadPicture(resourcePath, format));
    }
    // Between the steps of 100 %, smoothed to the exact size rather than by every paint.
    const QSize pixels = (QSizeF(image.size()) / 2 * scale).toSize();
    if (pixels != image.size()) {
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap picture = QPixmap::fromImage(std::move(image));
    picture.setDevicePixelRatio(scale);
    return picture;
}

QPixmap PpmPicture(const QString& resourcePath) {
    return ResourcePicture(resourcePath, "ppm");
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
    FitOnScreen(dialog);
    return layout;
}

QLineEdit* MakePathField(QWidget* parent, const char* objectName, const QString& path) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromUtf8(objectName));
    field->setReadOnly(true);
    field->setFrame(false);
    field->setFocusPolicy(Qt::ClickFocus);
    field->installEventFilter(new PathElision(field));
    SetPathFieldText(field, path);
    return field;
}

void SetPathFieldText(QLineEdit* field, const QString& path) {
    field->setProperty(kWholePath, path);
    field->setToolTip(path);
    ShowPath(field);
}

void FitOnScreen(QWidget* dialog) {
    dialog->installEventFilter(new ScreenFit(dialog));
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

QPalette SchemePalette(DialogKind kind) {
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
    return palette;
}

void ApplyColourScheme(QWidget* dialog, DialogKind kind) {
    const QPalette palette = SchemePalette(kind);
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

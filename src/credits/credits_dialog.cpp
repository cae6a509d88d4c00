#include "credits/credits_dialog.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <span>

#include "platform/music_player.h"
#include "platform/qt_platform.h"

namespace vk3 {

namespace {

// Set at build time (VK3_HOME_PAGE in CMake).
constexpr const char* kHomePage = VK3_HOME_PAGE;
constexpr const char* kContactLine = "questions, ideas or bugs? tell us on the home page";

QLabel* MakeLine(QWidget* parent, const char* objectName, const QString& text) {
    auto* line = new QLabel(text, parent);
    line->setObjectName(objectName);
    line->setAlignment(Qt::AlignCenter);
    // Drawn on the scheme's background over the picture, like every control here.
    line->setAutoFillBackground(true);
    return line;
}

}  // namespace

CreditsDialog::CreditsDialog(MusicPlayer& player, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), player_(player) {
    setWindowTitle("credits");
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setObjectName("pictureLabel");
    picture->setPixmap(ResourcePicture(":/credits.png", "png"));
    picture->setAccessibleName("Veskaran 3 - Tuning Utility, credits");
    picture->resize(picture->pixmap().deviceIndependentSize().toSize());
    setFixedSize(picture->size());

    QLabel* version = MakeLine(this, "versionLabel", "version 1.0");
    version->setFrameShape(QFrame::Box);
    version->setMargin(2);
    version->setMinimumWidth(version->sizeHint().width() + 24);
    auto* homePage = new QPushButton("visit " + QString::fromUtf8(kHomePage), this);
    homePage->setObjectName("homePageButton");
    QLabel* contact = MakeLine(this, "contactLabel", kContactLine);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 4);
    layout->setSpacing(3);
    layout->addStretch();
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addWidget(homePage, 0, Qt::AlignHCenter);
    layout->addWidget(contact, 0, Qt::AlignHCenter);

    // Opening the page keeps the window open; a failure to open it goes unreported.
    connect(homePage, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromUtf8(kHomePage))); });
    ApplyColourScheme(this, DialogKind::Credits);
}

CreditsDialog::~CreditsDialog() {
    player_.Stop();
}

void CreditsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    // The track is played straight from the program's resources; nothing is written to disk.
    QFile file(":/credits.mp3");
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray track = file.readAll();
        player_.Play(std::as_bytes(std::span(track.constData(), track.size())));
    }
}

void CreditsDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        player_.Stop();
    }
}

void CreditsDialog::mousePressEvent(QMouseEvent* event) {
    // Reaches here from the picture and the text lines too; the link button keeps its clicks.
    if (event->button() == Qt::LeftButton) {
        accept();
    }
    QDialog::mousePressEvent(event);
}

}  // namespace vk3

#include "credits/credits_dialog.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QTest>

#include "platform/sdl_music_player.h"

namespace vk3 {
namespace {

QByteArray Track() {
    QFile file(":/credits.mp3");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct FakeDesktop : QObject, MusicPlayer {  // the desktop's speakers and browser
    Q_OBJECT
public:
    bool Play(std::span<const std::byte> track) override {
        played << QByteArray(reinterpret_cast<const char*>(track.data()), track.size());
        return playing = works;
    }
    void Stop() override { playing = false; }
    Q_INVOKABLE void Open(const QUrl& url) { opened << url; }
    bool works = true, playing = false;
    QList<QByteArray> played;
    QList<QUrl> opened;
};

TEST(CreditsDialogTest, PlaysTheTrackWhileOpenAndStopsOnEveryWayOfClosing) {
    FakeDesktop desktop;
    QDesktopServices::setUrlHandler("https", &desktop, "Open");
    for (QString way : {"pictureLabel", "versionLabel", "contactLabel", "Escape", "delete"}) {
        desktop.works = way != "versionLabel";  // without sound the window works all the same
        QPointer<CreditsDialog> dialog = new CreditsDialog(desktop);
        dialog->show();
        EXPECT_EQ(desktop.played, QList<QByteArray>(desktop.opened.size() + 1, Track()));
        QTest::mouseClick(dialog->findChild<QWidget*>("homePageButton"), Qt::LeftButton);
        ASSERT_TRUE(dialog->isVisible() && desktop.opened.size() == desktop.played.size());
        if (way == "delete") {
            delete dialog;
        } else {
            way == "Escape" ? QTest::keyClick(dialog, Qt::Key_Escape)
                            : QTest::mouseClick(dialog->findChild<QWidget*>(way), Qt::LeftButton);
        }
        EXPECT_FALSE(desktop.playing || (dialog && dialog->isVisible())) << way.toStdString();
        delete dialog;
    }
    QDesktopServices::unsetUrlHandler("https");
}

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, an ID3v1 tag; SDL2_mixer decodes it (dummy driver).
TEST(CreditsMusicTest, IsAnMp3OfTheStatedKindThatSdlMixerPlays) {
    const QByteArray mp3 = Track();
    EXPECT_TRUE(mp3.startsWith("\xFF\xFB\x90") && mp3.right(128).startsWith("TAG"));
    SdlMusicPlayer player;
    ASSERT_TRUE(player.Play(std::as_bytes(std::span(mp3.constData(), mp3.size()))));
    EXPECT_NEAR(Mix_MusicDuration(nullptr), 30, 10);
    QTest::qWait(400);
    EXPECT_TRUE(Mix_PlayingMusic() == 1 && Mix_GetMusicPosition(nullptr) > 0.1);  // decoding
    player.Stop();
    EXPECT_EQ(Mix_PlayingMusic(), 0);
}

}  // namespace
}  // namespace vk3

#include "credits_dialog_test.moc"

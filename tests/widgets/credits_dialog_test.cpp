#include "credits/credits_dialog.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/sdl_music_player.h"

namespace vk3 {
namespace {

QByteArray Track() {
    QFile file(":/credits.mp3");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::span<const std::byte> Bytes(const QByteArray& data) {
    return std::as_bytes(std::span(data.constData(), data.size()));
}

struct FakeMusicPlayer : MusicPlayer {
    bool Play(std::span<const std::byte> track) override {
        ++starts;
        played = QByteArray(reinterpret_cast<const char*>(track.data()), track.size());
        return playing = works;
    }
    void Stop() override { playing = false; }
    bool works = true;
    bool playing = false;
    int starts = 0;
    QByteArray played;
};

// Stands in for the desktop's browser.
class Browser : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void Open(const QUrl& url) { opened << url; }
    QList<QUrl> opened;
};

TEST(CreditsDialogTest, PlaysTheTrackWhileOpenAndTheLinkKeepsItOpen) {
    Browser browser;
    QDesktopServices::setUrlHandler("https", &browser, "Open");
    const std::function<void(CreditsDialog*)> closers[] = {
        [](CreditsDialog* d) {
            QTest::mouseClick(d->findChild<QLabel*>("pictureLabel"), Qt::LeftButton);
        },
        [](CreditsDialog* d) {
            QTest::mouseClick(d->findChild<QLabel*>("versionLabel"), Qt::LeftButton);
        },
        [](CreditsDialog* d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](CreditsDialog* d) { delete d; },
    };
    for (bool works : {true, false}) {
        FakeMusicPlayer player;
        player.works = works;
        for (int i = 0; i < 4; ++i) {
            QPointer<CreditsDialog> dialog = new CreditsDialog(player);
            dialog->show();
            EXPECT_EQ(player.starts, i + 1);
            EXPECT_EQ(player.playing, works);
            EXPECT_EQ(player.played, Track());
            auto* link = dialog->findChild<QPushButton*>("homePageButton");
            QTest::mouseClick(link, Qt::LeftButton);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(link->text(), "visit " + browser.opened.value(0).toString());
            closers[i](dialog);
            EXPECT_FALSE(player.playing) << i;
            EXPECT_TRUE(!dialog || !dialog->isVisible()) << i;
            delete dialog;
        }
    }
    EXPECT_EQ(browser.opened.size(), 8);
    QDesktopServices::unsetUrlHandler("https");
}

TEST(CreditsMusicTest, IsMpeg1Layer3At128kbitAnd44kHzOf20To40SecondsWithId3v1Tag) {
    const QByteArray mp3 = Track();
    ASSERT_GT(mp3.size(), 128);
    EXPECT_TRUE(mp3.endsWith(QByteArray()) && mp3.right(128).startsWith("TAG"));
    const qsizetype end = mp3.size() - 128;
    qsizetype at = 0;
    int frames = 0;
    for (; at + 4 <= end; ++frames) {
        const auto byte = [&](int i) { return static_cast<unsigned char>(mp3[at + i]); };
        // Frame sync, MPEG-1, Layer III; bit-rate index 9 (128 kbit/s), sample-rate index 0.
        ASSERT_TRUE(byte(0) == 0xFF && (byte(1) & 0xFE) == 0xFA && (byte(2) & 0xFC) == 0x90) << at;
        at += 144 * 128000 / 44100 + ((byte(2) >> 1) & 1);
    }
    EXPECT_EQ(at, end);
    EXPECT_GE(frames * 1152 / 44100.0, 20);
    EXPECT_LE(frames * 1152 / 44100.0, 40);
}

TEST(SdlMusicPlayerTest, DecodesAndPlaysTheTrackAndRefusesNoise) {
    SdlMusicPlayer player;
    ASSERT_TRUE(player.Play(Bytes(Track()))) << SDL_GetError();
    QTest::qWait(400);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_GT(Mix_GetMusicPosition(nullptr), 0.1);
    player.Stop();
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_FALSE(player.Play(Bytes(QByteArray(5000, 'x'))));
}

}  // namespace
}  // namespace vk3

#include "credits_dialog_test.moc"

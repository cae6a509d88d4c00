#pragma once

#include <vector>

#include "platform/music_player.h"

struct _Mix_Music;

namespace vk3 {

// Plays the track with SDL2_mixer straight from memory. The audio device is open only while
// a track plays, so the program holds no sound device the rest of the time.
class SdlMusicPlayer : public MusicPlayer {
public:
    SdlMusicPlayer() = default;
    SdlMusicPlayer(const SdlMusicPlayer&) = delete;
    SdlMusicPlayer& operator=(const SdlMusicPlayer&) = delete;
    ~SdlMusicPlayer() override { Stop(); }

    bool Play(std::span<const std::byte> track) override;
    void Stop() override;

private:
    bool audioStarted_ = false;
    bool deviceOpen_ = false;
    _Mix_Music* music_ = nullptr;
    // SDL_mixer reads the track while it plays, so the bytes live as long as the music.
    std::vector<std::byte> track_;
};

}  // namespace vk3

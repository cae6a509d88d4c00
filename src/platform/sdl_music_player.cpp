#include "platform/sdl_music_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>

namespace vk3 {

bool SdlMusicPlayer::Play(std::span<const std::byte> track) {
    Stop();
    if (track.empty() || track.size() > INT_MAX) {
        return false;
    }
    // Ctrl+C in a terminal must still end the program, not become an SDL event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    audioStarted_ = true;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        Stop();
        return false;
    }
    deviceOpen_ = true;
    track_.assign(track.begin(), track.end());
    SDL_RWops* source = SDL_RWFromConstMem(track_.data(), static_cast<int>(track_.size()));
    music_ = source != nullptr ? Mix_LoadMUS_RW(source, 1) : nullptr;
    // One pass through the track: no loop.
    if (music_ == nullptr || Mix_PlayMusic(music_, 1) != 0) {
        Stop();
        return false;
    }
    return true;
}

void SdlMusicPlayer::Stop() {
    if (music_ != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    if (deviceOpen_) {
        Mix_CloseAudio();
        deviceOpen_ = false;
    }
    if (audioStarted_) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted_ = false;
    }
    track_.clear();
}

}  // namespace vk3

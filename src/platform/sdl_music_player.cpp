#include "platform/sdl_music_player.h"

#include <climits>

#include "platform/sdl_library.h"

namespace vk3 {

bool SdlMusicPlayer::Play(std::span<const std::byte> track) {
    Stop();
    if (track.empty() || track.size() > INT_MAX) {
        return false;
    }
    const SdlVideo* sdl = LoadSdl();
    const SdlMixer* mixer = LoadSdlMixer();
    if (sdl == nullptr || mixer == nullptr) {
        return false;
    }
    // Ctrl+C in a terminal must still end the program, not become an SDL event nobody reads.
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    audioStarted_ = true;
    mixer->Init(MIX_INIT_MP3);
    if (mixer->OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        Stop();
        return false;
    }
    deviceOpen_ = true;
    track_.assign(track.begin(), track.end());
    SDL_RWops* source = sdl->RWFromConstMem(track_.data(), static_cast<int>(track_.size()));
    music_ = source != nullptr ? mixer->LoadMUS_RW(source, 1) : nullptr;
    // One pass through the track: no loop.
    if (music_ == nullptr || mixer->PlayMusic(music_, 1) != 0) {
        Stop();
        return false;
    }
    return true;
}

void SdlMusicPlayer::Stop() {
    // Only what was started is ended, so the libraries are loaded already.
    if (music_ != nullptr) {
        LoadSdlMixer()->HaltMusic();
        LoadSdlMixer()->FreeMusic(music_);
        music_ = nullptr;
    }
    if (deviceOpen_) {
        LoadSdlMixer()->CloseAudio();
        deviceOpen_ = false;
    }
    if (audioStarted_) {
        LoadSdlMixer()->Quit();
        LoadSdl()->QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted_ = false;
    }
    track_.clear();
}

}  // namespace vk3

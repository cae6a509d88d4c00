#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

namespace vk3 {

// The SDL functions the program uses. On Linux SDL2 and SDL2_mixer are loaded when first
// needed, not at start: with the libraries they bring (sound servers, MIDI synthesis,
// decoders) they are as many as all the others, and loading them would make the program
// start slower and take more memory although most starts never play music.
struct SdlVideo {
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_GetNumDisplayModes) GetNumDisplayModes;
    decltype(&SDL_GetDisplayMode) GetDisplayMode;
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_RWFromConstMem) RWFromConstMem;
};

struct SdlMixer {
    decltype(&Mix_Init) Init;
    decltype(&Mix_Quit) Quit;
    decltype(&Mix_OpenAudio) OpenAudio;
    decltype(&Mix_CloseAudio) CloseAudio;
    decltype(&Mix_LoadMUS_RW) LoadMUS_RW;
    decltype(&Mix_PlayMusic) PlayMusic;
    decltype(&Mix_HaltMusic) HaltMusic;
    decltype(&Mix_FreeMusic) FreeMusic;
};

// Nothing when the library cannot be loaded. Safe to call from any thread.
const SdlVideo* LoadSdl();
const SdlMixer* LoadSdlMixer();

}  // namespace vk3

#include "platform/sdl_library.h"

#ifdef VK3_LOAD_SDL_AT_RUN_TIME
#include <dlfcn.h>

#include <type_traits>
#include <utility>
#endif

namespace vk3 {

namespace {

#ifdef VK3_LOAD_SDL_AT_RUN_TIME
// Fills every function of the table from the library; false when one is missing.
template <typename Table, typename... Members>
bool Resolve(void* library, Table& table,
             const std::pair<Members Table::*, const char*>&... names) {
    bool all = library != nullptr;
    const auto resolve = [&](auto member, const char* name) {
        void* found = all ? ::dlsym(library, name) : nullptr;
        all = all && found != nullptr;
        table.*member = reinterpret_cast<std::remove_reference_t<decltype(table.*member)>>(found);
    };
    (resolve(names.first, names.second), ...);
    return all;
}

void* Open(const char* name) {
    return ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
}
#endif

}  // namespace

const SdlVideo* LoadSdl() {
#ifdef VK3_LOAD_SDL_AT_RUN_TIME
    static const SdlVideo* const loaded = [] {
        static SdlVideo video{};
        const bool found =
            Resolve(Open("libSDL2-2.0.so.0"), video,
                    std::pair{&SdlVideo::InitSubSystem, "SDL_InitSubSystem"},
                    std::pair{&SdlVideo::QuitSubSystem, "SDL_QuitSubSystem"},
                    std::pair{&SdlVideo::GetNumDisplayModes, "SDL_GetNumDisplayModes"},
                    std::pair{&SdlVideo::GetDisplayMode, "SDL_GetDisplayMode"},
                    std::pair{&SdlVideo::SetHint, "SDL_SetHint"},
                    std::pair{&SdlVideo::RWFromConstMem, "SDL_RWFromConstMem"});
        return found ? &video : nullptr;
    }();
    return loaded;
#else
    static const SdlVideo video{&SDL_InitSubSystem,  &SDL_QuitSubSystem, &SDL_GetNumDisplayModes,
                                &SDL_GetDisplayMode, &SDL_SetHint,       &SDL_RWFromConstMem};
    return &video;
#endif
}

const SdlMixer* LoadSdlMixer() {
#ifdef VK3_LOAD_SDL_AT_RUN_TIME
    static const SdlMixer* const loaded = [] {
        static SdlMixer mixer{};
        const bool found =
            Resolve(Open("libSDL2_mixer-2.0.so.0"), mixer, std::pair{&SdlMixer::Init, "Mix_Init"},
                    std::pair{&SdlMixer::Quit, "Mix_Quit"},
                    std::pair{&SdlMixer::OpenAudio, "Mix_OpenAudio"},
                    std::pair{&SdlMixer::CloseAudio, "Mix_CloseAudio"},
                    std::pair{&SdlMixer::LoadMUS_RW, "Mix_LoadMUS_RW"},
                    std::pair{&SdlMixer::PlayMusic, "Mix_PlayMusic"},
                    std::pair{&SdlMixer::HaltMusic, "Mix_HaltMusic"},
                    std::pair{&SdlMixer::FreeMusic, "Mix_FreeMusic"});
        return found ? &mixer : nullptr;
    }();
    return loaded;
#else
    static const SdlMixer mixer{&Mix_Init,       &Mix_Quit,      &Mix_OpenAudio, &Mix_CloseAudio,
                                &Mix_LoadMUS_RW, &Mix_PlayMusic, &Mix_HaltMusic, &Mix_FreeMusic};
    return &mixer;
#endif
}

}  // namespace vk3

#pragma once

#include <cstddef>
#include <span>

namespace vk3 {

// Plays one music track in the background.
class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    // Plays the MP3 track once from its start, without looping, replacing whatever played
    // before. The player keeps its own copy of the bytes. False when no sound can be made
    // (no audio device, or the data does not decode); then nothing plays.
    virtual bool Play(std::span<const std::byte> track) = 0;
    // Silences the track at once; harmless when nothing plays.
    virtual void Stop() = 0;
};

}  // namespace vk3

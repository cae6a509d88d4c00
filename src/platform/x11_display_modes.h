#pragma once

#include <optional>
#include <vector>

#include "settings/resolution.h"

namespace vk3 {

// The primary display's 32-bit modes asked of the X server's RandR extension: the list
// SDL's X11 video driver gives, without loading SDL and the dozens of libraries it brings.
// Nothing where SDL might go another way (a video driver, visual or RandR use chosen in the
// environment, no X display, RandR older than 1.3, several X screens, a default visual
// other than 24-bit colour in 32-bit pixels, a failed request): SDL is asked then.
std::optional<std::vector<DisplayMode>> RandrDisplayModes();

}  // namespace vk3

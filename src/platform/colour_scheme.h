#pragma once

namespace vk3 {

struct Rgb {
    int red;
    int green;
    int blue;
};

// Every dialog draws its controls and its own background in one scheme: text in one colour
// on one background colour.
struct ColourScheme {
    Rgb text;
    Rgb background;
};

enum class DialogKind { Main, CacheSettings, OtherSettings, Credits };

ColourScheme SchemeOf(DialogKind dialog);

}  // namespace vk3

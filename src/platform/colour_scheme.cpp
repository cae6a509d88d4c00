#include "platform/colour_scheme.h"

namespace vk3 {

ColourScheme SchemeOf(DialogKind dialog) {
    switch (dialog) {
        case DialogKind::Main:
            return {{220, 150, 0}, {75, 0, 0}};
        case DialogKind::CacheSettings:
        case DialogKind::OtherSettings:
            return {{240, 170, 0}, {100, 0, 0}};
        case DialogKind::Credits:
            return {{200, 130, 0}, {50, 50, 50}};
    }
    return {{220, 150, 0}, {75, 0, 0}};
}

}  // namespace vk3

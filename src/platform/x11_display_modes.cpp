#include "platform/x11_display_modes.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "platform/randr_modes.h"

namespace vk3 {

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// The default visual is 24-bit true or direct colour, red, green and blue a byte each, kept
// in 32-bit pixels: a 4-byte format for SDL.
bool DefaultVisualTakesFourBytes(const xcb_setup_t* setup, const xcb_screen_t* screen) {
    if (screen->root_depth != 24) {
        return false;
    }
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem != 0;
         xcb_format_next(&format)) {
        if (format.data->depth == 24) {
            if (format.data->bits_per_pixel != 32) {
                return false;
            }
            break;
        }
    }
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem != 0;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem != 0;
             xcb_visualtype_next(&visual)) {
            const xcb_visualtype_t& type = *visual.data;
            if (type.visual_id != screen->root_visual) {
                continue;
            }
            const bool colour = type._class == XCB_VISUAL_CLASS_TRUE_COLOR ||
                                type._class == XCB_VISUAL_CLASS_DIRECT_COLOR;
            const bool rgb =
                type.red_mask == 0xff0000 && type.green_mask == 0xff00 && type.blue_mask == 0xff;
            const bool bgr =
                type.red_mask == 0xff && type.green_mask == 0xff00 && type.blue_mask == 0xff0000;
            return colour && (rgb || bgr);
        }
    }
    return false;
}

// The output SDL makes its first display: the primary output when it is in use, else the
// first one in use, in the server's order.
std::optional<xcb_randr_output_t> FirstDisplayOutput(xcb_connection_t* connection,
                                                     xcb_window_t root) {
    const auto primary = Owned(xcb_randr_get_output_primary_reply(
        connection, xcb_randr_get_output_primary(connection, root), nullptr));
    if (!primary) {
        return std::nullopt;
    }
    std::vector<xcb_randr_output_t> outputs;
    xcb_timestamp_t timestamp = 0;
    const auto current = Owned(xcb_randr_get_screen_resources_current_reply(
        connection, xcb_randr_get_screen_resources_current(connection, root), nullptr));
    if (current && current->num_outputs != 0) {
        const xcb_randr_output_t* first =
            xcb_randr_get_screen_resources_current_outputs(current.get());
        outputs.assign(first, first + current->num_outputs);
        timestamp = current->config_timestamp;
    } else {
        const auto all = Owned(xcb_randr_get_screen_resources_reply(
            connection, xcb_randr_get_screen_resources(connection, root), nullptr));
        if (!all) {
            return std::nullopt;
        }
        const xcb_randr_output_t* first = xcb_randr_get_screen_resources_outputs(all.get());
        outputs.assign(first, first + all->num_outputs);
        timestamp = all->config_timestamp;
    }
    std::vector<xcb_randr_output_t> order;
    for (const xcb_randr_output_t output : outputs) {
        if (output == primary->output) {
            order.insert(order.begin(), output);
        } else {
            order.push_back(output);
        }
    }
    for (const xcb_randr_output_t output : order) {
        const auto info = Owned(xcb_randr_get_output_info_reply(
            connection, xcb_randr_get_output_info(connection, output, timestamp), nullptr));
        if (!info || info->crtc == XCB_NONE ||
            info->connection == XCB_RANDR_CONNECTION_DISCONNECTED) {
            continue;
        }
        const auto crtc = Owned(xcb_randr_get_crtc_info_reply(
            connection, xcb_randr_get_crtc_info(connection, info->crtc, timestamp), nullptr));
        if (crtc) {
            return output;
        }
    }
    return std::nullopt;
}

// The output's modes from the full screen resources, as SDL asks for them.
std::optional<std::vector<DisplayMode>> OutputModes(xcb_connection_t* connection, xcb_window_t root,
                                                    xcb_randr_output_t output) {
    const auto resources = Owned(xcb_randr_get_screen_resources_reply(
        connection, xcb_randr_get_screen_resources(connection, root), nullptr));
    if (!resources) {
        return std::nullopt;
    }
    const xcb_timestamp_t timestamp = resources->config_timestamp;
    const auto info = Owned(xcb_randr_get_output_info_reply(
        connection, xcb_randr_get_output_info(connection, output, timestamp), nullptr));
    if (!info) {
        return std::nullopt;
    }
    if (info->connection == XCB_RANDR_CONNECTION_DISCONNECTED) {
        return std::vector<DisplayMode>();
    }
    const auto crtc = Owned(xcb_randr_get_crtc_info_reply(
        connection, xcb_randr_get_crtc_info(connection, info->crtc, timestamp), nullptr));
    const bool turnedQuarter =
        crtc && (crtc->rotation & (XCB_RANDR_ROTATION_ROTATE_90 | XCB_RANDR_ROTATION_ROTATE_270));

    std::vector<RandrMode> screenModes;
    const xcb_randr_mode_info_t* modes = xcb_randr_get_screen_resources_modes(resources.get());
    for (int i = 0; i < xcb_randr_get_screen_resources_modes_length(resources.get()); ++i) {
        screenModes.push_back({modes[i].id, modes[i].width, modes[i].height, modes[i].dot_clock,
                               modes[i].htotal, modes[i].vtotal});
    }
    const xcb_randr_mode_t* ids = xcb_randr_get_output_info_modes(info.get());
    return ListedOutputModes(
        screenModes,
        std::vector<std::uint32_t>(ids, ids + xcb_randr_get_output_info_modes_length(info.get())),
        turnedQuarter);
}

}  // namespace

std::optional<std::vector<DisplayMode>> RandrDisplayModes() {
    if (IsSet("SDL_VIDEODRIVER") || IsSet("SDL_VIDEO_X11_XRANDR") ||
        IsSet("SDL_VIDEO_X11_VISUALID") || !IsSet("DISPLAY")) {
        return std::nullopt;
    }
    int screenNumber = 0;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, &screenNumber), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()) != 0) {
        return std::nullopt;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection.get());
    if (screenNumber != 0 || xcb_setup_roots_length(setup) != 1) {
        return std::nullopt;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    const xcb_query_extension_reply_t* randr =
        xcb_get_extension_data(connection.get(), &xcb_randr_id);
    if (!DefaultVisualTakesFourBytes(setup, screen) || randr == nullptr || !randr->present) {
        return std::nullopt;
    }
    const auto version = Owned(xcb_randr_query_version_reply(
        connection.get(), xcb_randr_query_version(connection.get(), 1, 3), nullptr));
    if (!version || (version->major_version == 1 && version->minor_version < 3) ||
        version->major_version < 1) {
        return std::nullopt;
    }
    const std::optional<xcb_randr_output_t> output =
        FirstDisplayOutput(connection.get(), screen->root);
    if (!output) {
        return std::nullopt;
    }
    return OutputModes(connection.get(), screen->root, *output);
}

}  // namespace vk3

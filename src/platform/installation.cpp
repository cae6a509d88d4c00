#include "platform/installation.h"

#include "files/file_system.h"
#include "platform/path_case.h"

namespace vk3 {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr std::string_view kSeparators = "\\/";
#else
constexpr char kSeparator = '/';
constexpr std::string_view kSeparators = "/";
#endif

}  // namespace

std::filesystem::path JoinPath(std::string_view folder, std::string_view relative) {
    std::string joined(folder);
    joined += kSeparator;
    for (char c : relative) {
        joined += (c == '/' || c == '\\') ? kSeparator : c;
    }
    return PathFromUtf8(joined);
}

std::string ParentFolderText(std::string_view path) {
    const std::size_t cut = path.find_last_of(kSeparators);
    return std::string(cut == std::string_view::npos ? path : path.substr(0, cut));
}

std::filesystem::path StartLogoFile(const InstallationPaths& paths) {
    return ResolvePathCase(
        JoinPath(ParentFolderText(Utf8FromPath(paths.engineConfig)), "logo.ini"));
}

}  // namespace vk3

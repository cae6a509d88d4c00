#include "platform/path_case.h"

#include <optional>
#include <string>

#include "text/ascii_text.h"

namespace vk3 {

namespace fs = std::filesystem;

#ifndef _WIN32
namespace {

std::optional<std::string> MatchIgnoringCase(const fs::path& folder, const std::string& name) {
    std::optional<std::string> best;
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
         !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (EqualIgnoringAsciiCase(entry, name) && (!best || entry < *best)) {
            best = entry;
        }
    }
    return best;
}

}  // namespace
#endif

fs::path ResolvePathCase(const fs::path& path) {
#ifdef _WIN32
    return path;
#else
    std::error_code error;
    if (fs::exists(path, error)) {
        return path;
    }
    fs::path resolved = path.root_path();
    bool changed = false;
    bool missing = false;
    for (const fs::path& part : path.relative_path()) {
        const std::string name = part.string();
        const fs::path exact = resolved / part;
        if (missing || name.empty() || name == "." || name == ".." || fs::exists(exact, error)) {
            resolved = exact;
        } else if (const std::optional<std::string> match = MatchIgnoringCase(resolved, name)) {
            resolved /= *match;
            changed = true;
        } else {
            resolved = exact;
            missing = true;
        }
    }
    return changed ? resolved : path;
#endif
}

bool IsFileIgnoringCase(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(ResolvePathCase(path), error);
}

}  // namespace vk3

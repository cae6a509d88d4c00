#pragma once

// A generated INI file of about 10 MB and 100,000 keys in a temporary folder, shared by the
// benchmarks.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace vk3::bench {

namespace fs = std::filesystem;

struct SectionPlan {
    const char* name;
    int keys;
};

// About 10 MB in 100,000 entries of about 100 bytes, with comments and blank lines between
// the sections, CR LF line ends as the game writes them.
inline constexpr SectionPlan kSections[] = {{"Engine.Setup", 40000},
                                            {"Option.Sliders", 20000},
                                            {"Game", 10000},
                                            {"PropertySets", 20000},
                                            {"Options.Custom", 10000}};

inline std::string KeyName(const char* section, int i) {
    return std::string(section) + ".u32ResourceBudget_" + std::to_string(i);
}

inline std::string MakeLargeIni() {
    std::string text = "; generated for the profile store benchmark\r\n";
    for (const SectionPlan& plan : kSections) {
        text += "\r\n[" + std::string(plan.name) + "]\r\n";
        for (int i = 0; i < plan.keys; ++i) {
            text += KeyName(plan.name, i) + "=" + std::to_string(1000000 + i) +
                    " padding padding padding padding padding padding\r\n";
        }
    }
    return text;
}

// The temporary folder and file, made once and removed at exit.
class LargeIni {
public:
    LargeIni() {
        std::random_device random;
        do {
            folder_ = fs::temp_directory_path() / ("vk3bench-" + std::to_string(random()));
        } while (!fs::create_directory(folder_));
        file_ = folder_ / "vkmain.ini";
        content_ = MakeLargeIni();
        Restore();
    }
    ~LargeIni() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Restore() const {
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        out.write(content_.data(), static_cast<std::streamsize>(content_.size()));
    }
    const fs::path& folder() const { return folder_; }
    const fs::path& file() const { return file_; }
    const std::string& content() const { return content_; }

    static const LargeIni& Get() {
        static const LargeIni instance;
        return instance;
    }

private:
    fs::path folder_;
    fs::path file_;
    std::string content_;
};

}  // namespace vk3::bench

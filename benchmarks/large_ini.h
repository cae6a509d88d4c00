#pragma once

// Generated INI files of about 1, 10 or 100 MB (10,000 keys per MB) in temporary folders,
// shared by the benchmarks.

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace vk3::bench {

namespace fs = std::filesystem;

struct SectionPlan {
    const char* name;
    int keys;
};

// About 10 MB in 100,000 entries of about 100 bytes, with comments and blank lines between
// the sections, CR LF line ends as the game writes them; other sizes scale the key counts.
inline constexpr SectionPlan kSections[] = {{"Engine.Setup", 40000},
                                            {"Option.Sliders", 20000},
                                            {"Game", 10000},
                                            {"PropertySets", 20000},
                                            {"Options.Custom", 10000}};

inline std::string KeyName(const char* section, int i) {
    return std::string(section) + ".u32ResourceBudget_" + std::to_string(i);
}

inline std::string MakeLargeIni(int megabytes) {
    std::string text = "; generated for the profile store benchmark\r\n";
    for (const SectionPlan& plan : kSections) {
        text += "\r\n[" + std::string(plan.name) + "]\r\n";
        for (int i = 0; i < plan.keys * megabytes / 10; ++i) {
            text += KeyName(plan.name, i) + "=" + std::to_string(1000000 + i) +
                    " padding padding padding padding padding padding\r\n";
        }
    }
    return text;
}

// The temporary folder and file, made once and removed at exit.
class LargeIni {
public:
    explicit LargeIni(int megabytes) {
        std::random_device random;
        do {
            folder_ = fs::temp_directory_path() / ("vk3bench-" + std::to_string(random()));
        } while (!fs::create_directory(folder_));
        file_ = folder_ / "vkmain.ini";
        content_ = MakeLargeIni(megabytes);
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

    // Made at the first use of each size; the benchmarks run one after the other.
    static const LargeIni& Get(int megabytes = 10) {
        static std::map<int, std::unique_ptr<LargeIni>> instances;
        auto& instance = instances[megabytes];
        if (!instance) {
            instance = std::make_unique<LargeIni>(megabytes);
        }
        return *instance;
    }

private:
    fs::path folder_;
    fs::path file_;
    std::string content_;
};

}  // namespace vk3::bench

// Cost of the profile store on a large INI file: the main settings load (26 keys through one
// reader) and the main save (26 keys in one batch), next to the bare file read and replace.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "files/file_system.h"
#include "large_ini.h"
#include "profile/ini_document.h"
#include "profile/profile_store.h"

namespace fs = std::filesystem;

namespace {

using vk3::bench::KeyName;
using vk3::bench::LargeIni;

// 26 keys spread over two sections, as the main settings use them.
std::vector<std::pair<std::string, std::string>> TwentySixKeys() {
    std::vector<std::pair<std::string, std::string>> keys;
    for (int i = 0; i < 16; ++i) {
        keys.emplace_back("Engine.Setup", KeyName("Engine.Setup", i * 2500 + 7));
    }
    for (int i = 0; i < 10; ++i) {
        keys.emplace_back("Options.Custom", KeyName("Options.Custom", i * 1000 + 3));
    }
    return keys;
}

void BM_ReadFileOnly(benchmark::State& state) {
    const LargeIni& ini = LargeIni::Get();
    for (auto _ : state) {
        std::string bytes;
        if (!vk3::ReadFileBytes(ini.file(), bytes) || bytes.size() != ini.content().size()) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ini.content().size()));
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMillisecond);

void BM_ReadTwentySixKeys(benchmark::State& state) {
    const LargeIni& ini = LargeIni::Get();
    const auto keys = TwentySixKeys();
    for (auto _ : state) {
        vk3::ProfileReader reader(ini.file());
        for (const auto& [section, key] : keys) {
            std::string value = reader.ReadString(section, key, "");
            benchmark::DoNotOptimize(value.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ini.content().size()));
}
BENCHMARK(BM_ReadTwentySixKeys)->Unit(benchmark::kMillisecond);

void BM_ReplaceFileOnly(benchmark::State& state) {
    const LargeIni& ini = LargeIni::Get();
    for (auto _ : state) {
        if (!vk3::ReplaceFileContents(ini.file(), ini.content())) {
            state.SkipWithError("replace failed");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ini.content().size()));
}
BENCHMARK(BM_ReplaceFileOnly)->Unit(benchmark::kMillisecond);

// 20 existing keys changed in place and 6 new ones, one read and one replace of the file.
void BM_WriteTwentySixKeys(benchmark::State& state) {
    const LargeIni& ini = LargeIni::Get();
    std::vector<vk3::ProfileWrite> writes;
    const auto keys = TwentySixKeys();
    for (std::size_t i = 0; i < 20; ++i) {
        writes.push_back({keys[i].first, keys[i].second, std::to_string(i)});
    }
    for (int i = 0; i < 6; ++i) {
        writes.push_back(
            {i < 3 ? "Engine.Setup" : "Options.Custom", "New.Setting" + std::to_string(i), "1"});
    }
    for (auto _ : state) {
        state.PauseTiming();
        ini.Restore();
        state.ResumeTiming();
        if (!vk3::WriteProfileStrings(ini.file(), writes)) {
            state.SkipWithError("write failed");
        }
    }
    ini.Restore();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ini.content().size()));
}
BENCHMARK(BM_WriteTwentySixKeys)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The 10 MB file parsed with CR LF (0), LF (1) and CR (2) line ends: all three must cost the
// same, one pass over the bytes.
void BM_ParseLineEnds(benchmark::State& state) {
    std::string content = LargeIni::Get().content();
    if (state.range(0) != 0) {
        std::string converted;
        converted.reserve(content.size());
        for (std::size_t i = 0; i < content.size(); ++i) {
            if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') {
                converted += state.range(0) == 1 ? '\n' : '\r';
                ++i;
            } else {
                converted += content[i];
            }
        }
        content = std::move(converted);
    }
    for (auto _ : state) {
        vk3::IniDocument document{std::string_view(content)};
        benchmark::DoNotOptimize(document.Find("Engine.Setup", "Missing.Key"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * content.size()));
}
BENCHMARK(BM_ParseLineEnds)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

// What the user waits for: the program's start to the shown main dialog on the demo
// installation, and one "save settings" whose engine file is the 10 MB generated one.

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>

#include "fake_prompter.h"
#include "large_ini.h"
#include "main_dialog/main_dialog.h"
#include "main_dialog/main_settings_model.h"
#include "platform/installation.h"
#include "platform/qt_platform.h"
#include "settings/resolution.h"

namespace fs = std::filesystem;

namespace {

void BM_StartUpToShownMainDialog(benchmark::State& state) {
    const fs::path examples = VK3_EXAMPLES_DIR;
    vk3::InstallationPaths paths;
    paths.engineConfig = examples / "Veskaran3/Ini/vkmain.ini";
    paths.debugConfig = examples / "Veskaran3/Ini/debug.ini";
    paths.userOptions = examples / "Documents/veskaran3/UserOptions.ini";
    vk3::test::FakePrompter prompter;  // the benchmarks show no message boxes
    for (auto _ : state) {
        vk3::MainDialog dialog(paths, vk3::ResolutionEntries(vk3::SystemDisplayModes()), prompter);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.grab());
    }
}
BENCHMARK(BM_StartUpToShownMainDialog)->Unit(benchmark::kMillisecond);

void BM_SaveMainSettingsOnLargeFile(benchmark::State& state) {
    const vk3::bench::LargeIni& ini = vk3::bench::LargeIni::Get();
    vk3::InstallationPaths paths;
    paths.engineConfig = ini.file();
    paths.userOptions = ini.folder() / "UserOptions.ini";
    vk3::MainSettingsModel model({"1024x768@60Hz"});
    model.RestoreDefaults();
    for (auto _ : state) {
        state.PauseTiming();
        ini.Restore();
        fs::remove(paths.userOptions);
        state.ResumeTiming();
        if (!model.Save(paths).ok()) {
            state.SkipWithError("save failed");
        }
    }
    ini.Restore();
}
BENCHMARK(BM_SaveMainSettingsOnLargeFile)->Unit(benchmark::kMillisecond);

}  // namespace

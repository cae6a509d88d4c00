// The goals of the performance work, each measured beside its yardstick in the same run and
// reported as the median of the per-iteration ratios, so that a busy machine slows both sides:
// - the program's start to its mapped main window, beside a bare Qt dialog of the same make-up
//   (whole processes on an X display: run under xvfb-run), with their peak memory;
// - loading and saving the main settings on a 1, 10 and 100 MB engine file, beside a copy of
//   that file flushed to disk (dd bs=1M conv=fsync), with the peak memory above the start.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "large_ini.h"
#include "main_dialog/main_settings_model.h"
#include "platform/installation.h"
#include "support/temp_dir.h"

#ifdef __linux__
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef __linux__

namespace fs = std::filesystem;

namespace {

namespace test = vk3::test;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMiB(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(name) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::stod(line.substr(prefix.size())) / 1024;
        }
    }
    return 0;
}

// The process's peak resident memory reached while `work` runs, above `baseline` (the
// resident size before the first round, so that memory kept from one round to the next
// counts too). The kernel's high-water mark is reset to the current size first (clear_refs "5").
double PeakMiBDuring(double baseline, const std::function<void()>& work) {
    std::ofstream("/proc/self/clear_refs") << "5";
    work();
    return StatusMiB("VmHWM") - baseline;
}

// dd bs=1M conv=fsync: the file copied in blocks and flushed to disk.
bool FlushedCopy(const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> block(1 << 20);
    bool ok = in >= 0 && out >= 0;
    for (ssize_t got = 0; ok && (got = ::read(in, block.data(), block.size())) != 0;) {
        ok = got > 0 && ::write(out, block.data(), static_cast<std::size_t>(got)) == got;
    }
    ok = ok && ::fsync(out) == 0;
    ::close(in);
    ::close(out);
    return ok;
}

// What a program must do at least to save two settings files safely: for each, read it,
// write the new content to a new file, flush that, rename it over the file, flush the folder.
bool MinimalSafeSave(const std::vector<fs::path>& files) {
    for (const fs::path& file : files) {
        const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        std::string bytes(1 << 16, '\0');
        const ssize_t got = in >= 0 ? ::read(in, bytes.data(), bytes.size()) : -1;
        ::close(in);
        if (got < 0) {
            return false;
        }
        bytes.resize(static_cast<std::size_t>(got));
        bytes += "Changed=1\r\n";
        const fs::path temporary = file.parent_path() / ".minimal.tmp";
        const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok =
            out >= 0 && ::write(out, bytes.data(), bytes.size()) == got + 11 && ::fsync(out) == 0;
        ::close(out);
        ok = ok && ::rename(temporary.c_str(), file.c_str()) == 0;
        const int folder = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ok = ok && ::fsync(folder) == 0;
        ::close(folder);
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The main settings saved on the demo files, a setting changed in each file, beside the
// minimal safe save of the same two files. Both read and write the files as they are on
// disk; what the first run keeps as safety copies is not counted.
void BM_MainSaveBesideMinimalSave(benchmark::State& state) {
    const test::TempDir dir;
    vk3::InstallationPaths paths = test::InstallationUnder(dir.path());
    const std::string examples = VK3_EXAMPLES_DIR;
    const fs::path engineDemo = examples + "/Veskaran3/Ini/vkmain.ini";
    const fs::path optionsDemo = examples + "/Documents/veskaran3/UserOptions.ini";
    const auto restore = [&] {
        fs::create_directories(paths.engineConfig.parent_path());
        fs::create_directories(paths.userOptions.parent_path());
        fs::copy_file(engineDemo, paths.engineConfig, fs::copy_options::overwrite_existing);
        fs::copy_file(optionsDemo, paths.userOptions, fs::copy_options::overwrite_existing);
    };
    std::vector<double> oursMs, minimalMs, ratios;
    int round = 0;
    for (auto _ : state) {
        restore();
        vk3::MainSettingsModel model({"1024x768@60Hz"});
        model.Load(paths);
        vk3::SettingsBinder& binder = model.Binder();
        binder.Text(binder.Row("viewRangeVegetationEdit")) = std::to_string(100 + round);
        binder.List(binder.Row("textureQualityList")).selected = round % 3;
        const auto timeOurs = [&] {
            const Clock::time_point start = Clock::now();
            const bool saved = model.Save(paths).ok();
            return saved ? MillisecondsSince(start) : 0.0;
        };
        const auto timeMinimal = [&] {
            restore();
            ::sync();
            const Clock::time_point start = Clock::now();
            const bool saved = MinimalSafeSave({paths.userOptions, paths.engineConfig});
            return saved ? MillisecondsSince(start) : 0.0;
        };
        ::sync();
        double ours = 0;
        double minimal = 0;
        if (round++ % 2 == 0) {
            ours = timeOurs();
            minimal = timeMinimal();
        } else {
            minimal = timeMinimal();
            restore();
            ::sync();
            ours = timeOurs();
        }
        if (ours == 0 || minimal == 0) {
            state.SkipWithError("a save failed");
            break;
        }
        state.SetIterationTime(ours / 1000);
        oursMs.push_back(ours);
        minimalMs.push_back(minimal);
        ratios.push_back(ours / minimal);
    }
    state.counters["main_save_ms"] = Median(oursMs);
    state.counters["minimal_save_ms"] = Median(minimalMs);
    state.counters["time_ratio"] = Median(ratios);
}
BENCHMARK(BM_MainSaveBesideMinimalSave)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);

// Starts the program and waits until it maps a window on the display. Gives the time that
// took (0 on failure) and the process's peak memory in MiB; the process is then ended.
struct StartUp {
    double milliseconds = 0;
    double peakMiB = 0;
};

StartUp TimeToMappedWindow(Display* display, const std::vector<std::string>& command) {
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    StartUp result;
    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        // The benchmarks themselves run offscreen; the measured program uses the display.
        ::unsetenv("QT_QPA_PLATFORM");
        ::unsetenv("SDL_VIDEODRIVER");
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    bool mapped = false;
    while (!mapped && MillisecondsSince(start) < 20000) {
        while (!mapped && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            mapped = event.type == MapNotify;
        }
        if (!mapped) {
            pollfd wait{ConnectionNumber(display), POLLIN, 0};
            ::poll(&wait, 1, 100);
        }
    }
    if (mapped) {
        result.milliseconds = MillisecondsSince(start);
    }
    ::kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
    // Unmaps of the ended window are not wanted by the next start.
    XSync(display, True);
    return result;
}

void BM_StartUpBesideBareDialog(benchmark::State& state) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("needs an X display: run under xvfb-run");
        return;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    const std::string examples = VK3_EXAMPLES_DIR;
    const std::vector<std::string> program = {VK3_PROGRAM, "--install-dir", examples + "/Veskaran3",
                                              "--documents-dir", examples + "/Documents"};
    const std::vector<std::string> bare = {VK3_BARE_DIALOG};
    std::vector<double> programMs, bareMs, ratios, programMiB, bareMiB, memoryRatios;
    int round = 0;
    for (auto _ : state) {
        // Alternating which goes first, so that neither always meets a warm or a cold cache.
        StartUp ours, yardstick;
        if (round++ % 2 == 0) {
            ours = TimeToMappedWindow(display, program);
            yardstick = TimeToMappedWindow(display, bare);
        } else {
            yardstick = TimeToMappedWindow(display, bare);
            ours = TimeToMappedWindow(display, program);
        }
        if (ours.milliseconds == 0 || yardstick.milliseconds == 0) {
            state.SkipWithError("a window did not appear");
            break;
        }
        state.SetIterationTime(ours.milliseconds / 1000);
        programMs.push_back(ours.milliseconds);
        bareMs.push_back(yardstick.milliseconds);
        ratios.push_back(ours.milliseconds / yardstick.milliseconds);
        programMiB.push_back(ours.peakMiB);
        bareMiB.push_back(yardstick.peakMiB);
        memoryRatios.push_back(ours.peakMiB / yardstick.peakMiB);
    }
    XCloseDisplay(display);
    state.counters["vk3tune_ms"] = Median(programMs);
    state.counters["bare_ms"] = Median(bareMs);
    state.counters["time_ratio"] = Median(ratios);
    state.counters["vk3tune_MiB"] = Median(programMiB);
    state.counters["bare_MiB"] = Median(bareMiB);
    state.counters["memory_ratio"] = Median(memoryRatios);
}
BENCHMARK(BM_StartUpBesideBareDialog)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);

// Load and save of the main settings (the engine file's keys are all missing, so the save
// adds every one of them) beside a flushed copy of the same file.
void BM_LoadAndSaveBesideFlushedCopy(benchmark::State& state) {
    const int megabytes = static_cast<int>(state.range(0));
    const vk3::bench::LargeIni& ini = vk3::bench::LargeIni::Get(megabytes);
    const double fileMiB = static_cast<double>(ini.content().size()) / (1 << 20);
    vk3::InstallationPaths paths;
    paths.engineConfig = ini.file();
    paths.userOptions = ini.folder() / "UserOptions.ini";
    const fs::path copy = ini.folder() / "copy.ini";
    std::vector<double> oursMs, copyMs, ratios, peaks;
    // Memory kept by an earlier benchmark's reads would hide this one's.
    vk3::FileText::LetKeptMemoryGo();
    const double baseline = StatusMiB("VmRSS");
    for (auto _ : state) {
        ini.Restore();
        fs::remove(paths.userOptions);
        fs::remove(copy);
        // Each side starts on a quiet disk: nothing written before is still on its way.
        ::sync();
        Clock::time_point start = Clock::now();
        if (!FlushedCopy(ini.file(), copy)) {
            state.SkipWithError("copy failed");
            break;
        }
        const double copied = MillisecondsSince(start);
        bool saved = false;
        double took = 0;
        ::sync();
        peaks.push_back(PeakMiBDuring(baseline, [&] {
            start = Clock::now();
            vk3::MainSettingsModel model({"1024x768@60Hz"});
            saved = model.Load(paths).ok() && model.Save(paths).ok();
            took = MillisecondsSince(start);
        }));
        if (!saved) {
            state.SkipWithError("load or save failed");
            break;
        }
        state.SetIterationTime(took / 1000);
        oursMs.push_back(took);
        copyMs.push_back(copied);
        ratios.push_back(took / copied);
    }
    ini.Restore();
    fs::remove(copy);
    state.counters["file_MiB"] = fileMiB;
    state.counters["load_save_ms"] = Median(oursMs);
    state.counters["flushed_copy_ms"] = Median(copyMs);
    state.counters["time_ratio"] = Median(ratios);
    state.counters["peak_MiB_above_start"] = Median(peaks);
    state.counters["peak_per_file_size"] = Median(peaks) / fileMiB;
}
BENCHMARK(BM_LoadAndSaveBesideFlushedCopy)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);

}  // namespace

#endif

#include <QApplication>
#include <QStyleFactory>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/terminal_commands.h"
#include "cache_dialog/cache_settings_dialog.h"
#include "credits/credits_dialog.h"
#ifndef _WIN32
#include "discovery/installation_discovery.h"
#endif
#include "app/installation_locator.h"
#include "files/safety_copies.h"
#include "files/save_turn.h"
#include "history/history_command.h"
#include "history/history_window.h"
#include "main_dialog/main_dialog.h"
#include "maintenance/backup_file.h"
#include "maintenance/start_logos.h"
#include "other_dialog/other_settings_dialog.h"
#include "platform/qt_platform.h"
#include "platform/sdl_music_player.h"
#include "settings/resolution.h"

namespace {

bool HasDisplay() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const vk3::CommandLine commandLine =
        vk3::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "vk3tune: %s (vk3tune --help lists the options)\n",
                     commandLine.error.c_str());
        return 2;
    }
    if (commandLine.showHelp) {
        std::fputs(vk3::UsageText().c_str(), stdout);
        return 0;
    }
    if (commandLine.showVersion) {
        std::fputs(vk3::VersionText().c_str(), stdout);
        return 0;
    }
#ifdef _WIN32
    // On Windows the installation record and the system's documents folder tell everything.
    vk3::InstallationFinder* const finderInUse = nullptr;
    const std::vector<vk3::FoundInstallation> none;
    auto findAll = [&none] { return none; };
#else
    vk3::SystemInstallationFinder finder;
    vk3::InstallationFinder* const finderInUse = &finder;
    auto findAll = [&finder] { return finder.FindAll(); };
#endif
    if (commandLine.listInstallations) {
        const std::vector<vk3::FoundInstallation> found = findAll();
        for (const vk3::FoundInstallation& installation : found) {
            std::fputs(vk3::InstallationListLine(installation).c_str(), stdout);
        }
        if (found.empty()) {
            std::fputs("vk3tune: no installation found\n", stderr);
        }
        return found.empty() ? 1 : 0;
    }
    if (commandLine.showHistory) {
        return vk3::PrintHistory(vk3::DefaultSafetyFolder(), stdout);
    }
    if (!commandLine.restoreHistoryRun.empty()) {
        return vk3::RestoreHistory(vk3::DefaultSafetyFolder(), commandLine.restoreHistoryRun,
                                   stdout, stderr);
    }
    if (commandLine.settings.Any()) {
        // Scripts and SSH sessions: no display needed, no Qt GUI platform plugin loaded.
        return vk3::RunSettingsCommands(argc, argv, commandLine, finder);
    }
    if (!HasDisplay()) {
        std::fputs(
            "vk3tune: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
            "start it from a desktop session or under xvfb-run.\n",
            stderr);
        return 1;
    }

    // Qt sets the process locale from the environment; set it first, while this is the only
    // thread, so that nothing changes it once Qt's threads run.
    std::setlocale(LC_ALL, "");
    // SDL's video start-up, where it is needed, must run on the main thread, and sets and
    // puts back the locale: so the modes are listed before Qt starts any thread.
    std::vector<vk3::DisplayMode> modes = vk3::SystemDisplayModes();

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    // The desktop finds the menu entry, and so the name and icon of the task bar's button,
    // by the desktop file's name (Wayland) or the window class (X11, StartupWMClass).
    QApplication::setApplicationName("vk3tune");
    QApplication::setApplicationVersion("1.0");
    QGuiApplication::setDesktopFileName(VK3_APP_ID);

    // Every game file this run replaces is first copied to the safety folder.
    vk3::SafetyCopies safetyCopies(vk3::DefaultSafetyFolder(), std::chrono::system_clock::now());
    vk3::SetReplacementGuard([&safetyCopies](const std::filesystem::path& file) {
        return safetyCopies.KeepBefore(file);
    });

    if (modes.empty()) {
        // No X server and no SDL that could tell: at least the screen's current mode.
        modes = vk3::PrimaryScreenModes();
    }

    vk3::QtPrompter prompter;
    vk3::SystemInstallationRecord record;
    const std::optional<vk3::InstallationPaths> paths = vk3::LocateInstallation(
        prompter, record, vk3::DocumentsFolder(), commandLine.overrides, finderInUse);
    if (!paths) {
        return 0;
    }
    // A save a crash or a kill cut short is finished before anything reads the files.
    vk3::FinishInterruptedSaves(
        {paths->engineConfig, paths->debugConfig, paths->userOptions, vk3::StartLogoFile(*paths)});

    vk3::MainDialog dialog(*paths, vk3::ResolutionEntries(modes), prompter);
    prompter.SetOwner(&dialog);
    vk3::SdlMusicPlayer music;
    vk3::ChildDialogs children;
    children.cacheSettings = vk3::RunCacheSettingsDialog;
    children.credits = [&music](QWidget* owner, const vk3::InstallationPaths&) {
        vk3::CreditsDialog(music, owner).exec();
    };
    children.otherSettings = vk3::OtherSettingsDialog::Open;
    dialog.SetChildDialogs(std::move(children));
    // The installation given on the command line is not recorded, nor its documents folder.
    vk3::InstallationRecord* documentsRecord = commandLine.overrides.installDir ? nullptr : &record;
    dialog.SetDocumentsFolderChooser(
        [documentsRecord](vk3::Prompter& asker, const vk3::InstallationPaths& current) {
            return vk3::ChooseDocumentsFolder(asker, current, documentsRecord);
        });
    dialog.SetMaintenanceActions(
        {vk3::CreateBackup, vk3::LoadBackup, vk3::RemoveStartLogos, vk3::RestoreStartLogos,
         [&prompter, &safetyCopies](QWidget* owner) {
             return vk3::HistoryWindow::Open(owner, prompter, vk3::DefaultSafetyFolder(),
                                             &safetyCopies);
         }});
    dialog.exec();
    return 0;
}

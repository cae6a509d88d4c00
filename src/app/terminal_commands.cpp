#include "app/terminal_commands.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string_view>

#include "app/installation_locator.h"
#include "app/settings_command.h"
#include "files/safety_copies.h"
#include "platform/prompter.h"
#include "platform/qt_platform.h"
#include "settings/resolution.h"
#include "text/code_page.h"

namespace vk3 {

namespace {

void PrintError(std::string_view text) {
    // One line per message: the dialogs' texts break lines for a message box.
    std::string line;
    for (const char c : text) {
        if (c != '\n') {
            line += c;
        } else if (!line.ends_with(' ')) {
            line += ' ';
        }
    }
    std::fprintf(stderr, "vk3tune: %s\n", line.c_str());
}

// Answers the locator without asking: a question that needs the user ends the run.
class TerminalPrompter : public Prompter {
public:
    void Notice(std::string_view text) override { PrintError(text); }
    void Error(std::string_view text) override { PrintError(text); }
    bool AskYesNo(std::string_view) override { return false; }
    bool AskYesNoDefaultNo(std::string_view) override { return false; }
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest&) override {
        PrintError("give the game's installation folder with --install-dir DIR");
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFileToSave(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFolder(std::string_view,
                                                      const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::size_t> ChooseFromList(std::string_view question,
                                              const std::vector<std::string>& items) override {
        std::string text(question);
        for (const std::string& item : items) {
            text += (&item == &items.front() ? " " : "; ") + item;
        }
        PrintError(text);
        return std::nullopt;
    }
};

// The display's modes where a display can tell them; none without one, as over SSH: no
// video driver is started then.
std::vector<std::string> DisplayResolutions() {
#if !defined(_WIN32) && !defined(__APPLE__)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        return {};
    }
#endif
    return ResolutionEntries(SystemDisplayModes());
}

QString Text(std::string_view bytes) {
    return ToQString(Windows1252ToUtf8(bytes));
}

void PrintJson(const std::vector<SettingReport>& reports) {
    QJsonObject root;
    for (const SettingReport& report : reports) {
        QJsonObject setting;
        setting["dialog"] = ToQString(DialogName(report.setting->dialog));
        setting["caption"] = ToQString(report.caption);
        setting["shown"] = Text(report.shown);
        if (const std::optional<std::string> stored = report.StoredText()) {
            setting["stored"] = Text(*stored);
        } else {
            setting["stored"] = QJsonValue::Null;
        }
        if (report.isList) {
            QJsonArray choices;
            for (const std::string& choice : report.choices) {
                choices.append(Text(choice));
            }
            setting["choices"] = choices;
        }
        QJsonArray keys;
        for (const StoredKey& key : report.keys) {
            QJsonObject stored;
            std::error_code failed;
            const std::filesystem::path file = std::filesystem::absolute(key.file, failed);
            stored["file"] = ToQString(Utf8FromPath(failed ? key.file : file));
            stored["section"] = ToQString(key.section);
            stored["key"] = ToQString(key.key);
            stored["stored"] = key.stored ? QJsonValue(Text(*key.stored)) : QJsonValue::Null;
            keys.append(stored);
        }
        setting["keys"] = keys;
        root[ToQString(report.setting->name)] = setting;
    }
    std::fputs(QJsonDocument(root).toJson(QJsonDocument::Indented).constData(), stdout);
}

// NAME=VALUE, then the stored text where it differs: the first field of each line can be
// given to --set again.
std::string ReportLine(const SettingReport& report) {
    std::string line = report.setting->name + "=" + report.shown;
    const std::optional<std::string> stored = report.StoredText();
    if (!stored) {
        line += "\t(not stored)";
    } else if (*stored != report.shown) {
        line += "\t(stored \"" + *stored + "\")";
    }
    return line;
}

void PrintLines(const std::vector<SettingReport>& reports) {
    for (const SettingReport& report : reports) {
        std::printf("%s\n", ReportLine(report).c_str());
    }
}

// With --verbose: each setting whose shown value or stored text changed.
void PrintChanges(const std::vector<SettingReport>& before,
                  const std::vector<SettingReport>& after) {
    bool any = false;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before[i].shown != after[i].shown || before[i].StoredText() != after[i].StoredText()) {
            std::printf("%s\t(was %s)\n", ReportLine(after[i]).c_str(),
                        before[i].shown.empty() ? "nothing" : before[i].shown.c_str());
            any = true;
        }
    }
    if (!any) {
        std::puts("no setting changed");
    }
}

}  // namespace

int RunSettingsCommands(int argc, char** argv, const CommandLine& commandLine,
                        InstallationFinder& finder) {
    // As the dialogs' start-up does: the locale first, then SDL where it is needed, on this
    // thread before Qt starts any.
    std::setlocale(LC_ALL, "");
    std::vector<std::string> resolutions = DisplayResolutions();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vk3tune");

    const SettingsCommands& commands = commandLine.settings;
    TerminalPrompter prompter;
    SystemInstallationRecord record;
    const std::optional<InstallationPaths> paths =
        LocateInstallation(prompter, record, DocumentsFolder(), commandLine.overrides, &finder);
    if (!paths) {
        return 1;
    }

    SettingsSession session(*paths, std::move(resolutions));
    if (const FileStatus status = session.Load(); !status) {
        PrintError(status.Message("could not read"));
        return 1;
    }
    const bool changes = commands.set || !commands.restoreDefaults.empty();
    if (changes) {
        // Every game file this run replaces is first copied to the safety folder.
        SafetyCopies safetyCopies(DefaultSafetyFolder(), std::chrono::system_clock::now());
        SetReplacementGuard([&safetyCopies](const std::filesystem::path& file) {
            return safetyCopies.KeepBefore(file);
        });
        const std::vector<SettingReport> before =
            commands.verbose ? session.Report() : std::vector<SettingReport>{};
        for (const std::string& dialog : commands.restoreDefaults) {
            session.RestoreDefaults(*DialogNamed(dialog));
        }
        for (const std::string& assignment : commands.assignments) {
            if (const std::string refusal = session.Set(assignment); !refusal.empty()) {
                SetReplacementGuard({});
                PrintError(refusal + " Nothing was written.");
                return 2;
            }
        }
        const FileStatus saved = session.Save();
        SetReplacementGuard({});
        if (!saved) {
            PrintError(saved.Message("could not write"));
            return 1;
        }
        if (commands.verbose) {
            PrintChanges(before, session.Report());
        }
    }
    if (commands.show) {
        const std::vector<SettingReport> reports = session.Report();
        if (commands.json) {
            PrintJson(reports);
        } else {
            PrintLines(reports);
        }
    }
    return 0;
}

}  // namespace vk3

// Saves meeting each other, other programs and kills: two copies of the program saving at
// once, a program that replaces a file without taking turns, a kill at every change to the
// disk. Set VK3_TEST_ROUNDS for longer runs than the quick default.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/save_turn.h"
#include "main_dialog/main_settings_model.h"
#include "maintenance/backup_file.h"
#include "profile/profile_store.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FileNamesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

int Rounds(int quick) {
    const char* rounds = std::getenv("VK3_TEST_ROUNDS");
    return rounds != nullptr && std::atoi(rounds) > 0 ? std::atoi(rounds) : quick;
}

// Runs each action in a process of its own, all starting together; gives their exit codes.
std::vector<int> RunTogether(const std::vector<std::function<int()>>& actions) {
    int barrier[2];
    EXPECT_EQ(::pipe(barrier), 0);
    std::vector<pid_t> children;
    for (const auto& action : actions) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(barrier[1]);
            char start;
            [[maybe_unused]] const auto got = ::read(barrier[0], &start, 1);
            std::_Exit(action());
        }
        children.push_back(child);
    }
    ::close(barrier[0]);
    ::close(barrier[1]);  // every child starts now
    std::vector<int> codes;
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return codes;
}

std::string Key(char who, int round) {
    return std::string(1, who) + std::to_string(round);
}

// Every round, each copy adds a key of its own to both files: a lost change is a key missing
// for good, a split pair a key in one file only.
TEST(SaveRace, TwoCopiesSavingAtOnceLoseNothingAndSplitNoPair) {
    TempDir dir;
    const InstallationPaths paths = test::InstallationUnder(dir.path());
    WriteFile(paths.engineConfig, "[Engine.Setup]\r\nfAnimationViewRangeVegetation=1\r\n");
    WriteFile(paths.userOptions, "[Options.Custom]\r\nTextureQuality=1\r\n");
    const int rounds = Rounds(50);
    const auto saver = [&](char who) {
        return [&, who] {
            for (int round = 0; round < rounds; ++round) {
                const std::vector<ProfileWrite> writes = {{"s", Key(who, round), "1"}};
                if (!WriteProfileFiles(
                        {{paths.engineConfig, writes}, {paths.userOptions, writes}})) {
                    return 1;
                }
            }
            return 0;
        };
    };
    EXPECT_EQ(RunTogether({saver('a'), saver('b')}), (std::vector<int>{0, 0}));
    for (const fs::path& file : {paths.engineConfig, paths.userOptions}) {
        ProfileReader reader(file);
        for (int round = 0; round < rounds; ++round) {
            for (const char who : {'a', 'b'}) {
                EXPECT_TRUE(reader.Contains("s", Key(who, round)))
                    << file << " " << Key(who, round);
            }
        }
    }
}

// A program that does not take turns replaces the file (new name, then rename) while we
// save: each of its changes survives, or our save says the file changed and writes nothing.
TEST(SaveRace, AChangeByAProgramWithoutTurnsSurvivesOrTheSaveSaysSo) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    WriteFile(file, "[s]\r\n");
    const int rounds = Rounds(50);
    const auto other = [&] {
        for (int round = 0; round < rounds; ++round) {
            std::string bytes;
            if (!ReadFileBytes(file, bytes)) {
                return 1;
            }
            WriteFile(dir / "other.tmp", bytes + Key('f', round) + "=1\r\n");
            fs::rename(dir / "other.tmp", file);
            ::usleep(200);
        }
        return 0;
    };
    const auto saver = [&] {
        for (int round = 0; round < rounds; ++round) {
            const FileStatus status = WriteProfileString(file, "s", Key('a', round), "1");
            if (!status && status.problem != FileProblem::ChangedMeanwhile) {
                return 1;
            }
        }
        return 0;
    };
    EXPECT_EQ(RunTogether({other, saver}), (std::vector<int>{0, 0}));
    ProfileReader reader(file);
    for (int round = 0; round < rounds; ++round) {
        EXPECT_TRUE(reader.Contains("s", Key('f', round))) << Key('f', round);
    }
}

// The process is killed right before each change to the disk in turn; the next start
// finishes or undoes what it left, so that both files are old or both new and no
// temporary file is left.
TEST(SaveRace, KilledAtEveryDiskChangeAPairIsBothOldOrBothNewAfterTheNextStart) {
    TempDir dir;
    const InstallationPaths paths = test::InstallationUnder(dir.path());
    const std::string oldEngine = "[Engine.Setup]\r\nfAnimationViewRangeVegetation=1\r\n";
    const std::string oldOptions = "[Options.Custom]\r\nTextureQuality=1\r\n";
    WriteFile(dir / "saves/good.vib", EncodeBackup("[Engine.Setup]\r\nnew=1\r\n", "new"));
    const struct {
        const char* name;
        std::function<bool()> step;
    } steps[] = {
        {"main save",
         [&] {
             MainSettingsModel model({"1024x768@60Hz"});
             model.Load(paths);
             model.FieldText(MainControl::ViewRangeVegetation) = "7";
             model.List(MainControl::TextureQuality).selected = 2;
             return model.Save(paths).ok();
         }},
        {"backup load",
         [&] {
             test::FakePrompter prompter;
             prompter.AnswerYes().ChooseFile(dir / "saves/good.vib");
             return LoadBackup(prompter, paths);
         }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        std::string newEngine;
        std::string newOptions;
        int killPoints = 0;
        for (long n = 1;; ++n) {
            WriteFile(paths.engineConfig, oldEngine);
            WriteFile(paths.userOptions, oldOptions);
            const int code = RunTogether({[&] {
                EndProcessBeforeDiskChange(n);
                return step() ? 0 : 1;
            }})[0];
            ASSERT_TRUE(code == 0 || code == 86) << "at disk change " << n;
            if (code == 0) {
                newEngine = ReadFile(paths.engineConfig);
                newOptions = ReadFile(paths.userOptions);
                break;
            }
            ++killPoints;
            FinishInterruptedSaves({paths.engineConfig, paths.userOptions});
            const bool engineOld = ReadFile(paths.engineConfig) == oldEngine;
            const bool optionsOld = ReadFile(paths.userOptions) == oldOptions;
            EXPECT_EQ(engineOld, optionsOld) << "split at disk change " << n;
            EXPECT_EQ(FileNamesIn(paths.engineConfig.parent_path()),
                      (std::set<std::string>{"vkmain.ini"}))
                << "at disk change " << n;
            EXPECT_EQ(FileNamesIn(paths.userOptions.parent_path()),
                      (std::set<std::string>{"UserOptions.ini"}))
                << "at disk change " << n;
        }
        EXPECT_GT(killPoints, 5);
        RecordProperty(
            std::string(name) == "main save" ? "main_save_kill_points" : "backup_load_kill_points",
            killPoints);
        EXPECT_NE(newEngine, oldEngine);
        EXPECT_NE(newOptions, oldOptions);
    }
}

// The second file changed while saving and putting the first back fails as well: the
// message names the first file too, and what it holds.
TEST(SaveRace, AFailedUndoNamesEveryFileLeftChanged) {
    TempDir dir;
    const fs::path first = dir / "a/vkmain.ini";
    const fs::path second = dir / "b/UserOptions.ini";
    WriteFile(first, "[s]\r\nk=1\r\n" + std::string(100000, ';'));
    WriteFile(second, "[s]\r\nk=1\r\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    SetReplacementGuard([&](const fs::path& file) {
        if (file == second) {
            // Another program writes the second file; then the disk fills up.
            WriteFile(dir / "b/other", "[s]\r\nk=other\r\n");
            fs::rename(dir / "b/other", second);
            rlimit small = saved;
            small.rlim_cur = 4096;
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        return FileStatus::Success();
    });
    const std::vector<ProfileWrite> writes = {{"s", "k", "2"}};
    const FileStatus status = WriteProfileFiles({{first, writes}, {second, writes}});
    SetReplacementGuard(nullptr);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(status.problem, FileProblem::ChangedMeanwhile);
    EXPECT_EQ(status.path, second);
    EXPECT_NE(status.reason.find("\"" + first.string() + "\" keeps its new content"),
              std::string::npos)
        << status.reason;
    EXPECT_EQ(ReadFile(second), "[s]\r\nk=other\r\n");
}

}  // namespace
}  // namespace vk3

#endif

// Saves meeting other copies of the program, other programs and kills; VK3_TEST_ROUNDS=n.
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

const int kRounds = std::getenv("VK3_TEST_ROUNDS") ? std::atoi(std::getenv("VK3_TEST_ROUNDS")) : 50;

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
            std::_Exit(::read(barrier[0], &start, 1) == 0 ? action() : 2);
        }
        children.push_back(child);
    }
    ::close(barrier[0]);
    ::close(barrier[1]);  // every child starts now
    std::vector<int> codes;
    for (int status = 0; const pid_t child : children) {
        codes.push_back(
            ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return codes;
}

std::string Key(char who, int round) {
    return who + std::to_string(round);
}

// Each round each copy adds its own key to both files: none may go missing from either.
TEST(SaveRace, TwoCopiesSavingAtOnceLoseNothingAndSplitNoPair) {
    TempDir dir;
    const InstallationPaths paths = test::InstallationUnder(dir.path());
    WriteFile(paths.engineConfig, "");
    WriteFile(paths.userOptions, "");
    const auto saver = [&](char who) {
        return [&, who] {
            for (int round = 0; round < kRounds; ++round) {
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
        for (int round = 0; round < kRounds; ++round) {
            EXPECT_TRUE(reader.Contains("s", Key('a', round)) &&
                        reader.Contains("s", Key('b', round)))
                << file << " " << round;
        }
    }
}

// A program that does not take turns replaces the file (new name, then rename) while we
// save: each of its changes survives, or our save says the file changed and writes nothing.
TEST(SaveRace, AChangeByAProgramWithoutTurnsSurvivesOrTheSaveSaysSo) {
    TempDir dir;
    const fs::path file = dir / "vkmain.ini";
    WriteFile(file, "[s]\r\n");
    const auto other = [&] {
        for (int round = 0; round < kRounds; ++round) {
            std::string bytes;
            if (!ReadFileBytes(file, bytes)) {
                return 1;
            }
            WriteFile(dir / "other.tmp", bytes + Key('f', round) + "=1\r\n");
            fs::rename(dir / "other.tmp", file);
            ::usleep(1000);
        }
        return 0;
    };
    const auto saver = [&] {
        for (int round = 0; round < kRounds; ++round) {
            const FileStatus status = WriteProfileString(file, "s", Key('a', round), "1");
            if (!status && status.problem != FileProblem::ChangedMeanwhile) {
                return 1;  // anything else but ChangedMeanwhile is a fault
            }
        }
        return 0;
    };
    EXPECT_EQ(RunTogether({other, saver}), (std::vector<int>{0, 0}));
    ProfileReader reader(file);
    for (int round = 0; round < kRounds; ++round) {
        EXPECT_TRUE(reader.Contains("s", Key('f', round))) << Key('f', round);
    }
}

// Killed right before each change to the disk in turn, the next start, or else the next save
// before it changes the files itself, finishes or undoes what the save left: both files old
// or both new, no temporary file left.
TEST(SaveRace, KilledAtEveryDiskChangeAPairIsBothOldOrBothNewAfterTheNextStartOrSave) {
    TempDir dir;
    const InstallationPaths paths = test::InstallationUnder(dir.path());
    const std::string oldEngine = "[Engine.Setup]\r\nfAnimationViewRangeVegetation=1\r\n";
    const std::string oldOptions = "[Options.Custom]\r\nTextureQuality=1\r\n";
    WriteFile(dir / "saves/good.vib", EncodeBackup("[Engine.Setup]\r\nnew=1\r\n", "new"));
    const struct {
        const char* name;
        std::function<bool()> step;
    } steps[] = {
        {"main save",  // what the main dialog's save writes
         [&] {
             return WriteProfileFiles(
                        {{paths.userOptions, {{"Options.Custom", "TextureQuality", "3"}}},
                         {paths.engineConfig,
                          {{"Engine.Setup", "VegetationAdmin.ViewRange", "7"}}}})
                 .ok();
         }},
        {"backup load",
         [&] {
             test::FakePrompter prompter;
             prompter.AnswerYes().ChooseFile(dir / "saves/good.vib");
             return LoadBackup(prompter, paths);
         }},
    };
    const struct {
        const char* name;
        std::function<bool()> recover;
        std::string addedToOld;  // what the recovery itself adds to a file left old
    } recoveries[] = {
        {"next start",
         [&] {
             FinishInterruptedSaves({paths.engineConfig, paths.userOptions});
             return true;
         },
         ""},
        {"next save",
         [&] {
             return WriteProfileFiles({{paths.userOptions, {{"Options.Custom", "Next", "1"}}},
                                       {paths.engineConfig, {{"Engine.Setup", "Next", "1"}}}})
                 .ok();
         },
         "Next=1\r\n"},
    };
    for (const auto& named : steps) {
        for (const auto& recovery : recoveries) {
            const auto& step = named.step;
            SCOPED_TRACE(std::string(named.name) + ", then the " + recovery.name);
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
                    break;
                }
                ++killPoints;
                ASSERT_TRUE(recovery.recover()) << "at disk change " << n;
                EXPECT_EQ(ReadFile(paths.engineConfig) == oldEngine + recovery.addedToOld,
                          ReadFile(paths.userOptions) == oldOptions + recovery.addedToOld)
                    << "split at disk change " << n;
                EXPECT_EQ(FileNamesIn(paths.engineConfig.parent_path()).size() +
                              FileNamesIn(paths.userOptions.parent_path()).size(),
                          2u)
                    << "a file left at disk change " << n;
            }
            EXPECT_GT(killPoints, 5);
            EXPECT_NE(ReadFile(paths.engineConfig) + ReadFile(paths.userOptions),
                      oldEngine + oldOptions);
        }
    }
}

// The second file changed while saving and putting the first back fails as well, the disk
// full: the message names the first file too, and no temporary file is left.
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
    EXPECT_NE(status.reason.find("\"" + first.string() +
                                 "\" keeps its new content (the file would be too large)"),
              std::string::npos)
        << status.reason;
    EXPECT_EQ(FileNamesIn(dir / "a").size() + FileNamesIn(dir / "b").size(), 2u);
    EXPECT_EQ(ReadFile(second), "[s]\r\nk=other\r\n");
}

}  // namespace
}  // namespace vk3

#endif

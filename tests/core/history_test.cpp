#include "history/history.h"

#include <gtest/gtest.h>
#include <chrono>

#include "files/safety_copies.h"
#include "profile/profile_store.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::ReadFile;
using test::WriteFile;
class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() {
        SetReplacementGuard([this](const fs::path& file) { return safety_.KeepBefore(file); });
    }
    ~HistoryTest() override { SetReplacementGuard(nullptr); }
    test::TempDir dir_;
    fs::path root_ = dir_ / "safety";
    SafetyCopies safety_{root_, std::chrono::system_clock::now()};
};

TEST_F(HistoryTest, AnyPathReadsBackAndEarlierRunsStayReadable) {
#ifdef _WIN32
    const char* const oddName = "a b %41 é";  // Windows names hold no tabs or line breaks
#else
    const char* const oddName = "a b\tc\nd %41 é";
#endif
    const fs::path odd = dir_.path() / PathFromUtf8(oddName) / "vkmain.ini";
    WriteFile(odd, "[s]\r\nk=1\r\n");
    ASSERT_TRUE(WriteProfileString(odd, "s", "k", "2"));
    // A run of the version before, with only its index.
    WriteFile(root_ / "2001-01-01_10-00-00/index.txt",
              "explanation\nUserOptions (2).ini\t/games/docs/veskaran3\n");

    const std::vector<HistoryRun> runs = ListHistory(root_);
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_EQ(runs[0].copies.size(), 1u);
    EXPECT_EQ(runs[0].copies[0].original, odd);
    EXPECT_EQ(runs[1].time, "2001-01-01 10:00:00");
    EXPECT_EQ(runs[1].copies[0].original, fs::path("/games/docs/veskaran3/UserOptions.ini"));
    EXPECT_FALSE(ParseRunRecord("vk3tune safety copies 1\ncopy\tx%4\t/p\n"));
}

TEST_F(HistoryTest, ChangesAreNamedAsTheDialogsNameThem) {
    const std::string utf16Then("\xFF\xFE[\0s\0]\0\n\0X\0=\0001\0\n\0", 18);
    const std::string utf16Now("\xFF\xFE[\0s\0]\0\n\0X\0=\0002\0\n\0", 18);
    struct Case {
        const char* file;
        std::string then;
        std::optional<std::string> now;  // nothing: the file is gone
        std::vector<std::string> lines;
    } cases[] = {
        {"vkmain.ini",
         "[Engine.Setup]\nVegetationAdmin.ViewRange=3500.0\n",
         "[engine.setup]\nVegetationAdmin.ViewRange = 4000.0\n",
         {"view range vegetation: 3500.0 → 4000.0"}},
        {"debug.ini", "[Mine]\nA=1\n", "[Mine]\nA=1\nNew=x\n", {"[Mine] New: added (x)"}},
        {"vkmain.ini",
         "[Option.Sliders]\nResourceCache.u32MeshMaxMemUsage_Low=1\n",
         "[Option.Sliders]\n",
         {"mesh, resource cache - low: removed (was 1)"}},
        {"UserOptions.ini", "[Options.Custom]\nDistanceHigh=2\n", "", {"emptied since then"}},
        {"u.ini", utf16Then, utf16Now, {"[s] X: 1 → 2"}},
        {"logo.ini", "a.bik\n", std::nullopt, {"no longer there; a restore puts it back"}},
        {"debug.ini",
         "; one\n[s]\nk=1\n",
         "; two\n[s]\nk=1\n",
         {"changed outside the settings (comments, spacing or order)"}},
    };
    for (const Case& c : cases) {
        const fs::path file = dir_ / "game" / c.file;
        WriteFile(root_ / "2001-01-01_10-00-00" / c.file, c.then);
        c.now ? WriteFile(file, *c.now) : void(fs::remove(file));
        const HistoryRun run{"r", root_ / "2001-01-01_10-00-00", "", {{c.file, file}}};
        EXPECT_EQ(ChangesSince(run).at(0).lines, c.lines) << c.file << ": " << c.then;
    }
}

TEST_F(HistoryTest, RestorePutsAllBackAfterKeepingTheFilesAsTheyAreNow) {
    const fs::path engine = dir_ / "game/vkmain.ini";
    const fs::path user = dir_ / "docs/UserOptions.ini";
    WriteFile(engine, "[s]\nk=old\n");
    WriteFile(user, "[s]\nk=old\n");
    ASSERT_TRUE(WriteProfileFiles({{engine, {{"s", "k", "new"}}}, {user, {{"s", "k", "new"}}}}));
    const std::string engineNew = ReadFile(engine);
    const HistoryRun run = ListHistory(root_).at(0);

    // A file that cannot be written stops the whole restore: nothing changes.
    test::MakeReadOnly(user);
    EXPECT_FALSE(RestoreRun(run, &safety_));
    EXPECT_EQ(ReadFile(engine), engineNew);
    fs::permissions(user, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(RestoreRun(run, &safety_));
    EXPECT_EQ(ReadFile(engine), "[s]\nk=old\n");
    EXPECT_EQ(ReadFile(user), "[s]\nk=old\n");
    const HistoryRun newest = ListHistory(root_).at(0);  // the files as they were before
    ASSERT_EQ(newest.copies.size(), 2u);
    EXPECT_EQ(ReadFile(newest.folder / newest.copies[0].name), engineNew);
}

}  // namespace
}  // namespace vk3

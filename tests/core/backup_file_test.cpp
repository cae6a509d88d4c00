#include "maintenance/backup_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FakePrompter;
using test::FileNamesIn;
using test::ReadFile;
using test::WriteFile;

// As the game writes it: CR LF, and a Ctrl-Z and a high byte for good measure.
constexpr std::string_view kEngineIni =
    "[Engine.Setup]\r\nTextureQuality=3\r\nResourceCache.u32MeshMaxMemUsage_Medium=8388608\r\n"
    "\x1a\xe4\r\n";
constexpr std::string_view kUserOptionsIni = "[Options.Custom]\r\nShadows=true\r\n";

std::string Header(std::uint32_t engineLength, std::uint32_t userOptionsLength) {
    std::string bytes;
    for (std::uint32_t value : {engineLength, userOptionsLength}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    return bytes;
}

void ExpectMentions(const std::vector<std::string>& errors, std::string_view file,
                    std::string_view reason) {
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(file), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find(reason), std::string::npos) << errors[0];
}

TEST(BackupFile, OnlyANameWithoutExtensionGetsVibAndOnlyVibLoads) {
    const std::pair<const char*, const char*> targets[] = {
        // clang-format off
        {"/saves/backup", "/saves/backup.vib"}, {"/saves/backup.txt", "/saves/backup.txt"},
        {"/saves/BACKUP.VIB", "/saves/BACKUP.VIB"}, {"/saves.d/backup", "/saves.d/backup.vib"},
        {"/saves/backup.", "/saves/backup.vib"}, {"backup", "backup.vib"},
        // clang-format on
    };
    for (const auto& [chosen, written] : targets) {
        EXPECT_EQ(BackupTargetName(chosen), fs::path(written));
    }
    // Only "vib" exactly, as Windows reads an extension, loads.
    EXPECT_TRUE(HasBackupExtension("/saves/old.backup.vib"));
    for (const char* refused : {"/saves/BACKUP.VIB", "/saves/backup.vib.txt", "/saves/backup.vibe",
                                "/saves.vib/backup", "/saves/vib"}) {
        EXPECT_FALSE(HasBackupExtension(refused)) << refused;
    }
}

class BackupActions : public ::testing::Test {
protected:
    BackupActions() {
        WriteFile(paths.engineConfig, kEngineIni);
        WriteFile(paths.userOptions, kUserOptionsIni);
        fs::create_directories(saves);
    }

    void Create(const fs::path& chosen, FakePrompter& prompter) {
        prompter.ChooseFile(chosen);
        CreateBackup(prompter, paths);
    }
    bool Load(const fs::path& chosen, FakePrompter& prompter) {
        prompter.AnswerYes().ChooseFile(chosen);
        return LoadBackup(prompter, paths);
    }
    void ExpectConfigurationUnchanged() {
        EXPECT_EQ(ReadFile(paths.engineConfig), kEngineIni);
        EXPECT_EQ(ReadFile(paths.userOptions), kUserOptionsIni);
        EXPECT_EQ(FileNamesIn(dir / "game/Ini"), std::set<std::string>{"vkmain.ini"});
        EXPECT_EQ(FileNamesIn(dir / "docs/veskaran3"), std::set<std::string>{"UserOptions.ini"});
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    fs::path saves = dir / "saves";
};

TEST_F(BackupActions, CreateThenLoadGivesBackBothFilesByteForByte) {
    // A zero byte and a Ctrl-Z pass through untouched.
    const std::string engine =
        std::string(kEngineIni) + '\0' + std::string(1199 - kEngineIni.size(), 'e');
    WriteFile(paths.engineConfig, engine);
    FakePrompter creating;
    Create(saves / "backup", creating);
    // Two little-endian lengths, then both images.
    EXPECT_EQ(ReadFile(saves / "backup.vib"), std::string("\xB0\x04\x00\x00\x20\x00\x00\x00", 8) +
                                                  engine + std::string(kUserOptionsIni));
    EXPECT_TRUE(creating.messages().empty());
    EXPECT_EQ(creating.dialogs().at(0).kind, FakePrompter::DialogKind::Save);
    EXPECT_EQ(creating.dialogs()[0].request.filterDescription, "Veskaran III Ini BackUp (*.vib)");
    EXPECT_EQ(creating.dialogs()[0].request.filterPattern, "*.vib");

    WriteFile(paths.engineConfig, "[Engine.Setup]\r\nTextureQuality=1\r\n");
    WriteFile(paths.userOptions, "");
    FakePrompter loading;
    EXPECT_TRUE(Load(saves / "backup.vib", loading));
    EXPECT_EQ(ReadFile(paths.engineConfig), engine);
    EXPECT_EQ(ReadFile(paths.userOptions), kUserOptionsIni);
    EXPECT_EQ(loading.questions(),
              std::vector<std::string>{"old data will be overwritten!\n\ncontinue?"});
    EXPECT_TRUE(loading.errors().empty() && loading.notices().empty());
    EXPECT_EQ(loading.dialogs().at(0).kind, FakePrompter::DialogKind::Open);
    EXPECT_EQ(ReadFile(paths.debugConfig), "");  // not part of a backup
}

TEST_F(BackupActions, AnEmptyImageEmptiesItsFileOnlyWhenTheUserSaysSo) {
    const std::string engine = "the backup holds an empty vkmain.ini file. load it anyway?";
    const std::string options = "the backup holds an empty UserOptions.ini file. load it anyway?";
    const struct {
        std::string backup;
        std::vector<bool> answers;
        std::vector<std::string> asked;
    } cases[] = {
        {Header(0, 0), {false}, {engine}},
        {Header(0, 0), {true, false}, {engine, options}},
        {Header(0, 0), {true, true}, {engine, options}},
        {Header(4, 0) + "[a]\n", {true}, {options}},
    };
    for (const auto& c : cases) {
        WriteFile(paths.engineConfig, kEngineIni);
        WriteFile(paths.userOptions, kUserOptionsIni);
        WriteFile(saves / "empty.vib", c.backup);
        FakePrompter loading;
        loading.AnswerYes().ChooseFile(saves / "empty.vib");
        for (bool yes : c.answers) {
            loading.Answer(yes);
        }
        EXPECT_EQ(LoadBackup(loading, paths), c.answers.back());
        EXPECT_EQ(loading.questionsDefaultNo(), c.asked);
        if (!c.answers.back()) {
            ExpectConfigurationUnchanged();
        } else {
            EXPECT_EQ(ReadFile(paths.userOptions), "");
            EXPECT_EQ(ReadFile(paths.engineConfig), c.backup.substr(8));
        }
    }
}

TEST_F(BackupActions, ANameWithoutExtensionIsWrittenAsVibAfterAskingToReplaceIt) {
    FakePrompter creating;
    Create(saves / "backup.txt", creating);
    // "backup" means "backup.vib", which exists: the user is asked first.
    WriteFile(saves / "backup.vib", "older backup");
    creating.AnswerNo();
    Create(saves / "backup", creating);
    EXPECT_EQ(ReadFile(saves / "backup.vib"), "older backup");
    creating.AnswerYes();
    Create(saves / "backup", creating);
    EXPECT_EQ(ReadFile(saves / "backup.vib"), ReadFile(saves / "backup.txt"));
    EXPECT_EQ(creating.questions(),
              std::vector<std::string>(
                  2, "\"backup.vib\" already exists.\n\ndo you want to replace it?"));
}

// Windows does not tell "backup.vib" from "BACKUP.VIB": there the backup replaces that file
// after the question, on Linux it goes beside it. Loading "BACKUP.VIB" is refused on both.
TEST_F(BackupActions, ANameDifferingOnlyInCaseIsTheSameFileOnlyOnWindows) {
    WriteFile(saves / "BACKUP.VIB", "older backup");
    FakePrompter creating;
#ifdef _WIN32
    Create(saves / "backup", creating.AnswerYes());
    EXPECT_EQ(FileNamesIn(saves).size(), 1u);
#else
    Create(saves / "backup", creating);  // the fake fails on a question it has no answer for
    EXPECT_EQ(ReadFile(saves / "BACKUP.VIB"), "older backup");
#endif
    FakePrompter loading;
    EXPECT_TRUE(Load(saves / "backup.vib", loading));  // the new backup, not the older one
    EXPECT_FALSE(Load(saves / "BACKUP.VIB", loading));
    EXPECT_EQ(loading.notices(), std::vector<std::string>{"invalid file!"});
}

TEST_F(BackupActions, NoOrCancelEndsWithNothingWritten) {
    FakePrompter declined, cancelledLoad, cancelledCreate;
    // No file dialog may follow a no: the fake fails on one.
    EXPECT_FALSE(LoadBackup(declined.AnswerNo(), paths));
    EXPECT_FALSE(LoadBackup(cancelledLoad.AnswerYes().CancelFileDialog(), paths));
    CreateBackup(cancelledCreate.CancelFileDialog(), paths);
    for (const FakePrompter* prompter : {&declined, &cancelledLoad, &cancelledCreate}) {
        EXPECT_TRUE(prompter->errors().empty() && prompter->notices().empty());
    }
    EXPECT_TRUE(FileNamesIn(saves).empty());
    ExpectConfigurationUnchanged();
}

TEST_F(BackupActions, LoadRefusesAnythingButOneWholeBackupAndChangesNeitherFile) {
    // Header cut short, either image cut short, lengths past the end or wrapping in 32 bits,
    // trailing bytes.
    const std::pair<std::string, const char*> cases[] = {
        {Header(3, 0).substr(0, 7), "too short"},
        {Header(10, 2) + "12345", "cut short"},
        {Header(2, 10) + "12345", "cut short"},
        {Header(0xFFFFFFFF, 0) + "abc", "4294967295"},
        {Header(1, 0xFFFFFFFF) + "abc", "4294967295"},
        {Header(0xFFFFFFF8, 0), "4294967288"},
        {Header(2, 1) + "abc" + "\r\n", "2 bytes more"},
    };
    const auto expectRefused = [&](const std::string& name, std::string_view file,
                                   std::string_view reason) {
        SCOPED_TRACE(name);
        FakePrompter prompter;
        EXPECT_FALSE(Load(saves / name, prompter));
        ExpectMentions(prompter.errors(), file, reason);
        ExpectConfigurationUnchanged();
    };
    for (const auto& [bytes, reason] : cases) {
        WriteFile(saves / "bad.vib", bytes);
        expectRefused("bad.vib", "bad.vib", reason);
    }
    WriteFile(saves / "huge.vib", EncodeBackup("a", "b"));
    fs::resize_file(saves / "huge.vib", kMaxBackupFileBytes + 1);  // sparse: costs no disk
    expectRefused("huge.vib", "huge.vib", "too large");

    // Read-only user options: the engine file, replaced first in the past, must stay old too.
    WriteFile(saves / "good.vib", EncodeBackup("new engine", "new options"));
    test::MakeReadOnly(paths.userOptions);
    expectRefused("good.vib", "UserOptions.ini", "read-only");
}

TEST_F(BackupActions, CreateLeavesNoBackupBehindWhenItCannotReadOrWrite) {
    const std::string earlier = "an earlier backup";
    WriteFile(saves / "old.vib", earlier);

    // A missing configuration file: named in the message; no new, empty or partial backup.
    for (const fs::path* missing : {&paths.engineConfig, &paths.userOptions}) {
        fs::remove(*missing);
        for (const char* target : {"new", "old.vib"}) {
            SCOPED_TRACE(missing->filename().string() + " missing, target " + target);
            FakePrompter prompter;
            Create(saves / target, prompter);
            ExpectMentions(prompter.errors(), missing->filename().string(), "does not exist");
        }
        WriteFile(paths.engineConfig, kEngineIni);
        WriteFile(paths.userOptions, kUserOptionsIni);
    }

    test::MakeReadOnly(saves / "old.vib");
    FakePrompter readOnly;
    Create(saves / "old.vib", readOnly);
    ExpectMentions(readOnly.errors(), "old.vib", "read-only");

    // Saving the backup over a configuration file it holds would destroy that file.
    for (const fs::path* config : {&paths.engineConfig, &paths.userOptions}) {
        FakePrompter overConfig;
        Create(*config, overConfig);
        ExpectMentions(overConfig.errors(), config->filename().string(), "configuration files");
    }
    ExpectConfigurationUnchanged();
    EXPECT_EQ(FileNamesIn(saves), std::set<std::string>{"old.vib"});
    EXPECT_EQ(ReadFile(saves / "old.vib"), earlier);
}

}  // namespace
}  // namespace vk3

#include "maintenance/backup_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::FakePrompter;
using test::FileNamesIn;
using test::MakeReadOnly;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::string_view kLoadQuestion = "old data will be overwritten!\n\ncontinue?";

// As the game writes it: CR LF, and a Ctrl-Z and a high byte for good measure.
constexpr std::string_view kEngineIni =
    "[Engine.Setup]\r\nTextureQuality=3\r\nResourceCache.u32MeshMaxMemUsage_Medium=8388608\r\n"
    "\x1a\xe4\r\n";
constexpr std::string_view kUserOptionsIni = "[Options.Custom]\r\nShadows=true\r\n";

std::string LittleEndian(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((value >> shift) & 0xFF);
    }
    return bytes;
}

std::string Header(std::uint32_t engineLength, std::uint32_t userOptionsLength) {
    return LittleEndian(engineLength) + LittleEndian(userOptionsLength);
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

TEST(BackupFormat, TwoLittleEndianLengthsThenBothImagesByteForByte) {
    const std::string engine = std::string(1199, 'e') + "\n";
    const std::string userOptions = std::string(298, 'u') + "\r\n";
    const std::string backup = EncodeBackup(engine, userOptions);
    ASSERT_EQ(backup.size(), 1508u);
    EXPECT_EQ(backup.substr(0, 8), std::string("\xB0\x04\x00\x00\x2C\x01\x00\x00", 8));
    EXPECT_EQ(backup.substr(8, 1200), engine);
    EXPECT_EQ(backup.substr(1208), userOptions);

    std::string why;
    auto images = DecodeBackup(backup, why);
    ASSERT_TRUE(images) << why;
    EXPECT_EQ(images->engine, engine);
    EXPECT_EQ(images->userOptions, userOptions);

    // Zero bytes and empty files pass through untouched.
    const std::string binary("a\0b\r\n\0", 6);
    EXPECT_EQ(EncodeBackup(binary, ""), Header(6, 0) + binary);
    images = DecodeBackup(Header(6, 0) + binary, why);
    ASSERT_TRUE(images) << why;
    EXPECT_EQ(images->engine, binary);
    EXPECT_EQ(images->userOptions, "");
    images = DecodeBackup(Header(0, 0), why);
    ASSERT_TRUE(images) << why;
    EXPECT_TRUE(images->engine.empty() && images->userOptions.empty());
}

TEST(BackupFormat, DecodeRefusesAnythingButOneWholeBackup) {
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "too short"},
        {"header cut short", Header(3, 0).substr(0, 7), "too short"},
        {"engine image cut short", Header(10, 2) + "12345", "cut short"},
        {"user options image cut short", Header(2, 10) + "12345", "cut short"},
        {"engine length 0xFFFFFFFF", Header(0xFFFFFFFF, 0) + "abc", "4294967295"},
        {"user options length 0xFFFFFFFF", Header(1, 0xFFFFFFFF) + "abc", "4294967295"},
        {"lengths that wrap in 32 bits", Header(0xFFFFFFF8, 0), "4294967288"},
        {"trailing bytes", Header(2, 1) + "abc" + "\r\n", "2 bytes more"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        EXPECT_FALSE(DecodeBackup(c.bytes, why));
        EXPECT_TRUE(Contains(why, c.reason)) << why;
    }
}

TEST(BackupNames, OnlyANameWithoutExtensionGetsVibAndOnlyVibLoads) {
    EXPECT_EQ(BackupTargetName("/saves/backup"), fs::path("/saves/backup.vib"));
    EXPECT_EQ(BackupTargetName("/saves/backup.txt"), fs::path("/saves/backup.txt"));
    EXPECT_EQ(BackupTargetName("/saves/backup.vib"), fs::path("/saves/backup.vib"));
    EXPECT_EQ(BackupTargetName("/saves/BACKUP.VIB"), fs::path("/saves/BACKUP.VIB"));
    EXPECT_EQ(BackupTargetName("/saves.d/backup"), fs::path("/saves.d/backup.vib"));
    EXPECT_EQ(BackupTargetName("/saves/backup."), fs::path("/saves/backup.vib"));
    EXPECT_EQ(BackupTargetName("backup"), fs::path("backup.vib"));

    EXPECT_TRUE(HasBackupExtension("/saves/backup.vib"));
    EXPECT_TRUE(HasBackupExtension("/saves/old.backup.vib"));
    EXPECT_FALSE(HasBackupExtension("/saves/BACKUP.VIB"));
    EXPECT_FALSE(HasBackupExtension("/saves/backup.Vib"));
    EXPECT_FALSE(HasBackupExtension("/saves/backup.vib.txt"));
    EXPECT_FALSE(HasBackupExtension("/saves/backup.vibe"));
    EXPECT_FALSE(HasBackupExtension("/saves.vib/backup"));
    EXPECT_FALSE(HasBackupExtension("/saves/vib"));

    const FileDialogRequest request = BackupDialogRequest();
    EXPECT_EQ(request.filterDescription, "Veskaran III Ini BackUp (*.vib)");
    EXPECT_EQ(request.filterPattern, "*.vib");
    EXPECT_EQ(request.initialName, "");
}

class BackupActions : public ::testing::Test {
protected:
    BackupActions() {
        paths = test::InstallationUnder(dir.path());
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

    TempDir dir;
    InstallationPaths paths;
    fs::path saves = dir / "saves";
};

TEST_F(BackupActions, CreateWritesTheTwoFilesInTheBackupFormat) {
    const std::string engine = std::string(1198, 'e') + "\r\n";
    const std::string userOptions = std::string(298, 'u') + "\r\n";
    WriteFile(paths.engineConfig, engine);
    WriteFile(paths.userOptions, userOptions);

    FakePrompter prompter;
    Create(saves / "backup", prompter);
    const std::string backup = ReadFile(saves / "backup.vib");
    ASSERT_EQ(backup.size(), 1508u);
    EXPECT_EQ(backup, std::string("\xB0\x04\x00\x00\x2C\x01\x00\x00", 8) + engine + userOptions);
    EXPECT_TRUE(prompter.messages().empty());
    ASSERT_EQ(prompter.dialogs().size(), 1u);
    EXPECT_EQ(prompter.dialogs()[0].kind, FakePrompter::DialogKind::Save);
    EXPECT_EQ(prompter.dialogs()[0].request.filterDescription, "Veskaran III Ini BackUp (*.vib)");
    EXPECT_EQ(prompter.dialogs()[0].request.filterPattern, "*.vib");
    EXPECT_EQ(FileNamesIn(saves), std::set<std::string>{"backup.vib"});
}

TEST_F(BackupActions, CreateThenLoadGivesBackBothFilesByteForByte) {
    FakePrompter creating;
    Create(saves / "backup.vib", creating);
    EXPECT_TRUE(creating.messages().empty());

    WriteFile(paths.engineConfig,
              "[Engine.Setup]\r\nTextureQuality=1\r\nand much more besides\r\n");
    WriteFile(paths.userOptions, "");

    FakePrompter loading;
    EXPECT_TRUE(Load(saves / "backup.vib", loading));
    ExpectConfigurationUnchanged();
    EXPECT_EQ(loading.questions(), std::vector<std::string>{std::string(kLoadQuestion)});
    EXPECT_TRUE(loading.errors().empty());
    EXPECT_TRUE(loading.notices().empty());
    ASSERT_EQ(loading.dialogs().size(), 1u);
    EXPECT_EQ(loading.dialogs()[0].kind, FakePrompter::DialogKind::Open);
    EXPECT_EQ(loading.dialogs()[0].request.filterPattern, "*.vib");
    EXPECT_EQ(ReadFile(paths.debugConfig), "");  // not part of a backup
}

TEST_F(BackupActions, AnEmptyUserOptionsFileIsStoredAndLoadedAsEmpty) {
    WriteFile(paths.userOptions, "");
    FakePrompter creating;
    Create(saves / "empty", creating);
    EXPECT_EQ(ReadFile(saves / "empty.vib"),
              Header(kEngineIni.size(), 0) + std::string(kEngineIni));

    WriteFile(paths.userOptions, kUserOptionsIni);
    FakePrompter loading;
    EXPECT_TRUE(Load(saves / "empty.vib", loading));
    EXPECT_TRUE(fs::exists(paths.userOptions));
    EXPECT_EQ(fs::file_size(paths.userOptions), 0u);
    EXPECT_EQ(ReadFile(paths.engineConfig), kEngineIni);
}

TEST_F(BackupActions, ExtensionRulesDecideWhatIsWrittenAndWhatLoads) {
    FakePrompter creating;
    Create(saves / "backup.txt", creating);
    Create(saves / "backup", creating);
    EXPECT_EQ(FileNamesIn(saves), (std::set<std::string>{"backup.txt", "backup.vib"}));
    EXPECT_EQ(ReadFile(saves / "backup.txt"), ReadFile(saves / "backup.vib"));
    fs::copy_file(saves / "backup.vib", saves / "BACKUP.VIB");

    // "backup" again: the ".vib" file it means exists, so the user is asked first.
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

    WriteFile(paths.engineConfig, "changed");
    for (const char* refused : {"backup.txt", "BACKUP.VIB"}) {
        SCOPED_TRACE(refused);
        FakePrompter loading;
        EXPECT_FALSE(Load(saves / refused, loading));
        EXPECT_EQ(loading.notices(), std::vector<std::string>{"invalid file!"});
        EXPECT_TRUE(loading.errors().empty());
        EXPECT_EQ(ReadFile(paths.engineConfig), "changed");
    }
    FakePrompter loading;
    EXPECT_TRUE(Load(saves / "backup.vib", loading));
    EXPECT_EQ(ReadFile(paths.engineConfig), kEngineIni);
}

TEST_F(BackupActions, NoOrCancelEndsWithNothingWritten) {
    FakePrompter declined;
    declined.AnswerNo();  // no file dialog may follow: the fake fails on one
    EXPECT_FALSE(LoadBackup(declined, paths));
    EXPECT_TRUE(declined.dialogs().empty());

    FakePrompter cancelledLoad;
    cancelledLoad.AnswerYes().CancelFileDialog();
    EXPECT_FALSE(LoadBackup(cancelledLoad, paths));

    FakePrompter cancelledCreate;
    cancelledCreate.CancelFileDialog();
    CreateBackup(cancelledCreate, paths);

    for (const FakePrompter* prompter : {&declined, &cancelledLoad, &cancelledCreate}) {
        EXPECT_TRUE(prompter->errors().empty());
        EXPECT_TRUE(prompter->notices().empty());
    }
    EXPECT_TRUE(FileNamesIn(saves).empty());
    ExpectConfigurationUnchanged();
}

TEST_F(BackupActions, LoadRefusesABadBackupAndChangesNeitherFile) {
    const std::string good = EncodeBackup("[Engine.Setup]\r\n", "[Options.Custom]\r\n");
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"header cut short", good.substr(0, 5), "too short"},
        {"image cut short", good.substr(0, good.size() - 1), "cut short"},
        {"engine length 0xFFFFFFFF", Header(0xFFFFFFFF, 0) + good.substr(8), "4294967295"},
        {"user options length 0xFFFFFFFF", Header(16, 0xFFFFFFFF) + good.substr(8), "4294967295"},
        {"trailing bytes", good + "\r\n\r\n", "4 bytes more"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(saves / "bad.vib", c.bytes);
        FakePrompter prompter;
        EXPECT_FALSE(Load(saves / "bad.vib", prompter));
        ASSERT_EQ(prompter.errors().size(), 1u);
        EXPECT_TRUE(Contains(prompter.errors()[0], "bad.vib")) << prompter.errors()[0];
        EXPECT_TRUE(Contains(prompter.errors()[0], c.reason)) << prompter.errors()[0];
        ExpectConfigurationUnchanged();
    }

    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* reason;
    } unreadable[] = {
        {"missing", [](const fs::path&) {}, "does not exist"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "folder"},
        {"far too large, never read",
         [&good](const fs::path& p) {
             WriteFile(p, good);
             fs::resize_file(p, kMaxBackupFileBytes + 1);  // sparse: costs no disk
         },
         "too large"},
    };
    for (const auto& c : unreadable) {
        SCOPED_TRACE(c.name);
        const fs::path backup = saves / (std::string(c.name) + ".vib");
        c.make(backup);
        FakePrompter prompter;
        EXPECT_FALSE(Load(backup, prompter));
        ASSERT_EQ(prompter.errors().size(), 1u);
        EXPECT_TRUE(Contains(prompter.errors()[0], backup.filename().string()))
            << prompter.errors()[0];
        EXPECT_TRUE(Contains(prompter.errors()[0], c.reason)) << prompter.errors()[0];
        ExpectConfigurationUnchanged();
    }
}

TEST_F(BackupActions, LoadWritesNeitherFileWhenOneCannotBeReplaced) {
    WriteFile(saves / "good.vib", EncodeBackup("new engine", "new options"));

    // Read-only user options: the engine file, replaced first in the past, must stay old too.
    MakeReadOnly(paths.userOptions);
    FakePrompter readOnly;
    EXPECT_FALSE(Load(saves / "good.vib", readOnly));
    ASSERT_EQ(readOnly.errors().size(), 1u);
    EXPECT_TRUE(Contains(readOnly.errors()[0], "UserOptions.ini")) << readOnly.errors()[0];
    EXPECT_TRUE(Contains(readOnly.errors()[0], "read-only")) << readOnly.errors()[0];
    ExpectConfigurationUnchanged();
    fs::permissions(paths.userOptions, fs::perms::owner_write, fs::perm_options::add);

    // A folder where the engine configuration file should be.
    fs::rename(paths.engineConfig, dir / "kept.ini");
    fs::create_directory(paths.engineConfig);
    FakePrompter folder;
    EXPECT_FALSE(Load(saves / "good.vib", folder));
    ASSERT_EQ(folder.errors().size(), 1u);
    EXPECT_TRUE(Contains(folder.errors()[0], "vkmain.ini")) << folder.errors()[0];
    EXPECT_TRUE(Contains(folder.errors()[0], "folder")) << folder.errors()[0];
    EXPECT_TRUE(fs::is_directory(paths.engineConfig));
    EXPECT_EQ(ReadFile(paths.userOptions), kUserOptionsIni);
    fs::remove(paths.engineConfig);
    fs::rename(dir / "kept.ini", paths.engineConfig);

    // The user options folder is gone: it is not created, the engine file stays old.
    fs::remove_all(dir / "docs/veskaran3");
    FakePrompter missingFolder;
    EXPECT_FALSE(Load(saves / "good.vib", missingFolder));
    ASSERT_EQ(missingFolder.errors().size(), 1u);
    EXPECT_TRUE(Contains(missingFolder.errors()[0], "UserOptions.ini"))
        << missingFolder.errors()[0];
    EXPECT_FALSE(fs::exists(dir / "docs/veskaran3"));
    EXPECT_EQ(ReadFile(paths.engineConfig), kEngineIni);
    EXPECT_EQ(FileNamesIn(dir / "game/Ini"), std::set<std::string>{"vkmain.ini"});
}

TEST_F(BackupActions, CreateLeavesNoBackupBehindWhenItCannotReadOrWrite) {
    const std::string earlier = "an earlier backup";
    WriteFile(saves / "old.vib", earlier);

    // A missing configuration file: named in the message; no new, empty or partial backup.
    for (const fs::path* missing : {&paths.engineConfig, &paths.userOptions}) {
        const std::string bytes = ReadFile(*missing);
        fs::remove(*missing);
        for (const char* target : {"new", "old.vib"}) {
            SCOPED_TRACE(missing->filename().string() + " missing, target " + target);
            FakePrompter prompter;
            Create(saves / target, prompter);
            ASSERT_EQ(prompter.errors().size(), 1u);
            EXPECT_TRUE(Contains(prompter.errors()[0], missing->filename().string()))
                << prompter.errors()[0];
            EXPECT_TRUE(Contains(prompter.errors()[0], "does not exist")) << prompter.errors()[0];
        }
        WriteFile(*missing, bytes);
    }
    EXPECT_EQ(FileNamesIn(saves), std::set<std::string>{"old.vib"});
    EXPECT_EQ(ReadFile(saves / "old.vib"), earlier);

    // A configuration file that is a folder cannot be read either.
    fs::remove(paths.userOptions);
    fs::create_directory(paths.userOptions);
    FakePrompter folder;
    Create(saves / "old.vib", folder);
    ASSERT_EQ(folder.errors().size(), 1u);
    EXPECT_TRUE(Contains(folder.errors()[0], "folder")) << folder.errors()[0];
    EXPECT_EQ(ReadFile(saves / "old.vib"), earlier);
    fs::remove(paths.userOptions);
    WriteFile(paths.userOptions, kUserOptionsIni);

    // A read-only target stays as it was.
    MakeReadOnly(saves / "old.vib");
    FakePrompter readOnly;
    Create(saves / "old.vib", readOnly);
    ASSERT_EQ(readOnly.errors().size(), 1u);
    EXPECT_TRUE(Contains(readOnly.errors()[0], "old.vib")) << readOnly.errors()[0];
    EXPECT_TRUE(Contains(readOnly.errors()[0], "read-only")) << readOnly.errors()[0];
    EXPECT_EQ(ReadFile(saves / "old.vib"), earlier);

    // Saving the backup over a configuration file it holds would destroy that file.
    for (const fs::path* config : {&paths.engineConfig, &paths.userOptions}) {
        FakePrompter overConfig;
        Create(*config, overConfig);
        ASSERT_EQ(overConfig.errors().size(), 1u);
        EXPECT_TRUE(Contains(overConfig.errors()[0], config->filename().string()));
    }
    ExpectConfigurationUnchanged();
    EXPECT_EQ(FileNamesIn(saves), std::set<std::string>{"old.vib"});
}

}  // namespace
}  // namespace vk3

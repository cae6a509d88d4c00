#include "profile/profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vk3 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Windows' conversions of a "%u" and "%d" look at the same 32 bits.
std::int32_t Signed(std::uint32_t bits) {
    return static_cast<std::int32_t>(bits);
}

std::string Utf16(std::string_view ascii) {
    std::string units = "\xFF\xFE";
    for (const char c : ascii) {
        units += c;
        units += '\0';
    }
    return units;
}

class ProfileStoreTest : public ::testing::Test {
protected:
    fs::path Ini(std::string_view bytes) {
        WriteFile(file_, bytes);
        return file_;
    }
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view defaultText = "default",
                     std::size_t bufferSize = kProfileBufferSize) {
        return ReadProfileString(file_, section, key, defaultText, bufferSize);
    }
    // Writes one key and gives the file's bytes afterwards.
    std::string Write(std::string_view section, std::string_view key, std::string_view value) {
        const FileStatus status = WriteProfileString(file_, section, key, value);
        EXPECT_TRUE(status.ok()) << status.Message("could not write");
        return ReadFile(file_);
    }

    TempDir dir_;
    fs::path file_ = dir_ / "vkmain.ini";
};

TEST_F(ProfileStoreTest, CasesThatDistinguishACorrectStore) {
    Ini("[s]\r\nk=v");
    EXPECT_EQ(Read("S", "K"), "v");

    Ini("[section1]\r\nname1=val1");
    EXPECT_EQ(Read("section1", "name1", "", 4), "val");

    Ini("[s]\r\nk=\"val2\"\r\n");
    EXPECT_EQ(Read("s", "k"), "val2");

    Ini("[s]\r\n  key  =  a b  \t\r\n");
    EXPECT_EQ(Read("s", "key"), "a b");

    Ini("[s]\r\nk=\r\n");
    EXPECT_EQ(Read("s", "k", "d"), "");

    Ini("[s]\r\nk=1\r\nk=2");
    EXPECT_EQ(Write("s", "k", "3"), "[s]\r\nk=3\r\nk=2");

    Ini("[S]\r\nKey=1");
    EXPECT_EQ(Write("s", "KEY", "2"), "[S]\r\nKey=2\r\n");

    Ini("; c\r\n[s]\r\n\r\nk = 1\r\n\r\n[t]");
    EXPECT_EQ(Write("s", "k", "2"), "; c\r\n[s]\r\n\r\nk=2\r\n\r\n[t]");

    fs::remove(file_);
    EXPECT_EQ(Write("App", "key", "string"), "[App]\r\nkey=string\r\n");

    Ini("[a]\r\nx=1");
    EXPECT_EQ(Write("b", "y", "2"), "[a]\r\nx=1\r\n[b]\r\ny=2\r\n");

    Ini("[a]\r\nx=1\r\n[A]\r\ny=2");
    EXPECT_EQ(Read("a", "y"), "default");
}

TEST_F(ProfileStoreTest, LinesEndAtCrLfLfOrCrAndAreTrimmed) {
    Ini("[crlf]\r\na=1\r\n[lf]\nb=2\n[cr]\rc=3\r[mixed]\r\nd=4\ne=5\rf=6");
    EXPECT_EQ(Read("crlf", "a"), "1");
    EXPECT_EQ(Read("lf", "b"), "2");
    EXPECT_EQ(Read("cr", "c"), "3");
    EXPECT_EQ(Read("mixed", "d"), "4");
    EXPECT_EQ(Read("mixed", "e"), "5");
    EXPECT_EQ(Read("mixed", "f"), "6");

    // Tab, VT, FF and Ctrl-Z are blanks at both ends of a line and around names.
    Ini("\t[ section1 ]  trailing text\r\n\v\f key \t= \x1A value with = inside \x1A\t\r\n");
    EXPECT_EQ(Read("section1", "key"), "value with = inside");
    EXPECT_EQ(Read(" SECTION1 ", " KEY "), "value with = inside");
    EXPECT_EQ(Read("section1 ]  trailing text", "key"), "default");

    // The name runs to the last "]"; without one the line is no header.
    Ini("[a]b]\r\nk=1\r\n[open\r\nm=2\r\n");
    EXPECT_EQ(Read("a]b", "k"), "1");
    EXPECT_EQ(Read("a]b", "m"), "2");
    EXPECT_EQ(Read("open", "m"), "default");
}

TEST_F(ProfileStoreTest, EntriesCommentsAndOddLines) {
    Ini("orphan=0\r\n"
        "[Engine.Setup]\r\n"
        "; Comment=1\r\n"
        ";k=hidden\r\n"
        "#k2=hash\r\n"
        "just text\r\n"
        "v=a ; not a comment\r\n"
        "Display.Width=1024\r\n"
        "empty=\r\n"
        "=nameless\r\n");
    EXPECT_EQ(Read("Engine.Setup", ";k"), "hidden");
    EXPECT_EQ(Read("Engine.Setup", "#k2"), "hash");
    EXPECT_EQ(Read("Engine.Setup", "just text"), "default");
    EXPECT_EQ(Read("Engine.Setup", "v"), "a ; not a comment");
    EXPECT_EQ(Read("engine.setup", "DISPLAY.WIDTH"), "1024");
    EXPECT_EQ(Read("Engine.Setup", "empty"), "");
    EXPECT_EQ(Read("Engine", "Display.Width"), "default");
    EXPECT_EQ(Read("Engine.Setup", "orphan"), "default");
    EXPECT_EQ(Read("Engine.Setup", "Display"), "default");
}

TEST_F(ProfileStoreTest, DuplicatesFirstWins) {
    Ini("[a]\r\nk=first\r\nK=second\r\n[b]\r\nk=b\r\n[A]\r\nk=third\r\nonly=later\r\n");
    EXPECT_EQ(Read("A", "k"), "first");
    EXPECT_EQ(Read("a", "only"), "default");
    // A key only the later duplicate holds goes into the first section.
    EXPECT_EQ(Write("a", "only", "new"),
              "[a]\r\nk=first\r\nK=second\r\nonly=new\r\n[b]\r\nk=b\r\n[A]\r\nk=third\r\n"
              "only=later\r\n");
    EXPECT_EQ(Write("A", "K", "changed"),
              "[a]\r\nk=changed\r\nK=second\r\nonly=new\r\n[b]\r\nk=b\r\n[A]\r\nk=third\r\n"
              "only=later\r\n");
}

TEST_F(ProfileStoreTest, QuotesAndDefaults) {
    Ini("[q]\r\n"
        "inner=\"  q  \"\r\n"
        "single='x'\r\n"
        "mixed=\"x'\r\n"
        "lone=\"\r\n"
        "pair=\"\"\r\n"
        "open=\"abc\r\n"
        "twice=\"\"x\"\"\r\n");
    EXPECT_EQ(Read("q", "inner"), "  q  ");
    EXPECT_EQ(Read("q", "single"), "x");
    EXPECT_EQ(Read("q", "mixed"), "\"x'");
    EXPECT_EQ(Read("q", "lone"), "\"");
    EXPECT_EQ(Read("q", "pair", "d"), "");
    EXPECT_EQ(Read("q", "open"), "\"abc");
    EXPECT_EQ(Read("q", "twice"), "\"x\"");

    EXPECT_EQ(Read("q", "absent", "  med  "), "  med");
    EXPECT_EQ(Read("absent", "inner", "high \t "), "high \t");
    fs::remove(file_);
    EXPECT_EQ(Read("q", "inner", "1024 "), "1024");
    EXPECT_EQ(ReadProfileString(dir_ / "no folder" / "x.ini", "q", "inner", "d"), "d");
    EXPECT_EQ(ReadProfileString(dir_.path(), "q", "inner", "a folder"), "a folder");
}

TEST_F(ProfileStoreTest, LongValuesAreCutToTheBuffer) {
    const std::string value300 = std::string(250, 'a') + std::string(50, 'b');
    Ini("[s]\r\nlong=" + value300 + "\r\nquoted=\"" + value300 + "\"\r\n");
    EXPECT_EQ(Read("s", "long"), value300.substr(0, 255));
    EXPECT_EQ(Read("s", "quoted"), value300.substr(0, 255));
    EXPECT_EQ(Read("s", "long", "", 4), "aaa");
    EXPECT_EQ(Read("s", "long", "", 1), "");
    EXPECT_EQ(Read("s", "absent", "defaultText", 4), "def");
}

TEST_F(ProfileStoreTest, IntegersWrapAt32Bits) {
    Ini("[n]\r\n"
        "minus=-1\r\n"
        "wrap=4294967297\r\n"
        "big=99999999999\r\n"
        "three=3000000000\r\n"
        "letter=42A94967297\r\n"
        "real=12.5\r\n"
        "lead=B42\r\n"
        "blanks=   +7x\r\n"
        "farClip=3500.0\r\n"
        "negative=-300.0\r\n"
        "quoted=\"64\"\r\n"
        "empty=\r\n"
        "signs=+-5\r\n");
    auto readInt = [&](std::string_view key) { return ReadProfileInt(file_, "n", key, 77); };
    EXPECT_EQ(readInt("minus"), 4294967295u);
    EXPECT_EQ(Signed(readInt("minus")), -1);
    EXPECT_EQ(readInt("wrap"), 1u);
    EXPECT_EQ(readInt("big"), 1215752191u);
    EXPECT_EQ(readInt("three"), 3000000000u);
    EXPECT_EQ(Signed(readInt("three")), -1294967296);
    EXPECT_EQ(readInt("letter"), 42u);
    EXPECT_EQ(readInt("real"), 12u);
    EXPECT_EQ(readInt("lead"), 0u);
    EXPECT_EQ(readInt("blanks"), 7u);
    EXPECT_EQ(readInt("farClip"), 3500u);
    EXPECT_EQ(Signed(readInt("negative")), -300);
    EXPECT_EQ(readInt("quoted"), 64u);
    EXPECT_EQ(readInt("empty"), 0u);
    EXPECT_EQ(readInt("signs"), 0u);
    EXPECT_EQ(readInt("absent"), 77u);
    EXPECT_EQ(Signed(ReadProfileInt(file_, "none", "x", -5)), -5);
    EXPECT_EQ(ReadProfileInt(dir_ / "missing.ini", "n", "minus", 9), 9u);
}

TEST_F(ProfileStoreTest, ChangingAnEntryLeavesEveryOtherByte) {
    // Text before the first section, indentation, LF and CR lines, odd lines, NUL bytes and
    // a missing final line end all survive.
    using namespace std::string_literals;
    const std::string before =
        "preface without section\n"
        "[Engine.Setup]\r\n"
        "  ; comment\r\n"
        "\tIndented.Key = 1 \t\r\n"
        "odd line\r"
        "Bin=\0\x01\xff\r\n"s
        "Last=x\n"
        "\r\n"
        "[Game]\n"
        "Tail=end";
    ASSERT_EQ(before[before.find("Bin=") + 4], '\0');
    Ini(before);
    std::string expected = before;
    const std::string oldLine = "\tIndented.Key = 1 \t\r\n";
    expected.replace(expected.find(oldLine), oldLine.size(), "\tIndented.Key=2\r\n");
    EXPECT_EQ(Write("engine.setup", "indented.key", "2"), expected);

    // A changed line without a line end gets CR LF.
    expected.replace(expected.find("Tail=end"), 8, "Tail=new\r\n");
    EXPECT_EQ(Write("Game", "Tail", "new"), expected);

    // An LF line that changes ends with CR LF; a value written again changes nothing.
    expected.replace(expected.find("Last=x\n"), 7, "Last=y\r\n");
    EXPECT_EQ(Write("Engine.Setup", "Last", "y"), expected);
    EXPECT_EQ(Write("Engine.Setup", "Last", "y"), expected);
    Ini("[s]\nk=same\n");
    EXPECT_EQ(Write("s", "K", "same"), "[s]\nk=same\n");

    // An empty value is a present, empty key.
    Ini("[s]\r\nk=1\r\n");
    EXPECT_EQ(Write("s", "k", ""), "[s]\r\nk=\r\n");
    EXPECT_EQ(Read("s", "k"), "");
}

TEST_F(ProfileStoreTest, NewKeysGoAfterTheLastEntryOfTheirSection) {
    Ini("[a]\r\nx=1\r\ny=2\r\n\r\n; about b\r\n[b]\r\nz=3\r\n");
    EXPECT_EQ(Write("A", "new", "n"),
              "[a]\r\nx=1\r\ny=2\r\nnew=n\r\n\r\n; about b\r\n[b]\r\nz=3\r\n");

    Ini("[empty]\r\n; nothing here\r\n\r\n[b]\r\n");
    EXPECT_EQ(Write("empty", "k", "v"), "[empty]\r\nk=v\r\n; nothing here\r\n\r\n[b]\r\n");

    Ini("[last]");
    EXPECT_EQ(Write("last", "k", "v"), "[last]\r\nk=v\r\n");

    Ini("[a]\nx=1");
    EXPECT_EQ(Write("a", "y", "2"), "[a]\nx=1\r\ny=2\r\n");

    Ini("[a]\r\nx=1\r\n   \t");
    EXPECT_EQ(Write("b", "y", "2"), "[a]\r\nx=1\r\n   \t\r\n[b]\r\ny=2\r\n");

    Ini("");
    EXPECT_EQ(Write("App", "key", "string"), "[App]\r\nkey=string\r\n");

    // An entry written before any section is not in one.
    Ini("k=0\r\n");
    EXPECT_EQ(Write(" s ", " k ", "1"), "k=0\r\n[s]\r\nk=1\r\n");
}

TEST_F(ProfileStoreTest, BatchWriteAppliesAllWritesInOrder) {
    const std::string before =
        "; Veskaran 3\r\n"
        "[Engine.Setup]\r\n"
        "Display.Width=800\r\n"
        "Display.Height=600\r\n"
        "\r\n"
        "[Options.Custom]\r\n"
        "TextureQuality=1\r\n";
    Ini(before);
    const FileStatus status =
        WriteProfileStrings(file_, {
                                       {"Engine.Setup", "Display.Width", "1024"},
                                       {"Engine.Setup", "Display.Depth", "32"},
                                       {"Options.Custom", "TextureQuality", "3"},
                                       {"Options.Video", "Gamma", "1.0"},
                                       {"Options.Video", "Gamma", "1.2"},
                                       {"Engine.Setup", "display.height", "768"},
                                       {"Engine.Setup", "Display.Depth", "16"},
                                       {"Options.Video", "Fullscreen", "true"},
                                   });
    ASSERT_TRUE(status.ok()) << status.Message("could not write");
    EXPECT_EQ(ReadFile(file_),
              "; Veskaran 3\r\n"
              "[Engine.Setup]\r\n"
              "Display.Width=1024\r\n"
              "Display.Height=768\r\n"
              "Display.Depth=16\r\n"
              "\r\n"
              "[Options.Custom]\r\n"
              "TextureQuality=3\r\n"
              "[Options.Video]\r\n"
              "Gamma=1.2\r\n"
              "Fullscreen=true\r\n");

    ProfileReader reader(file_);
    EXPECT_EQ(reader.ReadString("Engine.Setup", "Display.Depth", ""), "16");
    EXPECT_EQ(reader.ReadInt("options.video", "fullscreen", 5), 0u);
    EXPECT_EQ(reader.ReadInt("Engine.Setup", "Display.Width", 5), 1024u);
    EXPECT_EQ(reader.ReadString("Options.Video", "Gamma", ""), "1.2");

    // An unchanged batch does not touch the file at all.
    const auto stamp = fs::last_write_time(file_);
    test::MakeReadOnly(file_);
    EXPECT_TRUE(WriteProfileStrings(file_, {{"Engine.Setup", "Display.Width", "1024"}}).ok());
    EXPECT_EQ(fs::last_write_time(file_), stamp);
}

TEST_F(ProfileStoreTest, Utf16FilesRoundTrip) {
    // "[Game]", "Name=Vėskaran 𝄞", "Player=1" with a lone surrogate on an untouched line.
    std::string before = Utf16("[Game]\r\nName=V");
    before += std::string("\x17\x01", 2);  // U+0117
    before += Utf16("skaran ").substr(2);
    before += std::string("\x34\xD8\x1E\xDD", 4);  // U+1D11E as a surrogate pair
    before += Utf16("\r\n;").substr(2);
    before += std::string("\x00\xDC", 2);  // unpaired low surrogate
    before += Utf16("\r\nPlayer=1\r\n").substr(2);
    Ini(before);
    // Callers see Windows-1252, as Windows' byte functions give it: characters the code
    // page lacks read as "?".
    EXPECT_EQ(Read("game", "name"), "V?skaran ?");
    EXPECT_EQ(ReadProfileInt(file_, "Game", "Player", 0), 1u);
    EXPECT_EQ(Read("game", "name", "", 9), "V?skaran");

    std::string expected = before;
    const std::string oldPlayer = Utf16("Player=1\r\n").substr(2);
    expected.replace(expected.find(oldPlayer), oldPlayer.size(), Utf16("Player=22\r\n").substr(2));
    expected += Utf16("[Options.Video]\r\nGamma=1.2\r\nCity=").substr(2);
    expected += std::string("\xE9\x00\xAC\x20", 4) + Utf16("\r\n").substr(2);  // U+00E9 U+20AC
    ASSERT_TRUE(WriteProfileStrings(file_, {{"Game", "Player", "22"},
                                            {"Options.Video", "Gamma", "1.2"},
                                            {"Options.Video", "City", "\xE9\x80"}})
                    .ok());
    EXPECT_EQ(ReadFile(file_), expected);
    EXPECT_EQ(Read("Options.Video", "City"), "\xE9\x80");

    // A UTF-8 mark is not recognised: it hides the header on the first line.
    Ini("\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n");
    EXPECT_EQ(Read("s", "k"), "default");
    EXPECT_EQ(Read("t", "k"), "w");
    EXPECT_EQ(Write("s", "k", "x"), "\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n[s]\r\nk=x\r\n");
}

TEST_F(ProfileStoreTest, FailedWritesLeaveTheFileAsItWas) {
    const std::string before = "[s]\r\nk=1\r\n; keep\r\n";
    Ini(before);

    // Read-only by its mode bits; this must hold even for root, who could write anyway.
    test::MakeReadOnly(file_);
    FileStatus status = WriteProfileStrings(file_, {{"s", "k", "2"}, {"t", "new", "3"}});
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.path, file_);
    EXPECT_NE(status.Message("could not write").find("vkmain.ini"), std::string::npos);
    EXPECT_NE(status.reason.find("read-only"), std::string::npos) << status.reason;
    EXPECT_EQ(ReadFile(file_), before);
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add);

    const fs::path inMissingFolder = dir_ / "veskaran3" / "UserOptions.ini";
    status = WriteProfileString(inMissingFolder, "Options.Custom", "TextureQuality", "3");
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.Message("could not write").find("UserOptions.ini"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "veskaran3"));

    status = WriteProfileString(dir_.path(), "s", "k", "2");
    EXPECT_FALSE(status.ok());

    // Names and values that would read back as something else are refused, the whole batch
    // with them.
    for (const ProfileWrite& bad : std::vector<ProfileWrite>{{"s", "k", "two\r\nlines"},
                                                             {"s", "a=b", "1"},
                                                             {"s", "[t]", "1"},
                                                             {"s\n", "k", "1"},
                                                             {"s", std::string("k\0", 2), "1"},
                                                             {"", "k", "1"},
                                                             {"s", "  ", "1"}}) {
        status = WriteProfileStrings(file_, {{"s", "k", "2"}, bad});
        EXPECT_FALSE(status.ok()) << bad.section << "/" << bad.key;
        EXPECT_EQ(status.path, file_);
        EXPECT_EQ(ReadFile(file_), before);
    }
}

TEST_F(ProfileStoreTest, ReaderAnswersFromOneReadOfTheFile) {
    Ini("[Engine.Setup]\r\nDisplay.Width=1024\r\n");
    ProfileReader reader(file_);
    WriteFile(file_, "[Engine.Setup]\r\nDisplay.Width=640\r\n");
    EXPECT_EQ(reader.ReadString("Engine.Setup", "Display.Width", ""), "1024");
    EXPECT_EQ(ProfileReader(file_).ReadString("Engine.Setup", "Display.Width", ""), "640");

    ProfileReader moved = std::move(reader);
    EXPECT_EQ(moved.ReadInt("Engine.Setup", "Display.Width", 0), 1024u);
}

}  // namespace
}  // namespace vk3

#include "profile/profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace vk3 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Utf16(std::string_view ascii) {
    std::string units;
    for (const char c : ascii) {
        units += c;
        units += '\0';
    }
    return units;
}

class ProfileStoreTest : public ::testing::Test {
protected:
    TempDir dir_;
    fs::path file_ = dir_ / "vkmain.ini";
};

TEST_F(ProfileStoreTest, ReadsAsWindowsDoes) {
    const std::string lineEnds = "[crlf]\r\na=1\r\n[lf]\nb=2\n[cr]\rc=3\r[end]\r\nd=4";
    const std::string blanks =
        "\t[ section1 ]  trailing text\r\n\v\f key \t= \x1A value with = inside \x1A\t\r\n";
    const std::string entries = "[e]\r\n;k=hidden\r\n#k2=hash\r\njust text\r\nv=a ; no comment\r\n";
    const std::string quotes =
        "[q]\r\ninner=\"  q  \"\r\nsingle='x'\r\nmixed=\"x'\r\nlone=\"\r\ntwice=\"\"x\"\"\r\n";
    const std::string value300 = std::string(250, 'a') + std::string(50, 'b');
    const std::string longValues = "[s]\r\nlong=" + value300 + "\r\nquoted=\"" + value300 + "\"";
    const std::string utf8Mark = "\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n";
    const struct {
        std::string file, section, key, expected;
        std::string defaultText = "default";
        std::size_t bufferSize = kProfileBufferSize;
    } cases[] = {
        // clang-format off
        {"[s]\r\nk=v", "S", "K", "v"},
        {"[section1]\r\nname1=val1", "section1", "name1", "val", "", 4},
        {"[s]\r\nk=\"val2\"\r\n", "s", "k", "val2"},
        {"[s]\r\n  key  =  a b  \t\r\n", "s", "key", "a b"},
        {"[s]\r\nk=\r\n", "s", "k", "", "d"},
        {"[a]\r\nx=1\r\n[A]\r\ny=2", "a", "y", "default"},  // only the first [a] is searched
        {"[a]\r\nk=first\r\nK=second\r\n[A]\r\nk=third", "A", "k", "first"},
        // Only ASCII letters match without regard to case, not their neighbours or others.
        {"[s]\r\nRender.MeshLoD@[`{\xC1Quality=5", "s", "render.meshlod@[`{\xC1QUALITY", "5"},
        {"[s]\r\nRender.MeshLoD@[`{\xC1Quality=5", "s", "render.meshlod`[`{\xC1quality", "default"},
        {"[s]\r\nRender.MeshLoD@[`{\xC1Quality=5", "s", "render.meshlod@{`{\xC1quality", "default"},
        {"[s]\r\nRender.MeshLoD@[`{\xC1Quality=5", "s", "render.meshlod@[`{\xE1quality", "default"},
        {lineEnds, "lf", "b", "2"}, {lineEnds, "cr", "c", "3"}, {lineEnds, "end", "d", "4"},
        {blanks, "section1", "key", "value with = inside"},
        {blanks, " SECTION1 ", " KEY ", "value with = inside"},
        // The name runs to the last "]"; without one the line is no header.
        {"[a]b]\r\nk=1\r\n[open\r\nm=2\r\n", "a]b", "k", "1"},
        {"[a]b]\r\nk=1\r\n[open\r\nm=2\r\n", "a]b", "m", "2"},
        {entries, "e", ";k", "hidden"}, {entries, "e", "#k2", "hash"},
        {entries, "e", "just text", "default"}, {entries, "e", "v", "a ; no comment"},
        {quotes, "q", "inner", "  q  "}, {quotes, "q", "single", "x"}, {quotes, "q", "lone", "\""},
        {quotes, "q", "mixed", "\"x'"}, {quotes, "q", "twice", "\"x\""},
        {quotes, "q", "absent", "  med  \t", "  med  \t  "},  // only trailing spaces go
        {longValues, "s", "long", value300.substr(0, 255)},
        {longValues, "s", "quoted", value300.substr(0, 255)},
        {longValues, "s", "long", "", "", 1},
        {longValues, "s", "absent", "def", "defaultText", 4},
        // Windows does not know a UTF-8 mark: it hides the header on the first line.
        {utf8Mark, "s", "k", "default"}, {utf8Mark, "t", "k", "w"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.file) + " " + c.section + "/" + c.key);
        WriteFile(file_, c.file);
        EXPECT_EQ(ReadProfileString(file_, c.section, c.key, c.defaultText, c.bufferSize),
                  c.expected);
    }
    EXPECT_EQ(ReadProfileString(dir_ / "no folder" / "x.ini", "q", "k", "1024 "), "1024");
    EXPECT_EQ(ReadProfileString(dir_.path(), "q", "k", "a folder"), "a folder");
}

// The number itself is read as the game's runtime reads it; here what the store adds.
TEST_F(ProfileStoreTest, IntegersAreReadWithinQuotesAndAsUnsigned) {
    WriteFile(file_, "[n]\r\nquoted=\"64\"\r\nminus=-300.0\r\n");
    EXPECT_EQ(ReadProfileInt(file_, "n", "quoted", 77), 64u);
    EXPECT_EQ(ReadProfileInt(file_, "n", "minus", 77), static_cast<std::uint32_t>(-300));
    EXPECT_EQ(ReadProfileInt(file_, "n", "absent", -5), static_cast<std::uint32_t>(-5));
    EXPECT_EQ(ReadProfileInt(dir_ / "missing.ini", "n", "v", 9), 9u);
}

TEST_F(ProfileStoreTest, WritesChangeOnlyTheLinesTheyAffect) {
    const struct {
        std::optional<std::string> before;  // none: no file
        std::vector<ProfileWrite> writes;
        std::string after;
    } cases[] = {
        // clang-format off
        {"[s]\r\nk=1\r\nk=2", {{"s", "k", "3"}}, "[s]\r\nk=3\r\nk=2"},
        {"[S]\r\nKey=1", {{"s", "KEY", "2"}}, "[S]\r\nKey=2\r\n"},
        {"; c\r\n[s]\r\n\r\nk = 1\r\n\r\n[t]", {{"s", "k", "2"}},
         "; c\r\n[s]\r\n\r\nk=2\r\n\r\n[t]"},
        {std::nullopt, {{"App", "key", "string"}}, "[App]\r\nkey=string\r\n"},
        {"", {{"App", "key", "string"}}, "[App]\r\nkey=string\r\n"},
        {"[a]\r\nx=1", {{"b", "y", "2"}}, "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        // A key only a later duplicate section holds goes into the first one.
        {"[a]\r\nx=1\r\n[A]\r\ny=2", {{"a", "y", "3"}}, "[a]\r\nx=1\r\ny=3\r\n[A]\r\ny=2"},
        {"[s]\nk=same\n", {{"s", "K", "same"}}, "[s]\nk=same\n"},
        {"[s]\r\nk=1\r\n", {{"s", "k", ""}}, "[s]\r\nk=\r\n"},
        // Text before the first section, indentation, odd lines and NUL bytes survive; changed
        // lines end with CR LF.
        {"pre\n[E]\r\n  ; c\r\n\tIn.Key = 1 \t\r\nodd\rBin=\0\x01\xff\r\nL=x\n\r\n[G]\nT=e"s,
         {{"e", "in.key", "2"}, {"G", "T", "new"}, {"E", "L", "y"}},
         "pre\n[E]\r\n  ; c\r\n\tIn.Key=2\r\nodd\rBin=\0\x01\xff\r\nL=y\r\n\r\n[G]\nT=new\r\n"s},
        // New keys go after the last entry of their section.
        {"[a]\r\nx=1\r\n\r\n; b\r\n[b]", {{"A", "n", "v"}}, "[a]\r\nx=1\r\nn=v\r\n\r\n; b\r\n[b]"},
        {"[e]\r\n; c\r\n\r\n[b]\r\n", {{"e", "k", "v"}}, "[e]\r\nk=v\r\n; c\r\n\r\n[b]\r\n"},
        {"[a]\nx=1", {{"a", "y", "2"}}, "[a]\nx=1\r\ny=2\r\n"},
        {"[a]\nx=1", {{"a", "x", "2"}, {"a", "y", "3"}}, "[a]\nx=2\r\ny=3\r\n"},
        {"[last]", {{"last", "k", "v"}}, "[last]\r\nk=v\r\n"},
        {"k=0\r\n", {{" s ", " k ", "1"}}, "k=0\r\n[s]\r\nk=1\r\n"},  // k=0 is in no section
        {"\xEF\xBB\xBF[s]\r\nk=v\r\n", {{"s", "k", "x"}},
         "\xEF\xBB\xBF[s]\r\nk=v\r\n[s]\r\nk=x\r\n"},
        // A batch applies its writes in order; the last write of a key wins.
        {"[E]\r\nW=800\r\nH=600\r\n\r\n[O]\r\nT=1\r\n",
         {{"E", "W", "1024"}, {"E", "D", "32"}, {"O", "T", "3"}, {"V", "G", "1.0"},
          {"V", "G", "1.2"}, {"E", "h", "768"}, {"E", "D", "16"}, {"V", "F", "true"}},
         "[E]\r\nW=1024\r\nH=768\r\nD=16\r\n\r\n[O]\r\nT=3\r\n[V]\r\nG=1.2\r\nF=true\r\n"},
        // Long unchanged stretches are written from the text read, around short changes.
        {"[s]\r\na=1\r\n" + std::string(100000, ';') + "\r\nb=1\r\n[t]" + std::string(70000, 'x'),
         {{"s", "a", "2"}, {"s", "b", "3"}, {"t", "c", "4"}},
         "[s]\r\na=2\r\n" + std::string(100000, ';') + "\r\nb=3\r\n[t]" +
             std::string(70000, 'x') + "\r\nc=4\r\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.before.value_or("no file").substr(0, 200)));
        fs::remove(file_);
        if (c.before) {
            WriteFile(file_, *c.before);
        }
        const FileStatus status = WriteProfileStrings(file_, c.writes);
        EXPECT_TRUE(status.ok()) << status.Message("could not write");
        EXPECT_EQ(ReadFile(file_), c.after);
    }
}

// A save starts from the file as it is now: a change another program made since the dialog
// read it is kept. One made while the save writes makes it write nothing and say so.
TEST_F(ProfileStoreTest, SavesKeepWhatAnotherProgramWroteMeanwhile) {
    const std::string read = "[s]\r\nk=1\r\nm=2\r\n";
    const struct {
        std::optional<std::string> between;  // none: the file was removed
        std::string value, after;
        bool changedWhileSaving = false;
    } cases[] = {
        // clang-format off
        {read, "9", "[s]\r\nk=9\r\nm=2\r\n"},
        {"[s]\r\nk=1\r\nm=3\r\n", "9", "[s]\r\nk=9\r\nm=3\r\n"},  // same size
        {"[s]\r\nk=1\r\n", "9", "[s]\r\nk=9\r\n"},
        {"[t]\r\nk=1\r\n[s]\r\nm=2\r\n", "9", "[t]\r\nk=1\r\n[s]\r\nm=2\r\nk=9\r\n"},
        {std::nullopt, "9", "[s]\r\nk=9\r\n"},
        {"\xFF\xFE" + Utf16("[s]\r\nk=1\r\n"), "9", "\xFF\xFE" + Utf16("[s]\r\nk=9\r\n")},
        // What was read held the value already; the file no longer does.
        {"[s]\r\nk=5\r\nm=2\r\n", "1", "[s]\r\nk=1\r\nm=2\r\n"},
        {"[s]\r\nk=1\r\nm=3\r\n", "9", "[s]\r\nk=1\r\nm=3\r\n;", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        WriteFile(file_, read);
        {
            ProfileReader reader(file_);
            ASSERT_EQ(reader.ReadString("s", "k", ""), "1");
        }
        fs::remove(file_);
        if (c.between) {
            WriteFile(file_, *c.between);
        }
        SetReplacementGuard([&](const fs::path&) {
            if (c.changedWhileSaving) {  // another program replaces it, as editors do
                WriteFile(dir_ / "other", c.after);
                fs::rename(dir_ / "other", file_);
            }
            return FileStatus::Success();
        });
        const FileStatus status = WriteProfileString(file_, "s", "k", c.value);
        SetReplacementGuard(nullptr);
        EXPECT_EQ(status.problem,
                  c.changedWhileSaving ? FileProblem::ChangedMeanwhile : FileProblem::None);
        EXPECT_EQ(ReadFile(file_), c.after);
    }
}

TEST_F(ProfileStoreTest, Utf16FilesRoundTrip) {
    // "[Game]", "Name=Vėskaran 𝄞", "Player=1" with a lone surrogate on an untouched line.
    const std::string before = "\xFF\xFE" + Utf16("[Game]\r\nName=V") + "\x17\x01"s +
                               Utf16("skaran ") + "\x34\xD8\x1E\xDD" + Utf16("\r\n;") +
                               "\x00\xDC"s + Utf16("\r\nPlayer=1\r\n");
    WriteFile(file_, before);
    // Callers see Windows-1252, as Windows' byte functions give it: characters the code
    // page lacks read as "?".
    EXPECT_EQ(ReadProfileString(file_, "game", "name", ""), "V?skaran ?");
    EXPECT_EQ(ReadProfileString(file_, "game", "name", "", 9), "V?skaran");
    EXPECT_EQ(ReadProfileInt(file_, "Game", "Player", 0), 1u);

    ASSERT_TRUE(
        WriteProfileStrings(file_, {{"Game", "Player", "22"}, {"V", "City", "\xE9\x80"}}).ok());
    const std::string expected = before.substr(0, before.size() - Utf16("1\r\n").size()) +
                                 Utf16("22\r\n[V]\r\nCity=") + "\xE9\x00\xAC\x20"s +
                                 Utf16("\r\n");  // U+00E9 U+20AC
    EXPECT_EQ(ReadFile(file_), expected);
    EXPECT_EQ(ReadProfileString(file_, "V", "City", ""), "\xE9\x80");
}

TEST_F(ProfileStoreTest, FailedWritesLeaveTheFileAsItWas) {
    const std::string before = "[s]\r\nk=1\r\n; keep\r\n";
    WriteFile(file_, before);

    // Read-only by its mode bits; this must hold even for root, who could write anyway.
    test::MakeReadOnly(file_);
    FileStatus status = WriteProfileStrings(file_, {{"s", "k", "2"}, {"t", "new", "3"}});
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.Message("could not write").find("vkmain.ini"), std::string::npos);
    EXPECT_NE(status.reason.find("read-only"), std::string::npos) << status.reason;
    EXPECT_EQ(ReadFile(file_), before);
    // A batch that changes nothing does not touch the file, so it succeeds.
    EXPECT_TRUE(WriteProfileStrings(file_, {{"S", "K", "1"}}).ok());
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add);

    status = WriteProfileString(dir_ / "veskaran3" / "UserOptions.ini", "s", "k", "3");
    EXPECT_NE(status.Message("could not write").find("UserOptions.ini"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "veskaran3"));

    // Names and values that would read back as something else are refused, the whole batch
    // with them.
    const ProfileWrite badWrites[] = {
        {"s", "k", "two\r\nlines"}, {"s", "a=b", "1"}, {"s", "[t]", "1"}, {"s\n", "k", "1"},
        {"s", "k\0"s, "1"},         {"", "k", "1"},    {"s", "  ", "1"}};
    for (const ProfileWrite& bad : badWrites) {
        status = WriteProfileStrings(file_, {{"s", "k", "2"}, bad});
        EXPECT_FALSE(status.ok()) << bad.section << "/" << bad.key;
        EXPECT_EQ(status.path, file_);
        EXPECT_EQ(ReadFile(file_), before);
    }
}

}  // namespace
}  // namespace vk3

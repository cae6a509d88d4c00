// Random INI texts, made from the pieces that trip parsers up (CR-only and LF-only line
// ends, NUL bytes, brackets, blanks, duplicate names in other case, missing final line
// end), must survive the store unchanged but for the lines a write touches.

#include "profile/ini_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vk3 {
namespace {

std::string RandomIni(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "[s]",    "[S]",     "[ t ]",    "[u",   "k=1",  "K = 2", "k",   "=v",
        " ; c=1", "x=\"q\"", "  ",       "\t",   "\x1A", "[s]x",  "y==", "z=a b",
        "[]",     "#k=3",    "k=v\x00w", "\xFF", "]",    "s=[t]"};
    static const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\r\r\n", ""};
    std::string text;
    const int lines = static_cast<int>(random() % 12);
    for (int i = 0; i < lines; ++i) {
        const std::string& piece = pieces[random() % pieces.size()];
        text += piece == "k=v\x00w" ? std::string("k=v\0w", 5) : piece;
        text += ends[random() % ends.size()];
    }
    return text;
}

TEST(IniDocumentProperty, UntouchedTextStaysAndWrittenKeysReadBack) {
    std::mt19937 random(20261206);
    const std::vector<std::string> sections = {"s", "S", "t", "new"};
    const std::vector<std::string> keys = {"k", "K", "x", "fresh"};
    for (int round = 0; round < 3000; ++round) {
        const std::string original = RandomIni(random);
        SCOPED_TRACE(::testing::PrintToString(original));
        const IniDocument before(original);
        EXPECT_EQ(before.Serialize(), original);
        IniDocument document(original);
        const std::string& section = sections[random() % sections.size()];
        const std::string& key = keys[random() % keys.size()];
        const std::string value = "v" + std::to_string(round);
        document.Set(section, key, value);
        const std::string written = document.Serialize();

        // The write reads back, from the text as written.
        IniDocument reread(written);
        const auto found = reread.Find(section, key);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(*found, value);
        // Nothing was lost: every other name still reads as before.
        for (const std::string& otherSection : sections) {
            for (const std::string& otherKey : keys) {
                if (IniDocument::SameName(otherSection, section) &&
                    IniDocument::SameName(otherKey, key)) {
                    continue;
                }
                EXPECT_EQ(reread.Find(otherSection, otherKey), before.Find(otherSection, otherKey))
                    << otherSection << "/" << otherKey;
            }
        }
        // Writing the same value again changes nothing more.
        IniDocument again(written);
        again.Set(section, key, value);
        EXPECT_FALSE(again.changed());
    }
}

}  // namespace
}  // namespace vk3

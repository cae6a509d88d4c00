#include "platform/number_field.h"

#include <QValidator>

#include <gtest/gtest.h>

namespace vk3 {
namespace {

// A field takes every beginning of a number of its kind, and nothing else.
TEST(NumberField, TakesWhatItsKindOfNumberCanBeginWith) {
    using enum NumberInput;
    const struct {
        NumberInput kind;
        std::vector<const char*> taken, refused;
    } cases[] = {
        {Digits, {"", "0", "4294967295"}, {" 1", "-1", "+1", "1.5", "1a"}},
        {SignedInteger, {"", "-", " \t-12 ", "+7", "12 "}, {"1-2", "--1", "1 2", "1.5", "x"}},
        {UnsignedInteger, {"", "+", " +12\t"}, {"-1", "1+", "1.0", "1e3"}},
        {Decimal,
         {"", "-", ".", "-.5", "3500.", " 1.5e", "1.5E-", "2.5e+10 ", "+0.25"},
         {"1..5", "1e5.0", "1e--3", "1,5", "e5x", "1 2", "1.5e3e"}},
    };
    for (const auto& c : cases) {
        const NumberField field(nullptr, c.kind);
        const auto takes = [&](const char* text) {
            QString input = QString::fromLatin1(text);
            int position = 0;
            return field.validator()->validate(input, position) == QValidator::Acceptable;
        };
        for (const char* text : c.taken) {
            EXPECT_TRUE(takes(text)) << static_cast<int>(c.kind) << " \"" << text << "\"";
        }
        for (const char* text : c.refused) {
            EXPECT_FALSE(takes(text)) << static_cast<int>(c.kind) << " \"" << text << "\"";
        }
    }
}

}  // namespace
}  // namespace vk3

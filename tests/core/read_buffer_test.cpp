#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace vk3 {
namespace {

// A read into memory kept from an earlier text holds the file's bytes and nothing of what
// the memory held, whether the file fills most of it or only half.
TEST(ReadFileBytes, MemoryKeptFromAnEarlierTextHoldsOnlyTheNewFile) {
    test::TempDir dir;
    for (const std::size_t size : {std::size_t{3} << 20, std::size_t{2} << 20}) {
        KeepReadBuffer(std::string(std::size_t{4} << 20, 'x'));
        const std::string content(size, 'y');
        test::WriteFile(dir / "big.ini", content);
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(dir / "big.ini", bytes));
        EXPECT_EQ(bytes, content);
    }
}

}  // namespace
}  // namespace vk3

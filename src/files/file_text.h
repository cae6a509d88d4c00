#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace vk3 {

// A file's bytes as read, in memory that is not cleared before the file is read into it.
// Fresh memory costs a page fault for every 4 KiB touched, which for a large file costs more
// than reading it: the memory of the largest text let go is kept, and the next read of a
// file about its size reuses it. Files of the game's size keep a few kilobytes.
class FileText {
public:
    FileText() = default;
    explicit FileText(std::string_view bytes);
    ~FileText();
    FileText(FileText&& other) noexcept;
    FileText& operator=(FileText&& other) noexcept;

    std::string_view view() const { return {memory_.get(), size_}; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Room for at least `capacity` bytes, keeping the first size() of them.
    char* Reserve(std::size_t capacity);
    std::size_t capacity() const { return capacity_; }
    void SetSize(std::size_t size) { size_ = size; }
    void Clear();

    // Lets the memory kept for the next read go, so that a measurement starts without it.
    static void LetKeptMemoryGo();

private:
    std::unique_ptr<char[]> memory_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace vk3

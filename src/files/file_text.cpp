#include "files/file_text.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace vk3 {

namespace {

struct Spare {
    std::mutex mutex;
    std::unique_ptr<char[]> memory;
    std::size_t capacity = 0;
};

Spare& TheSpare() {
    static Spare spare;
    return spare;
}

}  // namespace

FileText::FileText(std::string_view bytes) {
    if (!bytes.empty()) {  // an empty text has no memory to copy into
        std::memcpy(Reserve(bytes.size()), bytes.data(), bytes.size());
    }
    size_ = bytes.size();
}

FileText::~FileText() {
    Clear();
}

FileText::FileText(FileText&& other) noexcept
    : memory_(std::move(other.memory_)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

FileText& FileText::operator=(FileText&& other) noexcept {
    if (this != &other) {
        Clear();
        memory_ = std::move(other.memory_);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

char* FileText::Reserve(std::size_t capacity) {
    if (capacity <= capacity_) {
        return memory_.get();
    }
    std::unique_ptr<char[]> memory;
    std::size_t got = 0;
    {
        // The spare is taken only by a text that fills at least half of it, so that a small
        // file read beside a large one leaves it to the large one.
        Spare& spare = TheSpare();
        const std::lock_guard lock(spare.mutex);
        if (spare.capacity >= capacity && spare.capacity / 2 <= capacity) {
            memory = std::move(spare.memory);
            got = std::exchange(spare.capacity, 0);
        }
    }
    if (!memory) {
        memory.reset(new char[capacity]);
        got = capacity;
    }
    const std::size_t kept = size_;
    if (kept > 0) {
        std::memcpy(memory.get(), memory_.get(), kept);
    }
    Clear();
    memory_ = std::move(memory);
    capacity_ = got;
    size_ = kept;
    return memory_.get();
}

void FileText::Clear() {
    size_ = 0;
    if (!memory_) {
        return;
    }
    Spare& spare = TheSpare();
    const std::lock_guard lock(spare.mutex);
    if (capacity_ > spare.capacity) {
        std::swap(spare.memory, memory_);
        std::swap(spare.capacity, capacity_);
    }
    memory_.reset();
    capacity_ = 0;
}

void FileText::LetKeptMemoryGo() {
    Spare& spare = TheSpare();
    const std::lock_guard lock(spare.mutex);
    spare.memory.reset();
    spare.capacity = 0;
}

}  // namespace vk3

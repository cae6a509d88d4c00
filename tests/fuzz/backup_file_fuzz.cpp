// Arbitrary bytes as a backup file: the reader accepts exactly the well-formed files, and
// what it accepts encodes back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "maintenance/backup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string whyInvalid;
    const auto images = vk3::DecodeBackup(bytes, whyInvalid);

    bool wellFormed = size >= vk3::kBackupHeaderBytes;
    if (wellFormed) {
        std::uint64_t lengths[2] = {0, 0};
        for (int part = 0; part < 2; ++part) {
            for (int i = 3; i >= 0; --i) {
                lengths[part] = (lengths[part] << 8) | data[part * 4 + i];
            }
        }
        wellFormed = lengths[0] <= vk3::kMaxBackupImageBytes &&
                     lengths[1] <= vk3::kMaxBackupImageBytes &&
                     vk3::kBackupHeaderBytes + lengths[0] + lengths[1] == size;
    }
    if (images.has_value() != wellFormed || images.has_value() == !whyInvalid.empty()) {
        std::abort();
    }
    if (images && vk3::EncodeBackup(images->engine, images->userOptions) != bytes) {
        std::abort();
    }
    return 0;
}

// Arbitrary bytes as a safety run's record.txt: parsing must not crash, and a record it
// accepts must read back the same after it is written again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/run_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto record = vk3::ParseRunRecord({reinterpret_cast<const char*>(data), size});
    if (record && vk3::RunRecordText(*vk3::ParseRunRecord(vk3::RunRecordText(*record))) !=
                      vk3::RunRecordText(*record)) {
        std::abort();
    }
    return 0;
}

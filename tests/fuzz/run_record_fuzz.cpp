// Any bytes as a run's record.txt: no crash, and an accepted record reads back the same.
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

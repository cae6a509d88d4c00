// Any bytes as a step record: no crash, and a complete record reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/step_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vk3::ReadStepRecord record =
        vk3::ParseStepRecord({reinterpret_cast<const char*>(data), size});
    if (record.complete) {
        const std::string text = vk3::StepRecordText(record.files);
        const vk3::ReadStepRecord again = vk3::ParseStepRecord(text);
        if (!again.complete || vk3::StepRecordText(again.files) != text) {
            std::abort();
        }
    }
    return 0;
}

// Any bytes handed to the report-descriptor reader give a length or nothing; nothing is read
// outside the input, and a length is always at least the report ID byte and one data byte.

#include <cstdlib>
#include <span>

#include "hid/linux/report_descriptor.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> descriptor(data, size);
    // Report 1, which the receiver uses, and an ID taken from the input itself.
    for (const std::uint8_t id : {std::uint8_t{1}, size > 0 ? data[0] : std::uint8_t{0}}) {
        const auto length = tessik::hid::featureReportLength(descriptor, id);
        if (length && (*length < 2 || *length > 65536 + 1)) std::abort();
    }
    return 0;
}

// Any bytes handed to the simulated receiver's state-file reader are a table or refused; nothing
// reads outside the input, and a table read writes back as the very same bytes.

#include <algorithm>
#include <cstdlib>
#include <span>

#include "sim/device_table.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto table = tessik::sim::decodeStateFile(bytes);
    if (!table) return 0;
    const auto again = tessik::sim::encodeStateFile(*table);
    if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) std::abort();
    return 0;
}

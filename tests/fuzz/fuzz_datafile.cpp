// Any bytes handed to the ".ird" reader load or are refused; nothing reads outside the input,
// and whatever loads writes back as a well-formed current-layout file that reads back the same.

#include <cstdlib>
#include <span>

#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessik::RemoteTables tables;
    if (!tessik::readDataFile(std::span(data, size), tables)) return 0;
    const auto bytes = tessik::encodeDataFile(tables);
    if (bytes.size() != tessik::kDataFileSize) std::abort();
    tessik::RemoteTables again;
    if (!tessik::readDataFile(bytes, again) || again != tables) std::abort();
    return 0;
}

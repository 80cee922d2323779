// Any bytes handed to the ".ird" reader load or are refused; nothing reads outside the input,
// and whatever loads writes back as a well-formed current-layout file that reads back the same.

#include <cstdlib>
#include <span>

#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessik::RemoteModel model;
    if (!tessik::readDataFile(std::span(data, size), model)) return 0;
    const auto bytes = tessik::encodeDataFile(model);
    if (bytes.size() != tessik::kDataFileSize) std::abort();
    tessik::RemoteModel again;
    if (!tessik::readDataFile(bytes, again)) std::abort();
    if (again.buttons != model.buttons || again.macros != model.macros ||
        again.header != model.header || again.jitterPercent != model.jitterPercent) {
        std::abort();
    }
    return 0;
}

// Any bytes handed to the JSON import are refused with a reason or give a table; a table that
// imports exports to JSON that imports again to the same table.

#include <cstdlib>
#include <string>

#include "cli/json_model.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tessik::cli::Json;
    const Json doc = Json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded()) return 0;
    tessik::RemoteModel model;
    std::string error;
    if (!tessik::cli::modelFromJson(doc, model, error)) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    tessik::RemoteModel again;
    if (!tessik::cli::modelFromJson(tessik::cli::modelToJson(model), again, error)) std::abort();
    if (again.tables() != model.tables()) std::abort();
    return 0;
}

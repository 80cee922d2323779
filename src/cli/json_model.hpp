#pragma once
// The model as JSON, for export/import and for the decoder's output.

#include <nlohmann/json.hpp>
#include <string>

#include "core/model/remote_model.hpp"

namespace tessik::cli {

using Json = nlohmann::ordered_json;

Json codeRecordToJson(const CodeRecord& c);
Json modelToJson(const RemoteModel& model);

// Replaces the model's tables with the export's JSON, as File > Open would. False with a one-line
// reason in `error` when the document does not have the export's shape or a value is out of range.
bool modelFromJson(const Json& doc, RemoteModel& model, std::string& error);

}  // namespace tessik::cli

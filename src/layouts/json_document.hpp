#pragma once
// JSON text as the core's DocumentValue tree, each value with its line, read by nlohmann-json.
// The core keeps to the standard library, so the reading happens here; what the layout says
// is the core's business (readKeyLayout).

#include <string_view>

#include "core/layouts/layout_document.hpp"

namespace tessik::layouts {

// Deeper nesting than this is refused: no layout needs it, and the tree is freed recursively.
inline constexpr std::size_t kMaxDocumentDepth = 16;

DocumentParse parseJsonDocument(std::string_view text);

}  // namespace tessik::layouts

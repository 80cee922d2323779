#pragma once
// A key layout file as a tree of JSON values, each with the line it stands on, so that what is
// wrong with a layout can be told with its line. The program's JSON reader (outside the core)
// builds it; readKeyLayout reads a layout out of it.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessik {

struct DocumentValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    std::string text;                  // a string's value; a number or boolean as written
    std::vector<DocumentValue> items;  // an array's
    std::vector<std::pair<std::string, DocumentValue>> members;  // an object's, in file order
    std::size_t line = 1;

    const DocumentValue* member(std::string_view name) const {
        for (const auto& [key, value] : members) {
            if (key == name) return &value;
        }
        return nullptr;
    }
};

// A document as the reader found it: the tree, or where and why it is not JSON.
struct DocumentParse {
    bool ok = false;
    DocumentValue root;
    std::size_t errorLine = 0;
    std::string error;  // in English: the JSON reader's own words
};

}  // namespace tessik

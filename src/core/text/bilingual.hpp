#pragma once
// A text in both interface languages. Every text the tool shows outside the numbered string
// table is written as one of these, English first, and chosen with `pick`.

#include <string_view>

#include "core/text/language.hpp"

namespace tessik {

struct Bilingual {
    std::string_view english;
    std::string_view japanese;
};

constexpr std::string_view pick(Bilingual text, Language language) {
    return language == Language::Japanese ? text.japanese : text.english;
}

}  // namespace tessik

#include "core/text/language.hpp"

#include <cstdlib>
#include <string_view>

namespace tessik {
namespace {
std::optional<Language> g_override;
}

std::optional<Language> languageNamedByEnvironment(const EnvLookup& getenv) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value == nullptr || *value == '\0') continue;
        return std::string_view(value).starts_with("ja") ? Language::Japanese : Language::English;
    }
    return std::nullopt;
}

Language languageFromEnvironment(const EnvLookup& getenv) {
    return languageNamedByEnvironment(getenv).value_or(Language::English);
}

Language languageFromEnvironment() {
    return languageFromEnvironment([](const char* name) { return std::getenv(name); });
}

Language uiLanguage() {
    return g_override ? *g_override : languageFromEnvironment();
}

void setUiLanguageOverride(std::optional<Language> language) {
    g_override = language;
}

void adoptSystemLanguage(Language system, const EnvLookup& getenv) {
    if (!languageNamedByEnvironment(getenv)) g_override = system;
}

void adoptSystemLanguage(Language system) {
    adoptSystemLanguage(system, [](const char* name) { return std::getenv(name); });
}

}  // namespace tessik

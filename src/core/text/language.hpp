#pragma once
// The UI language: English or Japanese, taken from the user's locale.

#include <functional>
#include <optional>

namespace tessik {

enum class Language { English, Japanese };

using EnvLookup = std::function<const char*(const char*)>;

// The first non-empty of LANGUAGE, LC_ALL, LC_MESSAGES and LANG decides: Japanese when it
// starts with "ja", English otherwise (also when none is set).
Language languageFromEnvironment(const EnvLookup& getenv);
Language languageFromEnvironment();

// The language the UI uses for this run: the override when one is set, else the environment's.
Language uiLanguage();
void setUiLanguageOverride(std::optional<Language> language);

}  // namespace tessik

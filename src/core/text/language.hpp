#pragma once
// The UI language: English or Japanese, taken from the user's locale.

#include <functional>
#include <optional>

namespace tessik {

enum class Language { English, Japanese };

using EnvLookup = std::function<const char*(const char*)>;

// The first non-empty of LANGUAGE, LC_ALL, LC_MESSAGES and LANG decides: Japanese when it
// starts with "ja", English otherwise; nothing when none is set.
std::optional<Language> languageNamedByEnvironment(const EnvLookup& getenv);
// The same, English when none is set.
Language languageFromEnvironment(const EnvLookup& getenv);
Language languageFromEnvironment();

// The language the UI uses for this run: the override when one is set, else the environment's.
Language uiLanguage();
void setUiLanguageOverride(std::optional<Language> language);

// Where the system keeps the user's language elsewhere than in the environment (Windows: the
// user's display language), the program hands it over at start-up. A locale variable still
// decides when one is set, as on Linux.
void adoptSystemLanguage(Language system, const EnvLookup& getenv);
void adoptSystemLanguage(Language system);

}  // namespace tessik

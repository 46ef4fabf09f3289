#pragma once

#include "QtPlatformChoice.h"

#include <string>
#include <vector>

namespace Platform {

// The languages the user asked for, most wanted first, each as "en_GB" or
// "pt": LANGUAGE's colon-separated list, then the language of the locale
// that names messages (LC_ALL, else LC_MESSAGES, else LANG). Encodings and
// modifiers are dropped; "C" and "POSIX" name no language.
std::vector<std::string> UserLanguages(const TEnvironmentReader& Read);

// The first wanted language on offer, by its full name ("pt_BR") or by its
// language alone ("en_GB" takes "en"); Fallback when none is.
std::string ChooseLanguage(const std::vector<std::string>& Wanted, const std::vector<std::string>& Offered,
                           const std::string& Fallback);

// The clock's texts are written in Portuguese; every other language is a translation.
inline constexpr const char* SourceLanguage = "pt";

// ChooseLanguage over this process's environment. The clock and its
// companion libraries all ask this, so they speak one language.
std::string ChosenLanguage(const std::vector<std::string>& Offered);

} // namespace Platform

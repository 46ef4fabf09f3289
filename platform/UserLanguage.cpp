#include "UserLanguage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace Platform {

namespace {

// "en_GB.UTF-8@euro" -> "en_GB"; no language for the C locale or an empty name.
std::string LanguageOf(std::string Name)
{
    Name = Name.substr(0, Name.find_first_of(".@"));
    if (Name == "C" || Name == "POSIX")
        return {};
    for (const char Character : Name)
        if (!(std::isalpha(static_cast<unsigned char>(Character)) || Character == '_' || Character == '-'))
            return {};
    return Name;
}

std::string BaseLanguage(const std::string& Language)
{
    return Language.substr(0, Language.find_first_of("_-"));
}

} // namespace

std::vector<std::string> UserLanguages(const TEnvironmentReader& Read)
{
    std::vector<std::string> Languages;
    const auto Add = [&](const std::string& Name) {
        const std::string Language = LanguageOf(Name);
        if (!Language.empty())
            Languages.push_back(Language);
    };
    if (const char* List = Read("LANGUAGE")) {
        const std::string Text(List);
        for (std::size_t Start = 0; Start <= Text.size();) {
            const std::size_t End = std::min(Text.find(':', Start), Text.size());
            Add(Text.substr(Start, End - Start));
            Start = End + 1;
        }
    }
    for (const char* Variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* Value = Read(Variable);
        if (Value != nullptr && *Value != '\0') {
            Add(Value);
            break;
        }
    }
    return Languages;
}

std::string ChooseLanguage(const std::vector<std::string>& Wanted, const std::vector<std::string>& Offered,
                           const std::string& Fallback)
{
    for (const std::string& Language : Wanted)
        for (const std::string& Candidate : {Language, BaseLanguage(Language)})
            for (const std::string& Offer : Offered)
                if (Offer == Candidate)
                    return Offer;
    return Fallback;
}

std::string ChosenLanguage(const std::vector<std::string>& Offered)
{
    return ChooseLanguage(UserLanguages([](const char* Name) { return std::getenv(Name); }), Offered,
                          SourceLanguage);
}

} // namespace Platform

#include "platform/UserLanguage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using TEnvironment = std::map<std::string, std::string>;

std::vector<std::string> Languages(const TEnvironment& Environment)
{
    return Platform::UserLanguages([&](const char* Name) -> const char* {
        const auto Found = Environment.find(Name);
        return Found == Environment.end() ? nullptr : Found->second.c_str();
    });
}

std::string Chosen(const TEnvironment& Environment)
{
    return Platform::ChooseLanguage(Languages(Environment), {"pt", "en"}, "pt");
}

TEST(UserLanguageTest, TheLocaleThatNamesMessagesDecides)
{
    EXPECT_EQ(Languages({{"LANG", "en_US.UTF-8"}}), std::vector<std::string>{"en_US"});
    EXPECT_EQ(Chosen({{"LANG", "en_GB.UTF-8"}}), "en");
    EXPECT_EQ(Chosen({{"LANG", "pt_BR.UTF-8"}, {"LC_MESSAGES", "en_AU.UTF-8"}}), "en");
    // LC_ALL outranks the others; an empty variable counts as unset.
    EXPECT_EQ(Chosen({{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}, {"LC_ALL", "pt_PT.UTF-8"}}),
              "pt");
    EXPECT_EQ(Chosen({{"LANG", "en_IE.UTF-8@euro"}, {"LC_ALL", ""}}), "en");
}

TEST(UserLanguageTest, TheLanguageListComesFirstAndIsReadInOrder)
{
    EXPECT_EQ(Chosen({{"LANGUAGE", "en"}, {"LANG", "pt_BR.UTF-8"}}), "en");
    EXPECT_EQ(Chosen({{"LANGUAGE", "pt_BR:en"}, {"LANG", "en_US.UTF-8"}}), "pt");
    // Languages without a translation are passed over, down to the locale's own.
    EXPECT_EQ(Chosen({{"LANGUAGE", "de:fr::en_CA"}}), "en");
    EXPECT_EQ(Chosen({{"LANGUAGE", "de:fr"}, {"LANG", "en_NZ.UTF-8"}}), "en");
}

TEST(UserLanguageTest, PortugueseIsTheDefaultWhereNoOfferedLanguageIsAsked)
{
    EXPECT_EQ(Chosen({}), "pt");
    EXPECT_EQ(Chosen({{"LANG", "C.UTF-8"}, {"LC_ALL", "C"}}), "pt");
    EXPECT_EQ(Chosen({{"LANG", "POSIX"}}), "pt");
    EXPECT_EQ(Chosen({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr_FR:es"}}), "pt");
    // No value may name a file; "en/../x" is no language.
    EXPECT_EQ(Chosen({{"LANGUAGE", "en/../../x"}}), "pt");
    EXPECT_TRUE(Languages({{"LANG", "C"}}).empty());
}

TEST(UserLanguageTest, AFullNameIsPreferredWhereItIsOffered)
{
    EXPECT_EQ(Platform::ChooseLanguage({"pt_PT", "en"}, {"pt", "pt_PT", "en"}, "pt"), "pt_PT");
    EXPECT_EQ(Platform::ChooseLanguage({"pt_BR"}, {"pt_PT", "en"}, "pt"), "pt");
}

} // namespace

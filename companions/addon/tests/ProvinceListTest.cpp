// getProvinces of the real ztaddon.so, loaded as the clock loads it, over the
// shipped city list and over lists made here.
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TListFunction = const char* (*)();

std::vector<std::string> Lines(const char* Text)
{
    std::vector<std::string> Result;
    if (Text == nullptr)
        return Result;
    std::istringstream Stream(Text);
    for (std::string Line; std::getline(Stream, Line);)
        Result.push_back(Line);
    return Result;
}

void WriteFile(const std::filesystem::path& Path, const std::string& Contents)
{
    std::ofstream File(Path, std::ios::binary);
    File << Contents;
    ASSERT_TRUE(File.good()) << Path;
}

// The clock's search for a city's code: the first entry containing the name,
// everything after its first "|".
std::string CodeOf(const std::vector<std::string>& Entries, const std::string& Name)
{
    if (Name.empty())
        return {};
    for (const std::string& Entry : Entries)
        if (Entry.find(Name) != std::string::npos) {
            const std::size_t Bar = Entry.find('|');
            return Bar == std::string::npos ? Entry : Entry.substr(Bar + 1);
        }
    return {};
}

// "-23.5475" with exactly four decimals, within Limit.
bool IsCoordinate(const std::string& Text, double Limit)
{
    const std::size_t Point = Text.find('.');
    if (Point == std::string::npos || Text.size() - Point - 1 != 4)
        return false;
    const std::size_t Digits = Text[0] == '-' ? 1 : 0;
    if (Point == Digits || Point - Digits > 3)
        return false;
    for (std::size_t At = Digits; At < Text.size(); ++At)
        if (At != Point && (Text[At] < '0' || Text[At] > '9'))
            return false;
    const double Value = std::strtod(Text.c_str(), nullptr);
    return Value >= -Limit && Value <= Limit;
}

class ProvinceListTest : public testing::Test
{
protected:
    void SetUp() override
    {
        unsetenv("ZENTAVO_WEATHER_CITIES");
        FLibrary = dlopen(ZENTAVO_ADDON_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FLibrary, nullptr) << dlerror();
        FProvinces = reinterpret_cast<TListFunction>(dlsym(FLibrary, "getProvinces"));
        FTimeServers = reinterpret_cast<TListFunction>(dlsym(FLibrary, "getTimeServers"));
        ASSERT_NE(FProvinces, nullptr);
        ASSERT_NE(FTimeServers, nullptr);
        std::filesystem::remove("weather-cities.txt");
    }

    void TearDown() override
    {
        unsetenv("ZENTAVO_WEATHER_CITIES");
        std::filesystem::remove("weather-cities.txt");
        if (FLibrary != nullptr)
            dlclose(FLibrary);
    }

    void* FLibrary = nullptr;
    TListFunction FProvinces = nullptr;
    TListFunction FTimeServers = nullptr;
};

} // namespace

TEST_F(ProvinceListTest, EveryShippedCityHasItsCoordinatesAndIsFoundByItsOwnName)
{
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/weather-cities.txt", "weather-cities.txt");
    const std::vector<std::string> Entries = Lines(FProvinces());
    ASSERT_GT(Entries.size(), 2000u) << "a user finds a town near by";
    ASSERT_LT(Entries.size(), 20000u) << "the setup dialog fills them every time it opens";
    std::set<std::string> Names;
    for (const std::string& Entry : Entries) {
        const std::size_t Bar = Entry.find('|');
        ASSERT_NE(Bar, std::string::npos) << Entry;
        const std::string Name = Entry.substr(0, Bar), Code = Entry.substr(Bar + 1);
        const std::size_t Comma = Name.find(", ");
        ASSERT_NE(Comma, std::string::npos) << Entry;
        EXPECT_EQ(Name.find(',', Comma + 1), std::string::npos) << "one comma, before the country: " << Entry;
        EXPECT_GT(Comma, 0u) << Entry;
        EXPECT_LT(Comma + 2, Name.size()) << Entry;
        const std::size_t CodeComma = Code.find(',');
        ASSERT_NE(CodeComma, std::string::npos) << Entry;
        EXPECT_TRUE(IsCoordinate(Code.substr(0, CodeComma), 90)) << Entry;
        EXPECT_TRUE(IsCoordinate(Code.substr(CodeComma + 1), 180)) << Entry;
        EXPECT_TRUE(Names.insert(Name).second) << "twice: " << Entry;
        // What the dialog stores is the name; what the weather gets must be this city's code.
        EXPECT_EQ(CodeOf(Entries, Name), Code) << "another entry contains " << Name;
    }
    EXPECT_EQ(CodeOf(Entries, "São Paulo, Brazil"), "-23.5475,-46.6361");
    EXPECT_EQ(CodeOf(Entries, "São Paulo"), "-23.5475,-46.6361");
    for (const char* Capital :
         {"Brasília, Brazil", "Vaduz, Liechtenstein", "Reykjavík, Iceland", "Canberra, Australia",
          "Washington D.C., United States", "Tokyo, Japan", "Nairobi, Kenya"})
        EXPECT_TRUE(Names.count(Capital)) << Capital << ": every capital, however small";
    for (const char* Town : {"Recife, Brazil", "Porto, Portugal", "Kolkata, India", "Toronto, Canada"})
        EXPECT_TRUE(Names.count(Town)) << Town;
}

TEST_F(ProvinceListTest, OnlyEntriesWithANameAndABarAreServedWhateverTheLineEnds)
{
    WriteFile("weather-cities.txt", "\xEF\xBB\xBFRecife, Brazil|-8.0539,-34.8811\r\n"
                                    "no bar here\r"
                                    "\n"
                                    "|1.0000,2.0000\n"
                                    "  |3.0000,4.0000\n"
                                    "Natal, Brazil|-5.7950,-35.2094\r"
                                    "Lis\0boa, Portugal|38.7167,-9.1333");
    EXPECT_EQ(Lines(FProvinces()), (std::vector<std::string>{"Recife, Brazil|-8.0539,-34.8811",
                                                             "Natal, Brazil|-5.7950,-35.2094"}));
}

TEST_F(ProvinceListTest, TheListIsReadAgainAtEveryCallAndItsTextOutlivesOtherCalls)
{
    EXPECT_EQ(FProvinces(), nullptr) << "no list in the working folder";
    WriteFile("weather-cities.txt", "Recife, Brazil|-8.0539,-34.8811\n");
    const char* First = FProvinces();
    ASSERT_NE(First, nullptr);
    const std::string Copy = First;
    FTimeServers();
    EXPECT_EQ(std::string(First), Copy) << "valid until the next call of getProvinces";

    const std::string Elsewhere = Zentavo::Testing::MakeScratchFolder("cities") + "/list.txt";
    WriteFile(Elsewhere, "Porto, Portugal|41.1496,-8.6110\n");
    setenv("ZENTAVO_WEATHER_CITIES", Elsewhere.c_str(), 1);
    EXPECT_EQ(Lines(FProvinces()), std::vector<std::string>{"Porto, Portugal|41.1496,-8.6110"});
    std::filesystem::remove(Elsewhere);
    EXPECT_EQ(FProvinces(), nullptr);
}

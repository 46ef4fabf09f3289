#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TListFunction = const char* (*)();

const std::string RealZoneInfo = "/usr/share/zoneinfo";

std::vector<std::string> SplitLines(const char* Text)
{
    std::vector<std::string> Lines;
    if (Text == nullptr)
        return Lines;
    std::istringstream Stream(Text);
    std::string Line;
    while (std::getline(Stream, Line))
        Lines.push_back(Line);
    return Lines;
}

void WriteFile(const std::filesystem::path& Path, const std::string& Contents)
{
    std::filesystem::create_directories(Path.parent_path());
    std::ofstream File(Path, std::ios::binary);
    File << Contents;
    ASSERT_TRUE(File.good()) << Path;
}

struct TEntry
{
    int Hours = 0;    // characters 6 to 8, as the clock reads them
    int Minutes = 0;  // the whole signed offset in minutes
    std::string Name; // after "(GMT +hh:mm) "
};

// Reads an entry "(GMT +hh:mm) City, Country"; none when it has another form.
std::optional<TEntry> ParseEntry(const std::string& Line)
{
    if (Line.size() < 15 || Line.compare(0, 5, "(GMT ") != 0 || Line[8] != ':' ||
        Line.compare(11, 2, ") ") != 0)
        return std::nullopt;
    if (Line[5] != '+' && Line[5] != '-')
        return std::nullopt;
    TEntry Entry;
    const char* First = Line.data() + (Line[5] == '+' ? 6 : 5);
    const char* Last = Line.data() + 8;
    if (const auto [End, Error] = std::from_chars(First, Last, Entry.Hours);
        Error != std::errc() || End != Last)
        return std::nullopt;
    int Minutes = 0;
    if (const auto [End, Error] = std::from_chars(Line.data() + 9, Line.data() + 11, Minutes);
        Error != std::errc() || End != Line.data() + 11 || Minutes >= 60)
        return std::nullopt;
    Entry.Minutes = Entry.Hours * 60 + (Line[5] == '-' ? -Minutes : Minutes);
    Entry.Name = Line.substr(13);
    return Entry;
}

struct TZoneType
{
    std::int32_t Offset;
    bool IsSummer;
};

void AppendBigEndian(std::string& Bytes, std::uint32_t Value)
{
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Bytes += static_cast<char>((Value >> Shift) & 0xff);
}

// A compiled zone file of version 1 (no footer) with the given types and transitions.
std::string VersionOneZoneFile(const std::vector<TZoneType>& Types,
                               const std::vector<unsigned char>& Transitions)
{
    std::string Bytes = "TZif";
    Bytes += std::string(16, '\0');
    const std::string Abbreviations = "ABC";
    for (std::uint32_t Count : {0u, 0u, 0u, static_cast<std::uint32_t>(Transitions.size()),
                                static_cast<std::uint32_t>(Types.size()), 4u})
        AppendBigEndian(Bytes, Count);
    for (std::size_t Index = 0; Index < Transitions.size(); ++Index)
        AppendBigEndian(Bytes, static_cast<std::uint32_t>(100000 * (Index + 1)));
    for (const unsigned char Type : Transitions)
        Bytes += static_cast<char>(Type);
    for (const TZoneType& Type : Types) {
        AppendBigEndian(Bytes, static_cast<std::uint32_t>(Type.Offset));
        Bytes += static_cast<char>(Type.IsSummer ? 1 : 0);
        Bytes += '\0';
    }
    Bytes += Abbreviations;
    Bytes += '\0';
    return Bytes;
}

// The real ztaddon.so, loaded as the clock loads it, and its lists.
class AddOnCompanionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        FLibrary = dlopen(ZENTAVO_ADDON_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FLibrary, nullptr) << dlerror();
        FGMTLocations = reinterpret_cast<TListFunction>(dlsym(FLibrary, "getGMTLocations"));
        FTimeServers = reinterpret_cast<TListFunction>(dlsym(FLibrary, "getTimeServers"));
        ASSERT_NE(FGMTLocations, nullptr);
        ASSERT_NE(FTimeServers, nullptr);
        unsetenv("TZDIR");
        unsetenv("ZENTAVO_ZONEINFO_DIR");
        unsetenv("ZENTAVO_ETC_DIR");
        FScratch = Zentavo::Testing::MakeScratchFolder("addon");
    }

    void TearDown() override
    {
        unsetenv("ZENTAVO_ZONEINFO_DIR");
        unsetenv("ZENTAVO_ETC_DIR");
        if (FLibrary != nullptr)
            dlclose(FLibrary);
    }

    std::vector<std::string> Locations(const std::filesystem::path& Folder)
    {
        setenv("ZENTAVO_ZONEINFO_DIR", Folder.c_str(), 1);
        return SplitLines(FGMTLocations());
    }

    std::vector<std::string> Servers(const std::filesystem::path& Folder)
    {
        setenv("ZENTAVO_ETC_DIR", Folder.c_str(), 1);
        return SplitLines(FTimeServers());
    }

    void CopyZone(const std::filesystem::path& Folder, const std::string& Zone)
    {
        std::filesystem::create_directories((Folder / Zone).parent_path());
        std::filesystem::copy_file(RealZoneInfo + "/" + Zone, Folder / Zone);
    }

    void* FLibrary = nullptr;
    TListFunction FGMTLocations = nullptr;
    TListFunction FTimeServers = nullptr;
    std::filesystem::path FScratch;
};

std::string FindEntry(const std::vector<std::string>& Lines, const std::string& City)
{
    for (const std::string& Line : Lines)
        if (Line.size() > 13 && Line.compare(13, City.size() + 2, City + ", ") == 0)
            return Line;
    return {};
}

} // namespace

TEST_F(AddOnCompanionTest, EveryZoneOfTheSystemDatabaseReadsAsAnOffsetTheClockAccepts)
{
    const std::vector<std::string> Lines = SplitLines(FGMTLocations());
    ASSERT_GT(Lines.size(), 300u) << "every zone of the system's table";
    std::optional<TEntry> Previous;
    for (const std::string& Line : Lines) {
        const std::optional<TEntry> Entry = ParseEntry(Line);
        ASSERT_TRUE(Entry) << Line;
        EXPECT_GE(Entry->Hours, -12) << Line;
        EXPECT_LE(Entry->Hours, 14) << Line;
        EXPECT_EQ(Entry->Name.find('_'), std::string::npos) << Line;
        EXPECT_NE(Entry->Name.find(", "), std::string::npos) << "city and country: " << Line;
        if (Previous) {
            EXPECT_TRUE(Previous->Minutes < Entry->Minutes ||
                        (Previous->Minutes == Entry->Minutes && Previous->Name <= Entry->Name))
                << "sorted by offset, then name: " << Line;
        }
        Previous = Entry;
    }
}

TEST_F(AddOnCompanionTest, ZonesShowTheirStandardOffsetNotTheSummerOne)
{
    const std::vector<std::string> Lines = SplitLines(FGMTLocations());
    EXPECT_EQ(FindEntry(Lines, "Kolkata"), "(GMT +05:30) Kolkata, India");
    EXPECT_EQ(FindEntry(Lines, "Sao Paulo"), "(GMT -03:00) Sao Paulo, Brazil");
    EXPECT_EQ(FindEntry(Lines, "London").substr(0, 21), "(GMT +00:00) London, ");
    EXPECT_EQ(FindEntry(Lines, "New York"), "(GMT -05:00) New York, United States");
    EXPECT_EQ(FindEntry(Lines, "Dublin"), "(GMT +00:00) Dublin, Ireland")
        << "summer is the zone's standard there";
    EXPECT_EQ(FindEntry(Lines, "St Johns").substr(0, 12), "(GMT -03:30)") << "half an hour west";
    EXPECT_EQ(FindEntry(Lines, "Kathmandu").substr(0, 12), "(GMT +05:45)");
    EXPECT_EQ(FindEntry(Lines, "Kiritimati").substr(0, 12), "(GMT +14:00)");
}

TEST_F(AddOnCompanionTest, ASmallDatabaseGivesExactlyItsZones)
{
    const std::filesystem::path Folder = FScratch / "zoneinfo";
    WriteFile(Folder / "zone1970.tab", "# comment\n"
                                       "IN\t+2232+08822\tAsia/Kolkata\n"
                                       "BR\t-2332-04637\tAmerica/Sao_Paulo\tBrazil (southeast)\r\n"
                                       "IE,GB\t+5320-00615\tEurope/Dublin\n"
                                       "XX\t+0000+00000\tNowhere/Missing\n"
                                       "IN\t+0000+00000\t../zone1970.tab\n"
                                       "short line\n");
    WriteFile(Folder / "iso3166.tab", "#code\tname\nBR\tBrazil\nIE\tIreland\nIN\tIndia\n");
    for (const char* Zone : {"Asia/Kolkata", "America/Sao_Paulo", "Europe/Dublin"})
        CopyZone(Folder, Zone);
    const std::vector<std::string> Expected = {"(GMT -03:00) Sao Paulo, Brazil",
                                               "(GMT +00:00) Dublin, Ireland", "(GMT +05:30) Kolkata, India"};
    EXPECT_EQ(Locations(Folder), Expected);

    WriteFile(Folder / "zone.tab", "IN\t+2232+08822\tAsia/Kolkata\n");
    EXPECT_EQ(Locations(Folder), std::vector<std::string>{"(GMT +05:30) Kolkata, India"})
        << "zone.tab, one line per country, comes first";
}

TEST_F(AddOnCompanionTest, OldZoneFilesWithoutARuleUseTheirLatestStandardTime)
{
    const std::filesystem::path Folder = FScratch / "old";
    WriteFile(Folder / "zone1970.tab", "AA\t+0000+00000\tTest/East_Side\n"
                                       "AA\t+0000+00000\tTest/Fixed\n"
                                       "AA\t+0000+00000\tTest/Truncated\n"
                                       "AA\t+0000+00000\tTest/Nonsense\n");
    WriteFile(Folder / "iso3166.tab", "AA\tAland\n");
    // Ends in summer time: the standard time before it counts.
    WriteFile(Folder / "Test/East_Side",
              VersionOneZoneFile({{-17762, false}, {-14400, true}, {-18000, false}}, {2, 1, 2, 1}));
    WriteFile(Folder / "Test/Fixed", VersionOneZoneFile({{31500, false}}, {}));
    const std::string Whole = VersionOneZoneFile({{3600, false}, {7200, true}}, {0, 1});
    WriteFile(Folder / "Test/Truncated", Whole.substr(0, Whole.size() - 3));
    WriteFile(Folder / "Test/Nonsense",
              "not a zone file at all, but long enough to have a header of its own");
    const std::vector<std::string> Expected = {"(GMT -05:00) East Side, Aland", "(GMT +08:45) Fixed, Aland"};
    EXPECT_EQ(Locations(Folder), Expected);
}

TEST_F(AddOnCompanionTest, AMissingDatabaseIsAnEmptyList)
{
    setenv("ZENTAVO_ZONEINFO_DIR", (FScratch / "nothing").c_str(), 1);
    EXPECT_EQ(FGMTLocations(), nullptr);
}

TEST_F(AddOnCompanionTest, ConfiguredTimeServersComeFirstThenPublicOnes)
{
    const std::filesystem::path Etc = FScratch / "etc";
    WriteFile(Etc / "systemd/timesyncd.conf", "# See timesyncd.conf(5)\n"
                                              "[Time]\n"
                                              "NTP=a.example b.example\n"
                                              "#NTP=commented.example\n"
                                              "FallbackNTP=c.example pool.ntp.org\n"
                                              "[Other]\n"
                                              "NTP=elsewhere.example\n");
    const std::vector<std::string> Lines = Servers(Etc);
    ASSERT_GE(Lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(Lines.begin(), Lines.begin() + 4),
              (std::vector<std::string>{"a.example", "b.example", "c.example", "pool.ntp.org"}));
    EXPECT_NE(std::find(Lines.begin(), Lines.end(), "time.cloudflare.com"), Lines.end());
    EXPECT_NE(std::find(Lines.begin(), Lines.end(), "time.google.com"), Lines.end());
    EXPECT_EQ(std::find(Lines.begin(), Lines.end(), "commented.example"), Lines.end());
    EXPECT_EQ(std::find(Lines.begin(), Lines.end(), "elsewhere.example"), Lines.end());
    EXPECT_EQ(std::set<std::string>(Lines.begin(), Lines.end()).size(), Lines.size()) << "no name twice";
}

TEST_F(AddOnCompanionTest, DropInsChronyAndNtpAddTheirServers)
{
    const std::filesystem::path Etc = FScratch / "etc2";
    WriteFile(Etc / "systemd/timesyncd.conf", "[Time]\nNTP=a.example\nFallbackNTP=c.example\n");
    WriteFile(Etc / "systemd/timesyncd.conf.d/20-second.conf", "[Time]\nNTP=d.example\n");
    WriteFile(Etc / "systemd/timesyncd.conf.d/10-first.conf", "[Time]\nNTP=\nNTP=B.example\n");
    WriteFile(Etc / "systemd/timesyncd.conf.d/notes.txt", "[Time]\nNTP=ignored.example\n");
    WriteFile(Etc / "chrony/chrony.conf", "pool e.example iburst\n# server x.example\nserver b.example\n"
                                          "driftfile /var/lib/chrony/drift\n");
    WriteFile(Etc / "ntp.conf", "server 127.127.1.0\nserver f.example iburst\n");
    const std::vector<std::string> Lines = Servers(Etc);
    ASSERT_GE(Lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(Lines.begin(), Lines.begin() + 5),
              (std::vector<std::string>{"B.example", "d.example", "c.example", "e.example", "f.example"}))
        << "an empty NTP= clears, drop-ins in name order, no name twice in any case";
    EXPECT_EQ(Lines[5], "pool.ntp.org");
}

TEST_F(AddOnCompanionTest, WithoutATimeServiceThePublicServersRemain)
{
    const std::vector<std::string> Lines = Servers(FScratch / "empty");
    ASSERT_FALSE(Lines.empty());
    EXPECT_EQ(Lines.front(), "pool.ntp.org");
    EXPECT_NE(std::find(Lines.begin(), Lines.end(), "a.st1.ntp.br"), Lines.end());
    EXPECT_EQ(std::set<std::string>(Lines.begin(), Lines.end()).size(), Lines.size());
}

TEST_F(AddOnCompanionTest, EachTextStaysValidUntilTheNextCallOfItsFunction)
{
    const std::filesystem::path Etc = FScratch / "etc3";
    WriteFile(Etc / "systemd/timesyncd.conf", "[Time]\nNTP=kept.example\n");
    setenv("ZENTAVO_ETC_DIR", Etc.c_str(), 1);
    const char* ServerText = FTimeServers();
    ASSERT_NE(ServerText, nullptr);
    const std::string ServerCopy = ServerText;
    const char* ZoneText = FGMTLocations();
    ASSERT_NE(ZoneText, nullptr);
    const std::string ZoneCopy = ZoneText;
    setenv("ZENTAVO_ZONEINFO_DIR", (FScratch / "nothing").c_str(), 1);
    EXPECT_EQ(FGMTLocations(), nullptr);
    EXPECT_EQ(std::string(ServerText), ServerCopy) << "another function's call leaves the text alone";
    EXPECT_EQ(SplitLines(ServerText).front(), "kept.example");
    unsetenv("ZENTAVO_ZONEINFO_DIR");
    EXPECT_EQ(std::string(FGMTLocations()), ZoneCopy) << "the same list again";
}

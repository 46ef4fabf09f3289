#include "platform/RegistryDocument.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace Platform;

namespace {

const std::string Key = "HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues";

TRegistryValue Typed(std::uint32_t Type, std::vector<std::uint8_t> Data)
{
    TRegistryValue Value;
    Value.Type = Type;
    Value.Data = std::move(Data);
    return Value;
}

// Writes the value into a new document, reads the text back and returns what is served.
std::optional<TRegistryValue> RoundTrip(const std::string& Name, const TRegistryValue& Value)
{
    TRegistryDocument Document;
    Document.SetValue(Key, Name, Value);
    const TRegistryDocument Read = TRegistryDocument::Parse(Document.Text());
    EXPECT_TRUE(Read.IsComplete()) << Document.Text();
    return Read.Value(Key, Name);
}

void ReplaceOnce(std::string& Text, const std::string& From, const std::string& To)
{
    const std::size_t Position = Text.find(From);
    ASSERT_NE(Position, std::string::npos) << From;
    Text.replace(Position, From.size(), To);
}

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> Result;
    std::istringstream Stream(Text);
    for (std::string Line; std::getline(Stream, Line);)
        Result.push_back(Line);
    return Result;
}

} // namespace

TEST(RegistryDocument, EveryValueTypeSurvivesTheTextForm)
{
    const double Pitch = -12.375;
    const std::vector<TRegistryValue> Values = {
        TRegistryValue::FromString(""),
        TRegistryValue::FromString("C:\\Program Files\\\"Zentavo\" \\\\server\\"),
        TRegistryValue::FromString("São Paulo — 東京 😀"),
        TRegistryValue::FromString("two\r\nlines\nand a nul \0 inside"),
        TRegistryValue::FromString("%SystemRoot%\\Ação", TRegistryType::ExpandString),
        TRegistryValue::FromString("", TRegistryType::ExpandString),
        TRegistryValue::FromBinary(&Pitch, sizeof Pitch),
        TRegistryValue::FromBinary(nullptr, 0),
        TRegistryValue::FromDWord(0),
        TRegistryValue::FromDWord(0xfedcba98),
        Typed(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}), // REG_MULTI_SZ stays raw
        Typed(11, {1, 2, 3, 4, 5, 6, 7, 8}),          // REG_QWORD
        Typed(0, {}),
        Typed(4, {1, 2}), // a short dword cannot be written as dword:
        Typed(0x20000, {0xff}),
    };
    for (std::size_t Index = 0; Index < Values.size(); ++Index) {
        const auto Read = RoundTrip("Value " + std::to_string(Index), Values[Index]);
        ASSERT_TRUE(Read.has_value()) << Index;
        EXPECT_EQ(*Read, Values[Index]) << Index;
    }
}

TEST(RegistryDocument, ValuesAreWrittenAsARegistryExportWritesThem)
{
    EXPECT_EQ(TRegistryDocument::FormatValue("Top", TRegistryValue::FromString("-12")), "\"Top\"=\"-12\"\n");
    EXPECT_EQ(TRegistryDocument::FormatValue("A\"b\\", TRegistryValue::FromString("x\\\"y")),
              "\"A\\\"b\\\\\"=\"x\\\\\\\"y\"\n");
    EXPECT_EQ(TRegistryDocument::FormatValue("Count", TRegistryValue::FromDWord(300)),
              "\"Count\"=dword:0000012c\n");
    const std::uint8_t Bytes[] = {0x00, 0xab, 0x10};
    EXPECT_EQ(TRegistryDocument::FormatValue("Raw", TRegistryValue::FromBinary(Bytes, 3)),
              "\"Raw\"=hex:00,ab,10\n");
    EXPECT_EQ(TRegistryDocument::FormatValue("Path",
                                             TRegistryValue::FromString("%A%é", TRegistryType::ExpandString)),
              "\"Path\"=hex(2):25,00,41,00,25,00,e9,00,00,00\n");
    EXPECT_EQ(TRegistryDocument::FormatValue("", TRegistryValue::FromString("default")), "@=\"default\"\n");
    EXPECT_EQ(TRegistryDocument::FormatValue("Q", Typed(11, {1, 2})), "\"Q\"=hex(b):01,02\n");
    EXPECT_EQ(TRegistryDocument::FormatValue("Nl", TRegistryValue::FromString("a\nb")),
              "\"Nl\"=hex(1):61,00,0a,00,62,00,00,00\n");
}

TEST(RegistryDocument, LongHexDataIsContinuedWithinEightyColumns)
{
    std::vector<std::uint8_t> Bytes(200);
    for (std::size_t Index = 0; Index < Bytes.size(); ++Index)
        Bytes[Index] = static_cast<std::uint8_t>(Index);
    const std::string Text =
        TRegistryDocument::FormatValue("Picture", TRegistryValue::FromBinary(Bytes.data(), 200));
    const auto Written = Lines(Text);
    ASSERT_GT(Written.size(), 3u);
    for (std::size_t Index = 0; Index < Written.size(); ++Index) {
        EXPECT_LE(Written[Index].size(), 80u) << Written[Index];
        if (Index + 1 < Written.size()) {
            EXPECT_EQ(Written[Index].substr(Written[Index].size() - 2), ",\\");
        }
        if (Index > 0) {
            EXPECT_EQ(Written[Index].substr(0, 2), "  ");
        }
    }
    EXPECT_EQ(*RoundTrip("Picture", TRegistryValue::FromBinary(Bytes.data(), 200)),
              TRegistryValue::FromBinary(Bytes.data(), 200));
}

TEST(RegistryDocument, ReadsFilesWrittenElsewhere)
{
    // CRLF line ends, a byte-order mark, upper-case hex, spaces around the data,
    // continued lines, comments and an unterminated text in hex(2).
    const std::string Text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; exported by hand\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
                             "\"Count\"=DWORD:0000012C\r\n"
                             "\"Raw\"=hex:01,02,\\\r\n"
                             "    03,\\\r\n"
                             "\t04\r\n"
                             "\"Expand\"=hex(2):41,00,42,00\r\n"
                             "\"Quoted\" = \"a \\\"b\\\" \\\\c\"  \r\n"
                             "@=\"default\"\r\n";
    const TRegistryDocument Document = TRegistryDocument::Parse(Text);
    EXPECT_TRUE(Document.IsComplete());
    EXPECT_EQ(*Document.Value(Key, "count"), TRegistryValue::FromDWord(300));
    const std::uint8_t Raw[] = {1, 2, 3, 4};
    EXPECT_EQ(*Document.Value(Key, "Raw"), TRegistryValue::FromBinary(Raw, 4));
    EXPECT_EQ(*Document.Value(Key, "Expand"), TRegistryValue::FromString("AB", TRegistryType::ExpandString));
    EXPECT_EQ(Document.Value(Key, "Quoted")->AsText(), "a \"b\" \\c");
    EXPECT_EQ(Document.Value(Key, "")->AsText(), "default");
    EXPECT_EQ(Document.Text(), Text);
}

TEST(RegistryDocument, ReadsRegeditsOwnUtf16Files)
{
    const std::string Utf8 =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"Name\"=\"Olá\"\r\n";
    std::u16string Wide =
        u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"Name\"=\"Olá\"\r\n";
    std::string Text = "\xFF\xFE";
    for (char16_t Unit : Wide) {
        Text += static_cast<char>(Unit & 0xff);
        Text += static_cast<char>(Unit >> 8);
    }
    const TRegistryDocument Document = TRegistryDocument::Parse(Text);
    EXPECT_TRUE(Document.IsComplete());
    EXPECT_EQ(Document.Value("HKEY_CURRENT_USER\\K", "Name")->AsText(), "Olá");
    EXPECT_EQ(Document.Text(), Utf8);
}

TEST(RegistryDocument, AChangeTouchesOnlyItsOwnLine)
{
    const std::string Before = "Windows Registry Editor Version 5.00\n"
                               "\n"
                               "; kept\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
                               "\"Left\"=\"5\"\n"
                               "\n"
                               "[-HKEY_CURRENT_USER\\Software\\Gone]\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\n"
                               "\"Top\"=dword:00000001\n"
                               "\"Left\"=\"7\"   \n"
                               "\"Unknown\"=hex(7):41,00,00,00,\\\n"
                               "  00,00\n"
                               "\"Deleted\"=-\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Unknown]\n"
                               "\"X\"=\"y\"\n";
    TRegistryDocument Document = TRegistryDocument::Parse(Before);
    ASSERT_TRUE(Document.IsComplete());

    EXPECT_TRUE(Document.SetValue(Key, "Left", TRegistryValue::FromString("-3")));
    std::string Expected = Before;
    ReplaceOnce(Expected, "\"Left\"=\"7\"   \n", "\"Left\"=\"-3\"\n");
    EXPECT_EQ(Document.Text(), Expected);

    EXPECT_TRUE(Document.SetValue(Key, "Alpha", TRegistryValue::FromString("255")));
    ReplaceOnce(Expected, "\"Deleted\"=-", "\"Alpha\"=\"255\"\n\"Deleted\"=-");
    EXPECT_EQ(Document.Text(), Expected);

    EXPECT_TRUE(Document.DeleteValue(Key, "top"));
    ReplaceOnce(Expected, "\"Top\"=dword:00000001\n", "");
    EXPECT_EQ(Document.Text(), Expected);

    EXPECT_FALSE(Document.SetValue(Key, "ALPHA", TRegistryValue::FromString("255")));
    EXPECT_FALSE(Document.DeleteValue(Key, "Top"));
    EXPECT_EQ(Document.Text(), Expected);

    EXPECT_TRUE(Document.SetValue("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                  "ZENTAVO.EXE", TRegistryValue::FromString("/opt/zentavo-3d")));
    Expected += "\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                "\"ZENTAVO.EXE\"=\"/opt/zentavo-3d\"\n\n";
    EXPECT_EQ(Document.Text(), Expected);
    EXPECT_TRUE(TRegistryDocument::Parse(Expected).IsComplete());
    // The other root and the deletion order are kept but are no keys of the current user.
    EXPECT_FALSE(Document.Value(Key, "X").has_value());
    EXPECT_EQ(Document.Value("HKEY_LOCAL_MACHINE\\Software\\Other", "Left")->AsText(), "5");
    EXPECT_FALSE(Document.KeyExists("HKEY_CURRENT_USER\\Software\\Gone"));
    EXPECT_FALSE(Document.Value(Key, "Deleted").has_value());
}

TEST(RegistryDocument, KeysAndNamesIgnoreLetterCaseAndKeepTheirFirstSpelling)
{
    TRegistryDocument Document;
    EXPECT_FALSE(Document.KeyExists("HKEY_CURRENT_USER\\Software"));
    Document.SetValue(Key, "FocalLength", TRegistryValue::FromString("1"));
    EXPECT_TRUE(Document.KeyExists("hkey_current_user\\SOFTWARE"));
    EXPECT_TRUE(Document.KeyExists("HKEY_CURRENT_USER\\Software\\Zentavo-3D\\"));
    EXPECT_FALSE(Document.KeyExists("HKEY_CURRENT_USER\\Soft"));
    Document.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\zentavo-3d\\GEOVALUES", "focallength",
                      TRegistryValue::FromString("2"));
    EXPECT_EQ(Document.Value(Key, "FOCALLENGTH")->AsText(), "2");
    EXPECT_NE(Document.Text().find("\"FocalLength\"=\"2\""), std::string::npos) << Document.Text();
    EXPECT_EQ(Document.Text().find("focallength"), std::string::npos);
    // Non-ASCII letters fold too.
    Document.SetValue(Key, "Ação", TRegistryValue::FromString("1"));
    EXPECT_TRUE(Document.Value(Key, "AÇÃO").has_value());
}

TEST(RegistryDocument, TheLastDefinitionWinsAndIsTheOnlyOneLeftAfterAChange)
{
    const std::string Text = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\K]\n\"A\"=\"1\"\n\n"
                             "[HKEY_CURRENT_USER\\k]\n\"a\"=\"2\"\n\"A\"=\"3\"\n";
    TRegistryDocument Document = TRegistryDocument::Parse(Text);
    EXPECT_EQ(Document.Value("HKEY_CURRENT_USER\\K", "A")->AsText(), "3");
    Document.SetValue("HKEY_CURRENT_USER\\K", "A", TRegistryValue::FromString("4"));
    EXPECT_EQ(Document.Text(), "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\K]\n\n"
                               "[HKEY_CURRENT_USER\\k]\n\"A\"=\"4\"\n");
    // Setting the value it already has still removes the stale definitions.
    Document = TRegistryDocument::Parse(Text);
    EXPECT_TRUE(Document.SetValue("HKEY_CURRENT_USER\\K", "A", TRegistryValue::FromString("3")));
    Document.DeleteValue("HKEY_CURRENT_USER\\K", "A");
    EXPECT_FALSE(Document.Value("HKEY_CURRENT_USER\\K", "A").has_value());
}

TEST(RegistryDocument, LinesThatCannotBeReadAreLeftOutAndTheRestIsServed)
{
    const std::vector<std::string> BadLines = {
        "\"Bad\"=hex:zz",
        "\"Bad\"=hex:100",
        "\"Bad\"=dword:123456789",
        "\"Bad\"=\"no end",
        "\"Bad\"=\"a\\q\"",
        "\"Bad\"=\"a\" trailing",
        "\"Bad\"=hex(2):41",
        "\"Bad\"=unknown:1",
        "\"Bad\"",
        "just text",
        "[HKEY_CURRENT_USER\\K",
        "\"Bad\"=hex:01,,02",
        "\"Bad\"=hex(xyz):01",
        "\"Bad\"=",
    };
    for (const std::string& Bad : BadLines) {
        const std::string Text =
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"Good\"=\"1\"\n" + Bad +
            "\n\"After\"=dword:00000002\n";
        const TRegistryDocument Document = TRegistryDocument::Parse(Text);
        EXPECT_FALSE(Document.IsComplete()) << Bad;
        EXPECT_EQ(Document.Value("HKEY_CURRENT_USER\\K", "Good")->AsText(), "1") << Bad;
        EXPECT_EQ(*Document.Value("HKEY_CURRENT_USER\\K", "After"), TRegistryValue::FromDWord(2)) << Bad;
        EXPECT_FALSE(Document.Value("HKEY_CURRENT_USER\\K", "Bad").has_value()) << Bad;
        EXPECT_TRUE(TRegistryDocument::Parse(Document.Text()).IsComplete()) << Document.Text();
    }
}

TEST(RegistryDocument, ABrokenStartOrEndIsNoticed)
{
    const TRegistryDocument NoHeader = TRegistryDocument::Parse("[HKEY_CURRENT_USER\\K]\n\"A\"=\"1\"\n");
    EXPECT_FALSE(NoHeader.IsComplete());
    EXPECT_EQ(NoHeader.Value("HKEY_CURRENT_USER\\K", "A")->AsText(), "1");
    EXPECT_EQ(NoHeader.Text().rfind(TRegistryDocument::HeaderLine, 0), 0u);

    const TRegistryDocument CutShort = TRegistryDocument::Parse(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=hex:01,\\\n");
    EXPECT_FALSE(CutShort.IsComplete());

    const TRegistryDocument ValueBeforeKey =
        TRegistryDocument::Parse("Windows Registry Editor Version 5.00\n\"A\"=\"1\"\n");
    EXPECT_FALSE(ValueBeforeKey.IsComplete());

    const TRegistryDocument Garbage = TRegistryDocument::Parse(std::string("\x00\x01\x02\xff garbage", 12));
    EXPECT_FALSE(Garbage.IsComplete());

    // A file without a final line end gets one before anything follows it.
    TRegistryDocument NoFinalEnd = TRegistryDocument::Parse(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"1\"");
    EXPECT_TRUE(NoFinalEnd.IsComplete());
    NoFinalEnd.SetValue("HKEY_CURRENT_USER\\K", "B", TRegistryValue::FromString("2"));
    EXPECT_EQ(NoFinalEnd.Text(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"1\"\n\"B\"=\"2\"\n");
}

TEST(RegistryDocument, NewKeysAndValuesKeepTheFileReadable)
{
    TRegistryDocument Document;
    EXPECT_TRUE(Document.AddKey(Key));
    EXPECT_FALSE(Document.AddKey(Key));
    EXPECT_FALSE(Document.AddKey("HKEY_CURRENT_USER\\Software")); // exists through its child
    Document.SetValue(Key, "Top", TRegistryValue::FromString("1"));
    Document.SetValue(Key, "Left", TRegistryValue::FromString("2"));
    Document.SetValue("HKEY_CURRENT_USER\\Other", "X", TRegistryValue::FromDWord(3));
    EXPECT_EQ(Document.Text(), "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\n"
                               "\"Top\"=\"1\"\n\"Left\"=\"2\"\n\n"
                               "[HKEY_CURRENT_USER\\Other]\n\"X\"=dword:00000003\n\n");
    EXPECT_THROW(Document.SetValue(Key, "two\nlines", TRegistryValue::FromString("1")), ERegistryError);
    EXPECT_THROW(Document.AddKey("HKEY_CURRENT_USER\\bad\nkey"), ERegistryError);
    EXPECT_THROW(Document.AddKey("\\\\"), ERegistryError);
}

TEST(RegistryDocument, CrlfFilesGetCrlfLines)
{
    TRegistryDocument Document = TRegistryDocument::Parse(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"A\"=\"1\"\r\n");
    Document.SetValue("HKEY_CURRENT_USER\\K", "B", TRegistryValue::FromString("2"));
    Document.SetValue("HKEY_CURRENT_USER\\L", "C", TRegistryValue::FromString("3"));
    EXPECT_EQ(Document.Text(),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"A\"=\"1\"\r\n"
              "\"B\"=\"2\"\r\n\r\n[HKEY_CURRENT_USER\\L]\r\n\"C\"=\"3\"\r\n\r\n");
}

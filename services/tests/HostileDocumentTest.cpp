// The configuration document arrives from the network: whatever it holds, it
// is accepted or refused in well under a second and without a large
// allocation, from a file at start-up as from downloaded bytes.
#include "services/ConfigDocument.h"
#include "services/ConfigError.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <QByteArray>
#include <QString>
#include <string>
#include <sys/resource.h>

namespace {

const char* const Valid = "<zentavo><library><popup><shopwindow elapse=\"60\"/></popup></library></zentavo>";

std::string BillionLaughs()
{
    std::string Text = "<?xml version=\"1.0\"?>\n<!DOCTYPE zentavo [\n<!ENTITY lol0 \"lol\">\n";
    for (int Level = 1; Level <= 9; ++Level) {
        Text += "<!ENTITY lol" + std::to_string(Level) + " \"";
        for (int Copy = 0; Copy < 10; ++Copy)
            Text += "&lol" + std::to_string(Level - 1) + ";";
        Text += "\">\n";
    }
    return Text + "]>\n<zentavo>&lol9;</zentavo>";
}

std::string OneLargeEntityManyTimes()
{
    std::string Text = "<!DOCTYPE zentavo [<!ENTITY big \"" + std::string(100000, 'x') + "\">]><zentavo>";
    for (int Reference = 0; Reference < 5000; ++Reference)
        Text += "&big;";
    return Text + "</zentavo>";
}

std::string Repeated(const std::string& Part, int Count)
{
    std::string Text;
    Text.reserve(Part.size() * Count);
    for (int Index = 0; Index < Count; ++Index)
        Text += Part;
    return Text;
}

std::string DeepNesting(int Depth)
{
    return Repeated("<a>", Depth) + Repeated("</a>", Depth);
}

// Peak resident memory of the process so far, in megabytes.
long PeakMegabytes()
{
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return Usage.ru_maxrss / 1024;
}

struct THostile
{
    const char* Name;
    std::function<std::string()> Make;
};

class HostileDocumentTest : public testing::TestWithParam<THostile>
{
protected:
    void SetUp() override { std::filesystem::current_path(Zentavo::Testing::MakeScratchFolder("hostile")); }
};

TEST_P(HostileDocumentTest, IsRefusedFastAndSmallFromBytesAndFromTheFile)
{
    const QByteArray Bytes = QByteArray::fromStdString(GetParam().Make());
    const long Before = PeakMegabytes();
    for (const bool FromFile : {false, true}) {
        TConfigDocument Document;
        Document.LoadFromBytes(Valid);
        if (FromFile)
            std::ofstream("sysConf.xml", std::ios::binary) << Bytes.toStdString();
        const auto Start = std::chrono::steady_clock::now();
        try {
            if (FromFile)
                Document.LoadFromFile();
            else
                Document.LoadFromBytes(Bytes);
            ADD_FAILURE() << GetParam().Name << " was accepted";
        } catch (const EConfigError& Error) {
            EXPECT_NE(std::string(Error.what()).find("well-formed"), std::string::npos) << Error.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(500)) << GetParam().Name;
        EXPECT_EQ(Document.PopUpInterval(), 3600000) << "the content before stays";
    }
    // The test's own copy of the bytes is already counted in Before.
    EXPECT_LT(PeakMegabytes() - Before, 40) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, HostileDocumentTest,
    testing::Values(
        THostile{"BillionLaughs", BillionLaughs}, THostile{"OneLargeEntity", OneLargeEntityManyTimes},
        THostile{"ExternalEntity",
                 [] {
                     return std::string("<?xml version=\"1.0\"?><!DOCTYPE zentavo [<!ENTITY secret SYSTEM "
                                        "\"file:///etc/passwd\">]><zentavo>&secret;</zentavo>");
                 }},
        THostile{"ExternalDocumentType",
                 [] { return std::string("<!DOCTYPE zentavo SYSTEM \"http://127.0.0.1:9/x.dtd\"><zentavo/>"); }},
        THostile{"DeepNesting", [] { return "<zentavo>" + DeepNesting(100000) + "</zentavo>"; }},
        THostile{"FiftyMegabytes", [] { return "<zentavo>" + std::string(50 << 20, ' ') + "</zentavo>"; }},
        THostile{"ManySmallElements", [] { return "<zentavo>" + Repeated("<e/>", 200000) + "</zentavo>"; }},
        THostile{"ManyAttributes",
                 [] {
                     std::string Text = "<zentavo";
                     for (int Index = 0; Index < 300000; ++Index)
                         Text += " a" + std::to_string(Index) + "=\"\"";
                     return Text + "/>";
                 }},
        THostile{"InvalidUtf8", [] { return std::string("<zentavo a=\"\xC3\x28\xFF\"/>"); }},
        THostile{"Empty", [] { return std::string(); }}),
    [](const testing::TestParamInfo<THostile>& Info) { return std::string(Info.param.Name); });

class AcceptedDocumentTest : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::current_path(Zentavo::Testing::MakeScratchFolder("accepted")); }
};

TEST_F(AcceptedDocumentTest, Utf16WithAByteOrderMarkAndTheLimitsThemselvesAreAccepted)
{
    const QString Text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><zentavo><library><popup>"
                                        "<shopwindow elapse=\"5\"/></popup></library><system name=\"Relógio\"/>"
                                        "</zentavo>");
    QByteArray Utf16("\xFF\xFE", 2);
    Utf16.append(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
    TConfigDocument Document;
    Document.LoadFromBytes(Utf16);
    EXPECT_EQ(Document.PopUpInterval(), 300000);
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo/system"), "name"), "Relógio");

    // A document at each limit, and a comment full of "=" signs.
    const std::string Deepest = "<zentavo>" + DeepNesting(TConfigDocument::MaximumDepth - 1) + "</zentavo>";
    EXPECT_NO_THROW(Document.LoadFromBytes(QByteArray::fromStdString(Deepest)));
    EXPECT_THROW(Document.LoadFromBytes(QByteArray::fromStdString(
                     "<zentavo>" + DeepNesting(TConfigDocument::MaximumDepth) + "</zentavo>")),
                 EConfigError);
    std::string Attributes = "<zentavo";
    for (int Index = 0; Index < TConfigDocument::MaximumAttributes; ++Index)
        Attributes += " a" + std::to_string(Index) + "='x=y'";
    EXPECT_NO_THROW(Document.LoadFromBytes(QByteArray::fromStdString(Attributes + "/>")));
    EXPECT_NO_THROW(Document.LoadFromBytes(
        QByteArray::fromStdString("<zentavo><!-- " + std::string(5000, '=') + " --></zentavo>")));
    EXPECT_NO_THROW(Document.LoadFromBytes(QByteArray::fromStdString(
        "<zentavo>" + Repeated("<e/>", TConfigDocument::MaximumNodes - 1) + "</zentavo>")));
    EXPECT_NO_THROW(Document.LoadFromBytes("<zentavo>&lt;&amp;&gt;&quot;&apos;&#233;</zentavo>"))
        << "the predefined entities and character references are no entity declarations";
}

} // namespace

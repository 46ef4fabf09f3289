#include "services/ConfigDocument.h"

#include "CompanionFolder.h"
#include "services/ConfigError.h"

#include <QByteArray>

using testing::ElementsAre;
using testing::HasSubstr;

namespace {

const char* const Sample = R"(<?xml version="1.0" encoding="UTF-8"?>
<zentavo>
  <library>
    <weather>
      <channel font="Weather Channel" link="http://localhost/weather"/>
      <forecast font="Previsão"/>
    </weather>
    <popup>
      <help link="http://localhost/help" caption="Ajuda" top="10" left="-20" width="640" height="480"
            delay="0" style="1"/>
      <shopwindow elapse="30"/>
    </popup>
  </library>
  <services>
    <service id="service1" link="http://localhost/a" caption="A"/>
    <!-- a comment between entries -->
    <service id="news" link="http://localhost/b" caption="B"/>
    <extra id="service3" link="http://localhost/c"/>
  </services>
  <system><link url="http://localhost/"><config document="sysConf.xml"/></link></system>
</zentavo>
)";

std::vector<std::string> Names(const std::vector<QDomElement>& Elements)
{
    std::vector<std::string> Result;
    for (const QDomElement& Element : Elements)
        Result.push_back(Element.tagName().toStdString());
    return Result;
}

} // namespace

class ConfigDocumentTest : public TCompanionFolder
{
protected:
    void SetUp() override
    {
        TCompanionFolder::SetUp();
        WriteFile("sysConf.xml", Sample);
        Document.LoadFromFile();
    }
    TConfigDocument Document;
};

TEST_F(ConfigDocumentTest, PathsTakeTheFirstChildOfEachName)
{
    Document.LoadFromBytes("<zentavo><a><b n=\"1\"/></a><a><b n=\"2\"/><b n=\"3\"/></a></zentavo>");
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo/a/b"), "n"), "1");
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo/a/b"), "n"), "1");
    EXPECT_EQ(Document.ChildElements("zentavo/a").size(), 1u);
}

TEST_F(ConfigDocumentTest, MissingStepsAreCreatedEmptyOnceAndReachTheFileOnlyWhenSaved)
{
    const QDomElement Created = Document.Element("zentavo/system/aboutus");
    EXPECT_EQ(Created.tagName(), "aboutus");
    EXPECT_FALSE(Created.hasAttributes());
    EXPECT_EQ(Document.Element("zentavo/system/aboutus"), Created);
    EXPECT_THAT(Names(Document.ChildElements("zentavo/system")), ElementsAre("link", "aboutus"));
    EXPECT_EQ(ReadFile("sysConf.xml"), Sample);

    Document.SaveToFile();
    TConfigDocument Reloaded;
    Reloaded.LoadFromFile();
    EXPECT_THAT(Names(Reloaded.ChildElements("zentavo/system")), ElementsAre("link", "aboutus"));
}

TEST_F(ConfigDocumentTest, MissingAttributeIsAnErrorNamingIt)
{
    const QDomElement Channel = Document.Element("zentavo/library/weather/channel");
    EXPECT_EQ(TConfigDocument::Attribute(Channel, "font"), "Weather Channel");
    try {
        TConfigDocument::Attribute(Document.Element("zentavo/system/aboutus"), "caption");
        FAIL() << "a missing attribute must be an error";
    } catch (const EConfigError& Error) {
        EXPECT_THAT(Error.what(), HasSubstr("caption"));
        EXPECT_THAT(Error.what(), HasSubstr("aboutus"));
    }
}

TEST_F(ConfigDocumentTest, IntegerAttributesAreStrictDecimal)
{
    Document.LoadFromBytes(R"(<zentavo><n a="40" b="-20" c=" 7 " d="+5" e="" f="abc" g="12px" h="1.5"
                               i="99999999999" j="0x10" k="40000"/></zentavo>)");
    const QDomElement N = Document.Element("zentavo/n");
    EXPECT_EQ(TConfigDocument::IntegerAttribute(N, "a"), 40);
    EXPECT_EQ(TConfigDocument::IntegerAttribute(N, "b"), -20);
    EXPECT_EQ(TConfigDocument::IntegerAttribute(N, "c"), 7);
    EXPECT_EQ(TConfigDocument::IntegerAttribute(N, "d"), 5);
    EXPECT_EQ(TConfigDocument::IntegerAttribute(N, "k"), 40000);
    for (const char* Bad : {"e", "f", "g", "h", "i", "j", "missing"})
        EXPECT_THROW(TConfigDocument::IntegerAttribute(N, Bad), EConfigError) << Bad;
}

TEST_F(ConfigDocumentTest, ElapseMinutesBecomeMilliseconds)
{
    EXPECT_EQ(Document.PopUpInterval(), 30 * 60000);
    EXPECT_EQ(TConfigDocument::ElapseToMilliseconds("0.5"), 30000);
    EXPECT_EQ(TConfigDocument::ElapseToMilliseconds("1"), 60000);
    EXPECT_EQ(TConfigDocument::ElapseToMilliseconds("4.35"), 261000);
    EXPECT_EQ(TConfigDocument::ElapseToMilliseconds("35791"), 35791 * 60000);
    for (const char* Bad : {"", "abc", "0,5", "30 min", "0", "-1", "nan", "inf", "35792"})
        EXPECT_THROW(TConfigDocument::ElapseToMilliseconds(Bad), EConfigError) << Bad;
}

TEST_F(ConfigDocumentTest, IntervalWithoutElapseIsAnError)
{
    Document.LoadFromBytes("<zentavo><library><popup><shopwindow/></popup></library></zentavo>");
    EXPECT_THROW(Document.PopUpInterval(), EConfigError);
}

TEST_F(ConfigDocumentTest, ChildListsHoldElementsInDocumentOrder)
{
    const std::vector<QDomElement> Services = Document.Services();
    EXPECT_THAT(Names(Services), ElementsAre("service", "service", "extra"));
    EXPECT_EQ(TConfigDocument::Attribute(Services[2], "id"), "service3");
    EXPECT_THAT(Names(Document.Libraries()), ElementsAre("weather", "popup"));
}

TEST_F(ConfigDocumentTest, MissingOrMalformedFileIsAnErrorAndKeepsTheContent)
{
    EXPECT_THROW(Document.LoadFromFile("nothing.xml"), EConfigError);
    WriteFile("broken.xml", "<zentavo><library></zentavo>");
    EXPECT_THROW(Document.LoadFromFile("broken.xml"), EConfigError);
    EXPECT_THROW(Document.LoadFromBytes("<zentavo>"), EConfigError);
    EXPECT_THROW(Document.LoadFromBytes(""), EConfigError);
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo/library/weather/channel"), "font"),
              "Weather Channel");
}

TEST_F(ConfigDocumentTest, DocumentNeverLoadedOrWithAnotherRootIsAnError)
{
    TConfigDocument Empty;
    EXPECT_FALSE(Empty.Loaded());
    EXPECT_THROW(Empty.Element("zentavo/library"), EConfigError);
    EXPECT_THROW(Empty.Libraries(), EConfigError);
    EXPECT_THROW(Empty.SaveToFile("empty.xml"), EConfigError);
    Document.LoadFromBytes("<other><library/></other>");
    EXPECT_THROW(Document.Libraries(), EConfigError);
}

TEST_F(ConfigDocumentTest, EncodingComesFromTheDocumentWhenReadingAndWriting)
{
    WriteFile("latin.xml",
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><zentavo caption=\"S\xe3o Paulo\"/>");
    Document.LoadFromFile("latin.xml");
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo"), "caption"), "São Paulo");

    Document.LoadFromBytes("<?xml version=\"1.0\" encoding=\"windows-1252\"?><zentavo price=\"\x80 5\"/>");
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo"), "price"), "€ 5");
    Document.SaveToFile("cp1252.xml");
    EXPECT_THAT(ReadFile("cp1252.xml"), HasSubstr("\x80 5"));
    TConfigDocument Reloaded;
    Reloaded.LoadFromFile("cp1252.xml");
    EXPECT_EQ(TConfigDocument::Attribute(Reloaded.Element("zentavo"), "price"), "€ 5");

    WriteFile("bom.xml", "\xef\xbb\xbf<zentavo caption=\"Céu\"/>");
    Document.LoadFromFile("bom.xml");
    EXPECT_EQ(TConfigDocument::Attribute(Document.Element("zentavo"), "caption"), "Céu");
}

TEST_F(ConfigDocumentTest, DownloadedBytesReplaceTheWholeContent)
{
    Document.LoadFromBytes("<zentavo><library><lu/></library></zentavo>");
    EXPECT_THAT(Names(Document.Libraries()), ElementsAre("lu"));
    EXPECT_TRUE(Document.Services().empty());
}

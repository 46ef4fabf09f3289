// The online tasks end to end through the program's bindings, against
// stand-in companions in the working folder that answer from a script.
#include "StandInWindow.h"

#include "services/ConfigError.h"
#include "services/tests/CompanionFolder.h"

#include <algorithm>
#include <chrono>
#include <QFile>
#include <QString>

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

namespace {

std::string Document(const std::string& Elapse = "60", const std::string& Url = "http://127.0.0.1/zentavo/",
                     const std::string& Services = "")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zentavo>\n"
           "<library><weather><channel font=\"Canal\" link=\"http://127.0.0.1/channel\"/>"
           "<forecast font=\"Previsão\" link=\"http://127.0.0.1/forecast\"/></weather>"
           "<popup><help link=\"http://127.0.0.1/help\" caption=\"Ajuda €\" top=\"1\" left=\"2\" width=\"3\" "
           "height=\"4\" delay=\"5\" style=\"6\"/><shopwindow elapse=\"" +
           Elapse +
           "\"/></popup><images/><lu/></library>\n"
           "<services>" +
           Services +
           "</services>\n"
           "<system><aboutus link=\"http://127.0.0.1/about\" caption=\"Sobre ā\" top=\"40000\" left=\"-1\" "
           "width=\"300\" height=\"200\" delay=\"7\"/>"
           "<link url=\"" +
           Url + "\"><config document=\"sysConf.xml\"/></link></system>\n</zentavo>\n";
}

long Count(const std::vector<std::string>& Lines, const std::string& Start)
{
    return std::count_if(Lines.begin(), Lines.end(),
                         [&](const std::string& Line) { return Line.rfind(Start, 0) == 0; });
}

class OnlineServicesTest : public TCompanionFolder
{
protected:
    void SetUp() override
    {
        TCompanionFolder::SetUp();
        Install({"connection.so", "weather.so", "ztaddon.so", "lu.so", "popup.so"});
        WriteFile("sysConf.xml", Document());
        Window.Document.LoadFromFile();
        Window.System.TimeServer = "pool.ntp.org";
        Window.System.UF = "São Paulo";
        Window.System.Connection = PatternConnection();
    }
    void Online(const std::string& Script = "1") { WriteFile("getConnectionStatus.script", Script); }
    // Lines of the log that are calls of the companions (beeps and loads left out).
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> Lines;
        for (const std::string& Line : Log())
            if (Line != "beep" && Line.rfind("load ", 0) != 0 && Line.rfind("unload ", 0) != 0)
                Lines.push_back(Line);
        return Lines;
    }

    TStandInWindow Window;
};

TEST_F(OnlineServicesTest, OfflineTheLoopBeepsQueriesAndComesBackEveryThirtySecondsWithoutCounting)
{
    Online("0");
    for (int Run = 0; Run < 8; ++Run) {
        Window.RunLoop();
        ASSERT_EQ(Window.Timers.at(1), 30000) << "run " << Run;
    }
    EXPECT_EQ(Count(Log(), "beep"), 8);
    EXPECT_EQ(Count(Calls(), "getConnectionStatus"), 8);
    EXPECT_EQ(Calls().size(), 8u) << "nothing but the query while offline";
    EXPECT_EQ(Window.System.ConnectCount, 0);
    EXPECT_FALSE(Window.System.Connected);
}

TEST_F(OnlineServicesTest, ATimeServerThatNeverAnswersIsRetriedAloneUntilTheFifthConnectedRun)
{
    Online();
    WriteFile("fresh.xml", Document("30"));
    WriteFile("HTTPRequest.script", "fresh.xml");
    WriteFile("SincNetworkTime.script", "0");
    WriteFile("getProvinces.txt", "São Paulo, Brazil|-23.5475,-46.6361\n");
    Window.RunLoop();
    EXPECT_EQ(Count(Calls(), "HTTPRequest"), 1);
    EXPECT_EQ(Count(Calls(), "getWeatherInfo"), 1);
    EXPECT_EQ(Count(Calls(), "SincNetworkTime"), 1);
    EXPECT_TRUE(Window.System.SysConfOk);
    EXPECT_TRUE(Window.System.WeatherOk);
    for (int Run = 2; Run <= 5; ++Run) {
        ASSERT_TRUE(Window.Timers.count(1)) << "armed again before run " << Run;
        Window.RunLoop();
    }
    EXPECT_EQ(Count(Calls(), "HTTPRequest"), 1) << "runs 2 to 5 retry only the time";
    EXPECT_EQ(Count(Calls(), "getWeatherInfo"), 1);
    EXPECT_EQ(Count(Calls(), "SincNetworkTime"), 5);
    EXPECT_EQ(Window.System.ConnectCount, 5);
    EXPECT_FALSE(Window.Timers.count(1)) << "given up after five connected runs";
    EXPECT_FALSE(Window.System.TimeSyncOk);
    EXPECT_FALSE(Window.System.SystemUpdated);
    // The time server reached the library as text and the record byte for byte.
    EXPECT_THAT(Calls(), Contains("SincNetworkTime interactive=0 server=pool.ntp.org"));
    EXPECT_EQ(ReadFile("SincNetworkTime.record"), PatternRecordBytes());
}

TEST_F(OnlineServicesTest, EverythingDoneEndsTheLoop)
{
    Online();
    WriteFile("HTTPRequest.script", "fresh.xml");
    WriteFile("fresh.xml", Document());
    Window.RunLoop();
    EXPECT_TRUE(Window.System.SystemUpdated);
    EXPECT_FALSE(Window.Timers.count(1));
    EXPECT_EQ(ReadFile("HTTPRequest.record"), PatternRecordBytes());
    EXPECT_EQ(ReadFile("getWeatherInfo.record"), PatternRecordBytes());
}

TEST_F(OnlineServicesTest, AnErrorInsideATaskShowsOfflineAndKeepsTheLoopGoing)
{
    Online();
    // A refused body whose recovery cannot read the document back.
    WriteFile("broken.xml", "<zentavo>");
    WriteFile("HTTPRequest.script", "broken.xml");
    QFile::remove("sysConf.xml");
    Window.System.Connected = true;
    Window.System.SystemUpdated = true;
    Window.RunLoop();
    EXPECT_FALSE(Window.System.Connected) << "\"Conexão\" shows False";
    EXPECT_FALSE(Window.System.SystemUpdated);
    EXPECT_EQ(Window.Timers.at(1), 30000);
    EXPECT_EQ(Count(Calls(), "getWeatherInfo"), 0) << "the run ended at the error";
    // The next run goes on once the document is back.
    WriteFile("sysConf.xml", Document());
    Window.RunLoop();
    EXPECT_TRUE(Window.System.Connected);
    EXPECT_EQ(Count(Calls(), "HTTPRequest"), 2);
    EXPECT_EQ(Window.Timers.at(1), 30000);
}

TEST_F(OnlineServicesTest, EachSetUpCloseCountsAsAConnectedRunAndRetriesOnceAfterTheLimit)
{
    Online();
    WriteFile("HTTPRequest.script", "empty.xml");
    WriteFile("empty.xml", "");
    WriteFile("SincNetworkTime.script", "0");
    for (int SetUp = 1; SetUp <= 5; ++SetUp)
        Window.CloseSetUp();
    EXPECT_EQ(Window.System.ConnectCount, 5);
    const long Before = Count(Calls(), "SincNetworkTime");
    Window.Timers.clear();
    Window.CloseSetUp();
    EXPECT_EQ(Count(Calls(), "SincNetworkTime"), Before + 1);
    EXPECT_FALSE(Window.Timers.count(1)) << "once per setup, no more";
}

TEST_F(OnlineServicesTest, TheRefreshAddressJoinsUrlAndDocumentAsWritten)
{
    Online();
    WriteFile("HTTPRequest.script", "fail");
    Window.UpdateSysConf();
    WriteFile("sysConf.xml", Document("60", "http://127.0.0.1/zentavo"));
    Window.Document.LoadFromFile();
    Window.UpdateSysConf();
    EXPECT_THAT(Calls(), ElementsAre("HTTPRequest http://127.0.0.1/zentavo/sysConf.xml size=0",
                                     "HTTPRequest http://127.0.0.1/zentavosysConf.xml size=0"));
    EXPECT_FALSE(Window.System.SysConfOk);
}

TEST_F(OnlineServicesTest, AnEmptyBodyCountsAsDoneAndChangesNothing)
{
    Online();
    WriteFile("empty.xml", "");
    WriteFile("HTTPRequest.script", "empty.xml");
    const std::string Before = ReadFile("sysConf.xml");
    Window.RunLoop();
    EXPECT_TRUE(Window.System.SysConfOk);
    EXPECT_EQ(ReadFile("sysConf.xml"), Before);
    EXPECT_FALSE(Window.Timers.count(2));
    EXPECT_EQ(Count(Calls(), "HTTPRequest"), 1);
    EXPECT_EQ(Count(Calls(), "LiveUpdate"), 0);
}

TEST_F(OnlineServicesTest, ARefreshInstallsTheNewDocumentArmsTimerTwoAndRunsTheLiveUpdateOnce)
{
    Online();
    WriteFile("fresh.xml", Document("30", "http://127.0.0.1/novo/"));
    WriteFile("HTTPRequest.script", "fresh.xml");
    Window.UpdateSysConf();
    EXPECT_TRUE(Window.System.SysConfOk);
    EXPECT_EQ(Window.Timers.at(2), 1800000) << "30 minutes";
    TConfigDocument OnDisk;
    OnDisk.LoadFromFile();
    EXPECT_EQ(TConfigRefresh::RefreshAddress(OnDisk), "http://127.0.0.1/novo/sysConf.xml");
    EXPECT_EQ(TConfigRefresh::RefreshAddress(Window.Document), "http://127.0.0.1/novo/sysConf.xml");
    EXPECT_THAT(Calls(), ElementsAre(HasSubstr("HTTPRequest"), HasSubstr("wrote"), "LiveUpdate library children=4",
                                     "library weather", "library popup", "library images", "library lu",
                                     "child 4 is null"));
    EXPECT_EQ(ReadFile("LiveUpdate.record"), PatternRecordBytes());
}

TEST_F(OnlineServicesTest, ARefusedBodyLeavesTheDocumentOnDiskInForceAndIsTriedAgain)
{
    Online();
    WriteFile("SincNetworkTime.script", "1");
    const std::string Before = ReadFile("sysConf.xml");
    // Not well-formed; well-formed without a numeric "elapse"; without "elapse" at all.
    WriteFile("a.xml", "<zentavo><library>");
    WriteFile("b.xml", Document("meia hora", "http://127.0.0.1/b/"));
    WriteFile("c.xml", "<zentavo><library><popup><shopwindow/></popup></library></zentavo>");
    WriteFile("HTTPRequest.script", "a.xml\nb.xml\nc.xml\nfail");
    for (int Run = 0; Run < 5; ++Run) {
        Window.RunLoop();
        EXPECT_FALSE(Window.System.SysConfOk) << "run " << Run;
        EXPECT_EQ(ReadFile("sysConf.xml"), Before) << "run " << Run;
        EXPECT_EQ(TConfigRefresh::RefreshAddress(Window.Document), "http://127.0.0.1/zentavo/sysConf.xml")
            << "the document in memory is the one on disk again";
    }
    EXPECT_EQ(Count(Calls(), "HTTPRequest"), 5) << "tried again on every connected run";
    EXPECT_EQ(Count(Calls(), "LiveUpdate"), 0) << "never after a failed refresh";
    EXPECT_FALSE(Window.Timers.count(2)) << "an unusable interval was never armed";
    EXPECT_FALSE(Window.Timers.count(1)) << "five connected runs";
}

TEST_F(OnlineServicesTest, LiveUpdateFollowsEverySuccessfulRefreshAndNoFailedOne)
{
    Online();
    WriteFile("fresh.xml", Document("45"));
    WriteFile("HTTPRequest.script", "fail\nfresh.xml\nfail\nfresh.xml");
    for (int Refresh = 0; Refresh < 4; ++Refresh)
        Window.UpdateSysConf();
    EXPECT_EQ(Count(Calls(), "LiveUpdate"), 2);
    EXPECT_EQ(Window.Timers.at(2), 2700000);
}

TEST_F(OnlineServicesTest, MissingElementsAreCreatedInMemoryOnly)
{
    WriteFile("sysConf.xml", "<zentavo/>");
    Window.Document.LoadFromFile();
    EXPECT_THROW(TConfigRefresh::RefreshAddress(Window.Document), EConfigError) << "a missing attribute";
    EXPECT_TRUE(Window.Menu().ServiceEntries(Window.Document).empty());
    EXPECT_EQ(ReadFile("sysConf.xml"), "<zentavo/>");
    EXPECT_FALSE(Window.Document.Document().documentElement().firstChildElement("system")
                     .firstChildElement("link").isNull());
    EXPECT_FALSE(Window.Document.Document().documentElement().firstChildElement("services").isNull());
}

TEST_F(OnlineServicesTest, HostileBodiesAreRefusedQuicklyAndNeverReachTheDisk)
{
    Online();
    const std::string Before = ReadFile("sysConf.xml");
    std::string Laughs = "<?xml version=\"1.0\"?><!DOCTYPE zentavo [<!ENTITY a \"hahahahaha\">";
    for (char Level = 'b'; Level <= 'j'; ++Level)
        Laughs += std::string("<!ENTITY ") + Level + " \"" + std::string(10, '&') + "\">";
    Laughs += "]><zentavo>&j;</zentavo>";
    std::string Nested;
    for (int Level = 0; Level < 100000; ++Level)
        Nested += "<a>";
    WriteFile("laughs.xml", Laughs);
    WriteFile("external.xml", "<!DOCTYPE zentavo [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><zentavo>&x;</zentavo>");
    WriteFile("deep.xml", "<zentavo>" + Nested);
    WriteFile("huge.xml", "<zentavo>" + std::string(50 * 1024 * 1024, ' ') + "</zentavo>");
    WriteFile("HTTPRequest.script", "laughs.xml\nexternal.xml\ndeep.xml\nhuge.xml");
    for (int Body = 0; Body < 4; ++Body) {
        const auto Start = std::chrono::steady_clock::now();
        Window.UpdateSysConf();
        EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(1)) << "body " << Body;
        EXPECT_FALSE(Window.System.SysConfOk) << "body " << Body;
        EXPECT_EQ(ReadFile("sysConf.xml"), Before) << "body " << Body;
    }
}

TEST_F(OnlineServicesTest, ServiceItemsComeFromTheEntriesThatHaveEverythingAnItemNeeds)
{
    WriteFile("sysConf.xml",
              Document("60", "http://127.0.0.1/",
                       "<entry id=\"service_a\" link=\"http://127.0.0.1/a\" caption=\"A\"/>"
                       "<entry id=\"service_b\" link=\"http://127.0.0.1/b\"/>"
                       "<!-- a comment is no entry -->"
                       "<entry id=\"9service\" link=\"http://127.0.0.1/n\" caption=\"N\"/>"
                       "<other id=\"news\" link=\"http://127.0.0.1/c\" caption=\"C\"/>"));
    Window.Document.LoadFromFile();
    std::vector<std::string> Items;
    for (const auto& Entry : TServicesMenu::ServiceEntries(Window.Document))
        Items.push_back(Entry.Id + " " + Entry.Caption + " " + Entry.Link);
    EXPECT_THAT(Items, ElementsAre("service_a A http://127.0.0.1/a", "news C http://127.0.0.1/c"));
}

TEST_F(OnlineServicesTest, AServiceClickOpensTheLastEntryOfItsIdAndOthersOpenNothing)
{
    WriteFile("sysConf.xml",
              Document("60", "http://127.0.0.1/",
                       "<!-- first --><entry link=\"http://127.0.0.1/no-id\"/>"
                       "<entry id=\"service_x\" link=\"http://127.0.0.1/one\" caption=\"Um\" top=\"1\" left=\"1\" "
                       "width=\"1\" height=\"1\" delay=\"1\" style=\"1\"/>"
                       "<entry id=\"service_x\" link=\"http://127.0.0.1/two\" caption=\"Dois €ā\" top=\"10\" "
                       "left=\"20\" width=\"30\" height=\"40\" delay=\"50\" style=\"60\"/>"
                       "<entry id=\"news\" link=\"http://127.0.0.1/n\" caption=\"N\" top=\"1\" left=\"1\" "
                       "width=\"1\" height=\"1\" delay=\"1\" style=\"1\"/>"));
    Window.Document.LoadFromFile();
    Window.Menu().MenuServices(-1, "news");
    Window.Menu().MenuServices(-1, "service_gone");
    EXPECT_TRUE(Log().empty()) << "an id without \"service\", and one no entry has, open nothing";
    Window.Menu().MenuServices(-1, "service_x");
    EXPECT_THAT(Calls(), ElementsAre("GetBrowserWin window=yes 10 20 30 40 50 60"));
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(ReadFile("link.utf16").data()),
                                 ReadFile("link.utf16").size() / 2),
              "http://127.0.0.1/two");
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(ReadFile("caption.utf16").data()),
                                 ReadFile("caption.utf16").size() / 2),
              "Dois €?") << "through the 8-bit code page";
    EXPECT_TRUE(Window.System.Connected);
}

TEST_F(OnlineServicesTest, HelpForecastChannelAndAbout)
{
    Window.Menu().MenuServices(TServicesMenu::HelpTag, "Ajuda1");
    Window.Menu().AboutUs();
    EXPECT_THAT(Calls(), ElementsAre("GetBrowserWin window=yes 1 2 3 4 5 6",
                                     "GetBrowserWin window=null -25536 -1 300 200 7 0"));
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(ReadFile("caption.utf16").data()),
                                 ReadFile("caption.utf16").size() / 2),
              "Sobre ā") << "the about window's texts pass as read";
    Window.System.Connected = false;
    Window.Menu().MenuServices(TServicesMenu::ForecastTag, "WeatherForecast");
    EXPECT_TRUE(Window.System.Connected) << "\"Conexão\" shows True after the forecast item";
    EXPECT_THAT(Calls(), Contains(HasSubstr("WeatherChannel window=yes forecast font=Previsão")));
    Window.Menu().MenuServices(TServicesMenu::ChannelTag, "WeatherChannel");
    EXPECT_THAT(Window.FakeServices.Launcher.Opened(), ElementsAre("http://127.0.0.1/channel"));
}

TEST_F(OnlineServicesTest, AMissingAttributeStopsTheHandlerBeforeAnyWindow)
{
    WriteFile("sysConf.xml", "<zentavo><library><popup><help link=\"x\" caption=\"y\" top=\"1\" left=\"2\" "
                             "width=\"3\" height=\"4\" delay=\"cinco\" style=\"6\"/></popup></library>"
                             "<system><aboutus link=\"x\" caption=\"y\"/></system></zentavo>");
    Window.Document.LoadFromFile();
    EXPECT_THROW(Window.Menu().MenuServices(TServicesMenu::HelpTag, "Ajuda1"), EConfigError);
    EXPECT_THROW(Window.Menu().AboutUs(), EConfigError);
    EXPECT_THROW(Window.Menu().MenuServices(TServicesMenu::ChannelTag, "WeatherChannel"), EConfigError);
    EXPECT_TRUE(Log().empty());
}

TEST_F(OnlineServicesTest, TimerTwoRestartsTheOnlineTasksOnlyWhenOnline)
{
    Online("0\n1");
    Window.System.ConnectCount = 5;
    Window.System.Connected = true;
    Window.System.WeatherOk = true;
    Window.Menu().TimerPopUp();
    EXPECT_THAT(Log(), ElementsAre("beep", "load connection", "getConnectionStatus", "unload connection"));
    EXPECT_EQ(Window.System.ConnectCount, 5) << "offline: nothing changes";
    EXPECT_FALSE(Window.Timers.count(1));
    Window.Menu().TimerPopUp();
    EXPECT_EQ(Window.System.ConnectCount, 0);
    EXPECT_FALSE(Window.System.Connected);
    EXPECT_FALSE(Window.System.WeatherOk);
    EXPECT_EQ(Window.Timers.at(1), 30000);
}

TEST(WeatherCodeTest, TheFirstEntryThatContainsTheCityGivesTheCode)
{
    const auto Code = TWeatherForecast::WeatherCode;
    EXPECT_EQ(Code({"Rio de Janeiro|BR1", "São Paulo|BR2"}, "São Paulo"), "BR2");
    EXPECT_EQ(Code({"Rio Branco|BR3", "Rio de Janeiro|BR1"}, "Rio"), "BR3");
    EXPECT_EQ(Code({"Curitiba sem código"}, "Curitiba"), "Curitiba sem código");
    EXPECT_EQ(Code({"Natal|"}, "Natal"), "Natal") << "an empty code sends the city";
    EXPECT_EQ(Code({"Belém|A|B"}, "Belém"), "A|B") << "after the first bar";
    EXPECT_EQ(Code({"Rio|BR1"}, ""), "") << "an empty city matches nothing";
    EXPECT_EQ(Code({"Rio|BR1"}, "rio"), "rio") << "letter case counts";
    EXPECT_EQ(Code({}, "Manaus"), "Manaus");
}

TEST_F(OnlineServicesTest, TheWeatherReachesTheSpriteAndTheHeadsUpLineInOneChange)
{
    WriteFile("getProvinces.txt", "Rio de Janeiro, Brazil|-22.9064,-43.1822\r\nSão Paulo, Brazil|-23.5475,-46.6361\n");
    Window.WeatherForecast();
    EXPECT_TRUE(Window.System.WeatherOk);
    EXPECT_THAT(Calls(), Contains("getWeatherInfo window=4242 code=-23.5475,-46.6361 length=17"));
    EXPECT_EQ(ReadFile("getWeatherInfo.record"), PatternRecordBytes());
    EXPECT_THAT(Window.Scene, ElementsAre("attach", "begin", "text Céu limpo 25°", "picture", "reset", "end", "detach"));
    ASSERT_EQ(Window.Picture.size(), QSize(4, 4));
    EXPECT_EQ(Window.Picture.pixel(0, 3), 0xFF0000FFu) << "the see-through colour in the bottom-left pixel";
    EXPECT_EQ(Window.ChangeCount, 0);
    EXPECT_EQ(Window.Brush, nullptr);
}

TEST_F(OnlineServicesTest, WithoutTheWeatherLibraryTheLineKeepsItsTextAndEveryConnectedRunTriesAgain)
{
    QFile::remove("weather.so");
    Online();
    WriteFile("HTTPRequest.script", "empty.xml");
    WriteFile("empty.xml", "");
    Window.RunLoop();
    Window.RunLoop();
    EXPECT_FALSE(Window.System.WeatherOk);
    EXPECT_EQ(Window.HUDText, "") << "the window's own caption never reaches the line";
    EXPECT_EQ(Count(Window.Scene, "text "), 0);
    EXPECT_EQ(Count(Window.Scene, "picture"), 2) << "each run still dresses the sprite";
    EXPECT_TRUE(Window.Picture.isNull()) << "the empty bitmap";
    EXPECT_EQ(Window.Timers.at(1), 30000);
}

TEST_F(OnlineServicesTest, AFailedFetchOrPictureLeavesTheChangeCountBalanced)
{
    WriteFile("getWeatherInfo.script", "fail\nok");
    Window.WeatherForecast();
    EXPECT_FALSE(Window.System.WeatherOk);
    EXPECT_EQ(Window.ChangeCount, 0);
    Window.PictureFails = true;
    Window.WeatherForecast();
    EXPECT_FALSE(Window.System.WeatherOk) << "the library's true, then the picture failed";
    EXPECT_EQ(Window.ChangeCount, 0);
    EXPECT_THAT(Window.Scene, Contains("end"));
    EXPECT_EQ(Window.Scene.back(), "detach");
    EXPECT_EQ(Window.HUDText, "Céu limpo 25°") << "what was changed before the error stays";
}

} // namespace

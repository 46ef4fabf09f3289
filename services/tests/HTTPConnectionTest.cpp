#include "services/HTTPConnection.h"

#include "CompanionFakes.h"
#include "CompanionFolder.h"
#include "platform/testing/TestLibraryLoader.h"
#include "services/CompanionError.h"

#include <QByteArray>

using testing::ElementsAre;
using testing::HasSubstr;

class HTTPConnectionTest : public TCompanionFolder
{
protected:
    TTestLibraryLoader Loader;
    TRecordingSound Sound;
};

TEST_F(HTTPConnectionTest, BeepComesBeforeEveryQueryAndEachQueryLoadsAndReleases)
{
    Install({"connection.so"});
    THTTPConnection Connection(Loader, Sound);
    EXPECT_FALSE(Connection.getConnectionStatus());
    WriteFile("online.flag", "");
    EXPECT_TRUE(Connection.getConnectionStatus());
    EXPECT_EQ(Connection.EntryPoint(), nullptr);
    EXPECT_EQ(Connection.LibraryHandle(), nullptr);
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("beep", "load connection", "getConnectionStatus", "unload connection",
                                   "beep", "load connection", "getConnectionStatus", "unload connection"));
}

TEST_F(HTTPConnectionTest, MissingLibraryStillBeepsAndFindsNoConnection)
{
    WriteFile("online.flag", "");
    THTTPConnection Connection(Loader, Sound);
    EXPECT_FALSE(Connection.getConnectionStatus());
    EXPECT_THAT(Log(), ElementsAre("beep"));
}

TEST_F(HTTPConnectionTest, MissingExportsAnswerFalse)
{
    InstallHollow({"connection.so"});
    WriteFile("online.flag", "");
    WriteFile("response.txt", "<zentavo/>");
    THTTPConnection Connection(Loader, Sound);
    QByteArray Body;
    EXPECT_FALSE(Connection.getConnectionStatus());
    EXPECT_FALSE(Connection.HTTPRequest("http://localhost/sysConf.xml", PatternConnection(), Body));
    EXPECT_FALSE(Connection.SincNetworkTime("time.local", PatternConnection(), true));
    EXPECT_TRUE(Body.isEmpty());
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("beep", "load connection", "unload connection", "load connection",
                                   "unload connection", "load connection", "unload connection"));
}

TEST_F(HTTPConnectionTest, RequestFillsTheStreamAndPassesTheRecordByValue)
{
    Install({"connection.so"});
    const std::string Document = "<?xml version=\"1.0\"?>\n<zentavo><library/></zentavo>\n";
    WriteFile("response.txt", Document);
    THTTPConnection Connection(Loader, Sound);
    QByteArray Body;
    EXPECT_TRUE(Connection.HTTPRequest("http://localhost/conf/sysConf.xml", PatternConnection(), Body));
    EXPECT_EQ(Body.toStdString(), Document);
    EXPECT_EQ(ReadFile("HTTPRequest.record"), PatternRecordBytes());
    EXPECT_THAT(Log(), ElementsAre("load connection", "HTTPRequest http://localhost/conf/sysConf.xml size=0",
                                   "wrote " + std::to_string(Document.size()) +
                                       ", size=" + std::to_string(Document.size()),
                                   "unload connection"));
}

TEST_F(HTTPConnectionTest, EmptyBodyIsASuccessWithoutDocumentAndAFailureIsFalse)
{
    Install({"connection.so"});
    THTTPConnection Connection(Loader, Sound);
    QByteArray Body;
    EXPECT_FALSE(Connection.HTTPRequest("http://localhost/x", TUserConnection(), Body));
    WriteFile("response.txt", "");
    EXPECT_TRUE(Connection.HTTPRequest("http://localhost/x", TUserConnection(), Body));
    EXPECT_TRUE(Body.isEmpty());
}

TEST_F(HTTPConnectionTest, TimeSynchronisationPassesWhetherTheUserMayBeAskedTheServerAndTheRecord)
{
    Install({"connection.so"});
    THTTPConnection Connection(Loader, Sound);
    EXPECT_TRUE(Connection.SincNetworkTime("a.ntp.local", PatternConnection(), true));
    EXPECT_EQ(ReadFile("SincNetworkTime.record"), PatternRecordBytes());
    EXPECT_FALSE(Connection.SincNetworkTime("", PatternConnection(), false));
    EXPECT_THAT(Log(), ElementsAre("load connection", "SincNetworkTime interactive=1 server=a.ntp.local",
                                   "unload connection", "load connection",
                                   "SincNetworkTime interactive=0 server=", "unload connection"));
}

TEST_F(HTTPConnectionTest, ExceptionFromALibraryArrivesAsAnErrorAfterTheRelease)
{
    InstallThrowing("connection.so");
    THTTPConnection Connection(Loader, Sound);
    try {
        Connection.getConnectionStatus();
        FAIL() << "the library's exception vanished";
    } catch (const ECompanionError& Error) {
        EXPECT_THAT(Error.what(), HasSubstr("getConnectionStatus"));
        EXPECT_THAT(Error.what(), HasSubstr("modem on fire"));
    }
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_EQ(Connection.EntryPoint(), nullptr);
}

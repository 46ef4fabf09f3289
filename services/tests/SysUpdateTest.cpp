#include "services/SysUpdate.h"

#include "CompanionFakes.h"
#include "CompanionFolder.h"
#include "platform/testing/TestLibraryLoader.h"

#include <QDomDocument>

using testing::ElementsAre;

namespace {

QDomDocument Libraries()
{
    QDomDocument Document;
    Document.setContent(
        QByteArray("<zentavo><library url=\"http://localhost/lu\">"
                   "<weather version=\"2\"/><!-- staged later --><popup/></library></zentavo>"));
    return Document;
}

} // namespace

using SysUpdateTest = TCompanionFolder;

TEST_F(SysUpdateTest, LibraryReadsTheElementTreeAndGetsTheRecordByValue)
{
    Install({"lu.so"});
    const QDomDocument Document = Libraries();
    TTestLibraryLoader Loader;
    TSysUpdate Update(Loader);
    Update.LiveUpdate(Document.documentElement().firstChildElement("library"), PatternConnection());
    EXPECT_EQ(ReadFile("LiveUpdate.record"), PatternRecordBytes());
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_EQ(Update.EntryPoint(), nullptr);
    EXPECT_THAT(Log(), ElementsAre("load lu", "LiveUpdate library children=2", "library weather version=2",
                                   "library popup", "child 2 is null", "unload lu"));
}

TEST_F(SysUpdateTest, MissingLibraryOrExportDoesNothing)
{
    const QDomDocument Document = Libraries();
    TTestLibraryLoader Loader;
    TSysUpdate(Loader).LiveUpdate(Document.documentElement(), PatternConnection());
    InstallHollow({"lu.so"});
    TSysUpdate(Loader).LiveUpdate(Document.documentElement(), PatternConnection());
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load lu", "unload lu"));
}

#include "ConfigRefresh.h"

#include "services/ConfigDocument.h"
#include "services/HTTPConnection.h"
#include "services/SysUpdate.h"
#include "state/GMT_System.h"

#include <QByteArray>

TConfigRefresh::TConfigRefresh(TConfigDocument& Document, TGMT_System& System, Platform::TLibraryLoader& Libraries,
                               Platform::TSound& Sound, TConfigRefreshActions& Actions)
    : FDocument(Document), FSystem(System), FLibraries(Libraries), FSound(Sound), FActions(Actions)
{}

std::string TConfigRefresh::RefreshAddress(TConfigDocument& Document)
{
    const std::string Url = TConfigDocument::Attribute(Document.Element("zentavo/system/link"), "url");
    return Url + TConfigDocument::Attribute(Document.Element("zentavo/system/link/config"), "document");
}

void TConfigRefresh::Run()
{
    THTTPConnection Connection(FLibraries, FSound);
    try {
        QByteArray Body;
        FSystem.SysConfOk = Connection.HTTPRequest(RefreshAddress(FDocument), FSystem.Connection, Body);
        // An empty answer means there is nothing newer.
        if (!FSystem.SysConfOk || Body.isEmpty())
            return;
        FDocument.LoadFromBytes(Body);
        Body.clear();
        FActions.ArmPopUpTimer(FDocument.PopUpInterval());
        FDocument.SaveToFile();
        FActions.LiveUpdate();
    } catch (...) {
        // Shown nowhere: the next connected run tries again with the document on disk.
        FSystem.SysConfOk = false;
        FDocument.LoadFromFile();
    }
}

void RunLiveUpdate(TConfigDocument& Document, const TGMT_System& System, Platform::TLibraryLoader& Libraries)
{
    TSysUpdate(Libraries).LiveUpdate(Document.Element("zentavo/library"), System.Connection);
}

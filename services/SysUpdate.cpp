#include "SysUpdate.h"

#include "HostElement.h"
#include "state/UserConnection.h"

void TSysUpdate::LiveUpdate(const QDomElement& Library, const TUserConnection& Connection)
{
    Call<ZTLiveUpdateFunction>(ZT_LIVE_UPDATE_LIBRARY, "LiveUpdate", [&](ZTLiveUpdateFunction* Function) {
        THostElement Element(Library);
        Function(Element.Object(), Connection.Record());
    });
}

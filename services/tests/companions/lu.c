#include "Record.h"
#include "services/zentavo_companion.h"

ZT_EXPORT ZTLiveUpdateFunction LiveUpdate;

void LiveUpdate(ZTElement* Library, ZTUserConnection Connection)
{
    ZtSaveBytes("LiveUpdate.record", &Connection, sizeof Connection);
    char Name[64];
    Library->Methods->Name(Library, Name, sizeof Name);
    const int32_t Count = Library->Methods->ChildCount(Library);
    ZtLog("LiveUpdate %s children=%d", Name, (int)Count);
    for (int32_t Index = 0; Index < Count; ++Index) {
        ZTElement* Child = Library->Methods->Child(Library, Index);
        char Version[64];
        Child->Methods->Name(Child, Name, sizeof Name);
        if (Child->Methods->Attribute(Child, "version", Version, sizeof Version) < 0)
            ZtLog("library %s", Name);
        else
            ZtLog("library %s version=%s", Name, Version);
    }
    ZtLog("child %d is %s", (int)Count, Library->Methods->Child(Library, Count) ? "there" : "null");
}

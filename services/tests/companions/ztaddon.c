#include "Record.h"
#include "services/zentavo_companion.h"

#include <stdlib.h>
#include <string.h>

ZT_EXPORT ZTSysShootDownFunction SysShootDown;
ZT_EXPORT ZTGetGMTLocationsFunction getGMTLocations;
ZT_EXPORT ZTGetProvincesFunction getProvinces;
ZT_EXPORT ZTGetTimeServersFunction getTimeServers;

/* The last list handed out; spoiled and freed at unload, as a library that
   owns its result may do. */
static char* Held;
static size_t HeldSize;

static const char* List(const char* Export)
{
    char FileName[64];
    strcpy(FileName, Export);
    strcat(FileName, ".txt");
    free(Held);
    Held = ZtReadFile(FileName, &HeldSize);
    ZtLog("%s %s", Export, Held ? "text" : "null");
    return Held;
}

__attribute__((destructor)) static void Spoil(void)
{
    if (Held != NULL) {
        memset(Held, '#', HeldSize);
        free(Held);
        Held = NULL;
    }
}

int32_t SysShootDown(void)
{
    ZtLog("SysShootDown");
    return 1234;
}

const char* getGMTLocations(void)
{
    return List("getGMTLocations");
}
const char* getProvinces(void)
{
    return List("getProvinces");
}
const char* getTimeServers(void)
{
    return List("getTimeServers");
}

/* Every stand-in logs when it is loaded and unloaded, so that tests can see
   each call pay its own load and release. */
#include "Record.h"

__attribute__((constructor)) static void Loaded(void)
{
    ZtLog("load %s", ZT_COMPANION_NAME);
}
__attribute__((destructor)) static void Unloaded(void)
{
    ZtLog("unload %s", ZT_COMPANION_NAME);
}

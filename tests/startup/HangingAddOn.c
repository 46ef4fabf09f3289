/* An add-on library whose shutdown request never returns in time, as one
 * waiting on a session manager that does not answer: it leaves a mark in the
 * working folder when asked, then holds the calling thread for a minute. */
#include "zentavo_companion.h"

#include <stdio.h>
#include <unistd.h>

ZT_EXPORT ZTSysShootDownFunction SysShootDown;

int32_t SysShootDown(void)
{
    FILE* Mark = fopen("shutdown-asked", "w");
    if (Mark != NULL)
        fclose(Mark);
    sleep(60);
    return 0;
}

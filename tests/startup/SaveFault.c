/* Preloaded into the program by the start-up test: while the file named by
 * ZENTAVO_TEST_SAVE_FAULT exists, replacing the settings store fails with EIO,
 * as a failing disk would make it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int rename(const char* From, const char* To)
{
    static int (*RealRename)(const char*, const char*) = NULL;
    if (RealRename == NULL)
        RealRename = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    const char* Marker = getenv("ZENTAVO_TEST_SAVE_FAULT");
    const size_t Length = strlen(To);
    const char* Store = "registry.reg";
    if (Marker != NULL && access(Marker, F_OK) == 0 && Length >= strlen(Store) &&
        strcmp(To + Length - strlen(Store), Store) == 0) {
        errno = EIO;
        return -1;
    }
    return RealRename(From, To);
}

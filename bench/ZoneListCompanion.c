/* A stand-in add-on library for the setup dialog's benchmark: 600 time-zone
 * entries, 24 weather cities and 10 time servers. */
#include <stdio.h>
#include <string.h>

static char Zones[600 * 48];

__attribute__((visibility("default"))) const char* getGMTLocations(void)
{
    if (Zones[0] == '\0') {
        size_t Used = 0;
        for (int Index = 0; Index < 600; ++Index) {
            const int Offset = Index % 25 - 12;
            Used += (size_t)snprintf(Zones + Used, sizeof Zones - Used, "(GMT %c%02d:00) City %03d, Country\n",
                                     Offset < 0 ? '-' : '+', Offset < 0 ? -Offset : Offset, Index);
        }
    }
    return Zones;
}

__attribute__((visibility("default"))) const char* getProvinces(void)
{
    return "Recife, Brasil|-8.0539,-34.8811\nNatal, Brasil|-5.7950,-35.2094\nSao Paulo, Brasil|-23.5475,-46.6361\n"
           "Lisboa, Portugal|38.7167,-9.1333\nPorto, Portugal|41.1496,-8.6110\nLuanda, Angola|-8.8368,13.2343\n";
}

__attribute__((visibility("default"))) const char* getTimeServers(void)
{
    return "pool.ntp.org\na.st1.ntp.br\nb.st1.ntp.br\ntime.google.com\ntime.cloudflare.com\n";
}

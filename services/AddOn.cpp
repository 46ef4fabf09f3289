#include "AddOn.h"

#include "LibraryBinding.h"
#include "state/TextLines.h"
#include "zentavo_companion.h"

namespace {

class TAddOnLibrary : public TLibraryBinding
{
public:
    explicit TAddOnLibrary(Platform::TLibraryLoader& Loader) : TLibraryBinding(Loader) {}

    std::int32_t SysShootDown()
    {
        std::int32_t Result = 0;
        Call<ZTSysShootDownFunction>(ZT_ADDON_LIBRARY, "SysShootDown",
                                     [&](ZTSysShootDownFunction* Function) { Result = Function(); });
        return Result;
    }

    // The list export ExportName; its text belongs to the library, so it is
    // split (copied) before the library goes.
    std::vector<std::string> List(const char* ExportName)
    {
        std::vector<std::string> Lines;
        Call<ZTGetProvincesFunction>(ZT_ADDON_LIBRARY, ExportName, [&](ZTGetProvincesFunction* Function) {
            if (const char* Text = Function())
                Lines = SplitLines(Text);
        });
        return Lines;
    }
};

} // namespace

std::int32_t SysShootDown(Platform::TLibraryLoader& Loader)
{
    return TAddOnLibrary(Loader).SysShootDown();
}

std::vector<std::string> getGMTLocations(Platform::TLibraryLoader& Loader)
{
    return TAddOnLibrary(Loader).List("getGMTLocations");
}

std::vector<std::string> getProvinces(Platform::TLibraryLoader& Loader)
{
    return TAddOnLibrary(Loader).List("getProvinces");
}

std::vector<std::string> getTimeServers(Platform::TLibraryLoader& Loader)
{
    return TAddOnLibrary(Loader).List("getTimeServers");
}

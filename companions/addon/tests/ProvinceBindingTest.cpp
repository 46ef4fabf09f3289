// The weather cities as the program receives them: ztaddon.so and the list in
// the working folder, through the program's own binding, then the name the
// dialog shows and stores, then the code the weather search finds for it.
#include "app/online/WeatherForecast.h"
#include "platform/LinuxLibraryLoader.h"
#include "services/AddOn.h"
#include "setup/SetUpTransfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// The clock's own search for the weather code of the stored city.
const auto WeatherCode = TWeatherForecast::WeatherCode;

TEST(ProvinceBindingTest, EveryCityTheDialogOffersGivesTheWeatherItsOwnCoordinates)
{
    std::filesystem::copy_file(ZENTAVO_ADDON_LIBRARY, "ztaddon.so");
    std::filesystem::permissions("ztaddon.so", std::filesystem::perms::owner_all);
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/weather-cities.txt", "weather-cities.txt");
    Platform::TLinuxLibraryLoader Loader;
    const std::vector<std::string> Entries = getProvinces(Loader);
    ASSERT_GT(Entries.size(), 2000u);
    for (const std::string& Entry : Entries) {
        const std::string City = TSetUpTransfer::CityOfProvince(Entry);
        ASSERT_FALSE(City.empty()) << Entry;
        EXPECT_EQ(City + "|" + WeatherCode(Entries, City), Entry);
    }
    EXPECT_EQ(WeatherCode(Entries, "São Paulo, Brazil"), "-23.5475,-46.6361");
    EXPECT_EQ(WeatherCode(Entries, "São Paulo"), "-23.5475,-46.6361");
}

} // namespace

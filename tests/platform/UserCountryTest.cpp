#include "platform/UserCountry.h"

#include <gtest/gtest.h>

TEST(UserCountry, CountryCodesToNationIds)
{
    EXPECT_EQ(platform::GeoIdForCountryCode("LT"), 141u);
    EXPECT_EQ(platform::GeoIdForCountryCode("lv"), 140u);
    EXPECT_EQ(platform::GeoIdForCountryCode("XX"), 0u);
    EXPECT_EQ(platform::GeoIdForCountryCode(""), 0u);

    platform::SetUserCountryForTests("RU");
    EXPECT_EQ(platform::UserGeoId(), 203u);
    platform::SetUserCountryForTests("");
    EXPECT_EQ(platform::UserGeoId(), 0u);
    platform::SetUserCountryForTests(QString());
}

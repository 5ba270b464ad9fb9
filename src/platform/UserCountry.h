#pragma once
// The user's country, as the nation identifier (GeoID) of Windows' table of
// geographical locations: the numbers APN.txt gives its locations. Taken from the
// system locale's territory.
#include <QString>

#include <cstdint>

namespace platform {

// The user's nation GeoID; 0 when no country is known or it has no GeoID here.
std::uint32_t UserGeoId();

// The GeoID of a country given by its ISO 3166 two-letter code (any case); 0 for an
// unknown code.
std::uint32_t GeoIdForCountryCode(const QString& code);

// Tests only: take the user's country from this two-letter code instead of the system
// locale (an unknown code means no country); a null text restores the system locale.
void SetUserCountryForTests(const QString& code);

} // namespace platform

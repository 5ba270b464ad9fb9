#include "platform/UserCountry.h"

#include <QLocale>

#include <optional>

namespace platform {

namespace {

struct CountryGeo {
    const char* code;
    std::uint32_t geoId;
};

// ISO 3166 alpha-2 code to the Windows nation identifier.
constexpr CountryGeo kCountries[] = {
    {"AD", 8},   {"AE", 224}, {"AL", 6},   {"AM", 7},   {"AR", 11},  {"AT", 14},  {"AU", 12},
    {"AZ", 5},   {"BA", 25},  {"BD", 23},  {"BE", 21},  {"BG", 35},  {"BH", 17},  {"BO", 26},
    {"BR", 32},  {"BY", 29},  {"CA", 39},  {"CH", 223}, {"CL", 46},  {"CN", 45},  {"CO", 51},
    {"CY", 59},  {"CZ", 75},  {"DE", 94},  {"DK", 61},  {"DZ", 4},   {"EC", 66},  {"EE", 70},
    {"EG", 67},  {"ES", 217}, {"FI", 77},  {"FO", 81},  {"FR", 84},  {"GB", 242}, {"GE", 88},
    {"GL", 93},  {"GR", 98},  {"HK", 104}, {"HR", 108}, {"HU", 109}, {"ID", 111}, {"IE", 68},
    {"IL", 117}, {"IN", 113}, {"IQ", 121}, {"IR", 116}, {"IS", 110}, {"IT", 118}, {"JO", 126},
    {"JP", 122}, {"KE", 129}, {"KG", 130}, {"KR", 134}, {"KW", 136}, {"KZ", 137}, {"LB", 139},
    {"LI", 145}, {"LT", 141}, {"LU", 147}, {"LV", 140}, {"MA", 159}, {"MC", 158}, {"MD", 152},
    {"ME", 270}, {"MN", 154}, {"MT", 163}, {"MX", 166}, {"MY", 167}, {"NG", 175}, {"NL", 176},
    {"NO", 177}, {"NZ", 183}, {"OM", 164}, {"PE", 187}, {"PH", 201}, {"PK", 190}, {"PL", 191},
    {"PT", 193}, {"QA", 197}, {"RO", 200}, {"RS", 271}, {"RU", 203}, {"SA", 205}, {"SE", 221},
    {"SG", 215}, {"SI", 212}, {"SK", 143}, {"SM", 214}, {"TH", 227}, {"TJ", 228}, {"TM", 238},
    {"TN", 234}, {"TR", 235}, {"TW", 237}, {"UA", 241}, {"US", 244}, {"UY", 246}, {"UZ", 247},
    {"VA", 253}, {"VE", 249}, {"VN", 251}, {"ZA", 209},
};

std::optional<QString>& testCountry()
{
    static std::optional<QString> code;
    return code;
}

} // namespace

std::uint32_t GeoIdForCountryCode(const QString& code)
{
    const QByteArray c = code.toUpper().toLatin1();
    for (const CountryGeo& g : kCountries)
        if (c == g.code)
            return g.geoId;
    return 0;
}

std::uint32_t UserGeoId()
{
    if (testCountry())
        return GeoIdForCountryCode(*testCountry());
    const QLocale::Territory territory = QLocale::system().territory();
    if (territory == QLocale::AnyTerritory)
        return 0;
    return GeoIdForCountryCode(QLocale::territoryToCode(territory));
}

void SetUserCountryForTests(const QString& code)
{
    if (code.isNull())
        testCountry().reset();
    else
        testCountry() = code;
}

} // namespace platform

// APN.txt reader: byte-order mark detection, line kinds and the search lookups.
#include <cstddef>
#include <cstdint>

#include "editor/APNCatalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TAPNLocations cat;
    ParseAPNCatalogue(DecodeAPNText(bytes), cat);
    for (const TAPNLocation& l : cat) {
        const int i = PreselectAPNLocation(cat, l.GeoId);
        if (i >= 0 && static_cast<std::size_t>(i) < cat.size())
            for (const TAPNOperator& o : cat[static_cast<std::size_t>(i)].Operators)
                FindAPNOperator(l, o.Name);
        FindAPNLocation(cat, l.Location);
    }
    return 0;
}

// CID_Descriptions.txt reader, then every entry packed and its code unpacked and looked up.
#include <cstddef>
#include <cstdint>

#include "editor/CIDCatalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TCIDDescriptions cat;
    ParseCIDDescriptions(content, cat);
    int p = 0;
    for (const TCIDDescription& e : cat) {
        TCIDParamKind k;
        LookupCIDParamKind(e.ParamKind1, k);
        const TContactIDCode cid = EncodeContactID(e, (p % 101) - 1, (p * 37 % 1001) - 1);
        QByteArray key;
        int group = 0, zone = 0;
        DecodeContactID(cid, key, group, zone);
        int index = 0;
        FindCIDByCode(cat, key, index);
        TCIDDescription found;
        FindCIDByDescription(cat, e.Description, found);
        QByteArray sms;
        BuildCIDSmsText(e.Code, e.Description, e.FileDescription, [](int n) { return QByteArray::number(n); }, sms);
        ++p;
    }
    // Any 5 bytes unpack.
    if (size >= 5) {
        TContactIDCode raw(data, data + 5);
        QByteArray key;
        int group = 0, zone = 0;
        DecodeContactID(raw, key, group, zone);
    }
    return 0;
}

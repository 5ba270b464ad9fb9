// libFuzzer target: the comps.txt reader, the message lookup and the language check on
// arbitrary bytes.
#include "lang/Kalbos.h"
#include "lang/SmsCharset.h"
#include "lang/asciiTOunicode.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ClearLanguages();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray error;
    LoadLanguageData(bytes, "comps.txt", error);
    (void)CheckLanguageTable();
    for (int32_t i = 0; i < Languages.size(); ++i) {
        SelectLanguage(i);
        for (int32_t n = 0; n <= Languages[i].Messages.size() + 1; ++n) {
            const QByteArray m = GetLangMessage(n);
            (void)AnsiToUnicode(m, CurrentCodeTable);
            (void)DecodeSmsText(EncodeSmsText(m));
        }
    }
    ClearLanguages();
    return 0;
}

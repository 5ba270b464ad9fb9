// Arbitrary words and texts from the module through the decoders of the control words,
// flag bytes and value forms; where a decoder and its builder pair up, the round trip must
// give back every bit the word carries.
#include "editor/Encodings.h"
#include "link/UnitEil.h"
#include "link/VEQ2_Packets.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t w = 0;
    std::memcpy(&w, data, size < 4 ? size : 4);
    const std::uint8_t b = size > 4 ? data[4] : 0;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Channel word: decode into controls with up to 15 protocols each, build again.
    TTCPCRControls c;
    c.ComboBox1Count = b & 0xF;
    c.ComboBox3Count = b >> 4;
    c.TntCheckBox25Visible = (w & 1u) != 0;
    c.TntCheckBox26Visible = (w & 2u) != 0;
    ApplyTCPCR(w, c);
    if (c.ComboBox1Index < 0 || (c.ComboBox1Count > 0 && c.ComboBox1Index >= c.ComboBox1Count))
        std::abort();
    const std::uint32_t cr = BuildTCPCR(c, 3000);
    if ((cr & ~0x33003BFFu) != 0 || (cr & 0x300u) == 0x200u)
        std::abort();

    if (BuildVEQ2CR(DecodeVEQ2CR(w)) != (w & 0x03FFFF7Du))
        std::abort();
    if (BuildSMSPSTNCR(DecodeSMSPSTNCR(w)) != (w & 0x401F0080u))
        std::abort();
    if (BuildPnCR(DecodePnCR(b)) != b || BuildPnAddCR(DecodePnAddCR(b)) != (b & 0x3F))
        std::abort();
    if (BuildPGMMask(DecodePGMMask(b)) != (b & 0xF0))
        std::abort();
    if (BuildInputCR(DecodeInputCR(b)) != (b & 0x6F) || BuildOutputCR(DecodeOutputCR(b)) != (b & 0x1F))
        std::abort();

    const QByteArray pin = AccessPINFromWord(w);
    if (pin.size() > 8 || pin.contains('F'))
        std::abort();
    try {
        if (AccessPINFromWord(AccessPINToWord(pin)) != pin) // digits only: back unchanged
            std::abort();
    } catch (const EConvertError&) {
        // hexadecimal digits A-E in the word are no PIN
    }

    const THeartbeatControls h = DecodeHeartbeat(static_cast<std::uint16_t>(w));
    if (h.TntEdit4.size() != 3 || HeartbeatIdFromText(h.TntEdit4) != (w & 0x0FFFu))
        std::abort();
    (void)HeartbeatIdFromText(text);

    if (BytesToHexKey(text).size() != 32)
        std::abort();
    try {
        if (HexKeyToBytes(text).size() != 16)
            std::abort();
    } catch (const EHexError&) {
    }

    QByteArray host, port;
    SplitHostPort(text, host, port);
    if (port.size() > 5 || host.contains(':'))
        std::abort();

    const QTime t = SecondsToTime(static_cast<int>(w & 0xFFFF));
    if (!t.isValid() || TimeToSeconds(t) != static_cast<int>(w & 0xFFFF))
        std::abort();
    return 0;
}

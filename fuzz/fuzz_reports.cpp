// Arbitrary input reports through the status, reply and state decoders.
#include "link/VEQ2_Packets.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0)
        (void)packets::DecodeStatus(data[0]);
    const packets::TReply r = packets::DecodeReply(data, size);
    if (r.Kind == packets::TReplyKind::InputSetting && r.CID.size() != 5)
        std::abort();
    if (r.Text.size() > 51)
        std::abort();
    const packets::TStateRecord s = packets::DecodeState(data, size);
    if (static_cast<std::size_t>(s.Text.size()) + 10 > size && !s.Text.isEmpty())
        std::abort();
    return 0;
}

// Replies of a hostile server, arriving in pieces of any size: the probe's verdict never reads
// past what arrived, and a complete reply always gives a terminated text.
#include "ServerProbeSocket.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const size_t piece = data[0] % 16 + 1;
    std::vector<BYTE> received;
    for (size_t at = 1; at < size; at += piece) {
        const size_t take = std::min(piece, size - at);
        received.insert(received.end(), data + at, data + at + take);
        if (received.size() > static_cast<size_t>(CServerProbeSocket::kReceiveSize)) {
            break;
        }
        const int status = CServerProbeSocket::JudgeReply(received.data(), static_cast<int>(received.size()));
        if (status == CServerProbeSocket::STATUS_COMPLETE &&
            !std::memchr(received.data() + 4, 0, received.size() - 4)) {
            __builtin_trap();
        }
        if (status >= 0) {
            break;
        }
    }
    return 0;
}

// Decoding of event frames as the library receives them: the type, the block in its layout with
// every text ended within its field, and for the two list events the worn items.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace yonda::proto {

struct DecodedEvent {
    bool message = false; // instant-message event rather than a place event
    uint8_t type = 0;
    std::vector<uint8_t> block;              // exactly the layout's size
    std::vector<std::vector<uint8_t>> items; // list events: 8-byte worn items
};

// Nothing when the frame is not an event or does not match its layout exactly.
std::optional<DecodedEvent> decodeEvent(const uint8_t* frame, size_t size);

// A reply's request number and status, and where its fields start; nothing when too short.
struct ReplyHead {
    uint8_t command = 0;
    uint32_t id = 0;
    uint8_t status = 0;
};
std::optional<ReplyHead> decodeReplyHead(const uint8_t* frame, size_t size);

} // namespace yonda::proto

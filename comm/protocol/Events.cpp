#include "Events.h"

#include "Layouts.h"
#include "Protocol.h"
#include "Wire.h"

namespace yonda::proto {

std::optional<DecodedEvent> decodeEvent(const uint8_t* frame, size_t size)
{
    auto header = wire::parseHeader(frame, size);
    if (!header || header->totalLength != size)
        return std::nullopt;
    if (header->command != PlaceEvent && header->command != MessageEvent)
        return std::nullopt;
    wire::Reader reader(frame + wire::kHeaderSize, size - wire::kHeaderSize);
    DecodedEvent event;
    event.message = header->command == MessageEvent;
    event.type = reader.u8();
    const Layout* layout = nullptr;
    if (event.message)
        layout = messageEventLayout(event.type);
    else if (event.type == EvEntered)
        layout = &kEnteredHeadLayout;
    else if (event.type == EvAvatarInfo)
        layout = &kAvatarEventHeadLayout;
    else
        layout = placeEventLayout(event.type);
    if (!reader.ok() || !layout)
        return std::nullopt;
    event.block = reader.bytes(layout->size);
    if (!reader.ok())
        return std::nullopt;
    terminateTexts(event.block.data(), *layout);
    if (!event.message && isListEvent(event.type)) {
        uint8_t count = reader.u8();
        if (count > kMaxWornItems)
            return std::nullopt;
        for (uint8_t i = 0; i < count; ++i)
            event.items.push_back(reader.bytes(kWornItemLayout.size));
    }
    if (!reader.done())
        return std::nullopt;
    return event;
}

std::optional<ReplyHead> decodeReplyHead(const uint8_t* frame, size_t size)
{
    auto header = wire::parseHeader(frame, size);
    if (!header || header->totalLength != size)
        return std::nullopt;
    wire::Reader reader(frame + wire::kHeaderSize, size - wire::kHeaderSize);
    ReplyHead head;
    head.command = header->command;
    head.id = reader.u32();
    head.status = reader.u8();
    if (!reader.ok())
        return std::nullopt;
    return head;
}

} // namespace yonda::proto

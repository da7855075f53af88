// Feeds arbitrary bytes to the frame assembler in uneven pieces and decodes every frame it yields
// as an event and as a reply, the way the library's receive thread does.
#include <cstddef>
#include <cstdint>

#include "protocol/Events.h"
#include "protocol/Wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace yonda;
    wire::FrameAssembler assembler;
    size_t offset = 0;
    size_t piece = size ? (data[0] % 7) + 1 : 1;
    while (offset < size) {
        size_t count = size - offset < piece ? size - offset : piece;
        assembler.append(data + offset, count);
        offset += count;
        piece = piece * 3 % 97 + 1;
        while (auto frame = assembler.next()) {
            proto::decodeEvent(frame->data(), frame->size());
            proto::decodeReplyHead(frame->data(), frame->size());
            wire::Reader reader(frame->data(), frame->size());
            reader.u32();
            reader.text(frame->size() > 8 ? frame->data()[4] : 22);
            reader.f32();
        }
        if (assembler.failed())
            break;
    }
    return 0;
}

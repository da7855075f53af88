#include "KraWriter.h"

namespace world {

Bytes WriteAvatarList(const AvatarList& list)
{
    ByteWriter w;
    w.U32(list.header1);
    w.U32(list.header2);
    w.U32(list.key);
    w.I32(static_cast<std::int32_t>(list.items.size()));
    for (const AvatarListEntry& entry : list.items) {
        w.U32(entry.kind);
        w.CountedText(entry.itemFile);
    }
    return w.Take();
}

} // namespace world

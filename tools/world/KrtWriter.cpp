#include "KrtWriter.h"

namespace world {

Bytes WriteKrt(const Bytes& imageFile)
{
    ByteWriter w;
    w.U32(0); // tag: not read
    w.U32(static_cast<std::uint32_t>(imageFile.size()));
    w.Raw(imageFile);
    return w.Take();
}

} // namespace world

// Every image decoder on arbitrary bytes: a decode either fails cleanly or gives pixels that
// match the size it reports.
#include <cstdint>
#include <cstdlib>

#include "ImageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace yonda::d3d8;
    DecodedImage image;
    if (SUCCEEDED(DecodeImage(data, size, &image)) && image.levels.empty() &&
        image.argb.size() != size_t(image.width) * image.height) {
        std::abort();
    }
    // Each of our parsers also on its own, whatever the signature says.
    for (auto decode : {DecodeBmp, DecodeTga, DecodeDds}) {
        DecodedImage other;
        if (SUCCEEDED(decode(data, size, &other)) && other.levels.empty() &&
            other.argb.size() != size_t(other.width) * other.height) {
            std::abort();
        }
    }
    return 0;
}

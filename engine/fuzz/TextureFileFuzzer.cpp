// Any bytes as a KRT file.
#include "KRATextureFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* image = nullptr;
    size_t length = 0;
    if (KRAParseTextureFile(data, size, image, length) && length > 0) {
        // The image must lie inside the input.
        volatile uint8_t last = image[length - 1];
        (void)last;
    }
    return 0;
}

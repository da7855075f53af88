// Windows bitmaps as textures, read by the GDI layer's bitmap reader: 1, 4, 8 bits with a
// palette, 16 (5-5-5 or bit fields), 24 and 32 bits, bottom-up or top-down. Run-length
// compressed bitmaps are refused.
#include "ImageDecoder.h"

#include "../gdi/Dib.h"

namespace yonda::d3d8 {

HRESULT DecodeBmp(const BYTE* data, size_t size, DecodedImage* image)
{
    gdi::DibFormat format;
    const uint8_t* bits = nullptr;
    if (!gdi::ReadBmpFile(data, size, format, &bits) || !SaneSize(UINT(format.width), UINT(format.height)))
        return D3DXERR_INVALIDDATA;
    image->width = UINT(format.width);
    image->height = UINT(format.height);
    image->argb.resize(size_t(format.width) * size_t(format.height));
    gdi::DecodeDibPixels(format, bits, image->argb.data());
    if (format.alphaMask) {
        image->format = D3DFMT_A8R8G8B8;
    } else if (format.bitCount == 16) {
        image->format = format.masks[1] == 0x07e0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
    } else {
        image->format = D3DFMT_X8R8G8B8;
    }
    image->fileFormat = D3DXIFF_BMP;
    return D3D_OK;
}

} // namespace yonda::d3d8

#include "ImageDecoder.h"

namespace yonda::d3d8 {

HRESULT DecodeImage(const BYTE* data, size_t size, DecodedImage* image)
{
    *image = DecodedImage{};
    if (!data || size < 4)
        return D3DXERR_INVALIDDATA;
    HRESULT hr;
    if (data[0] == 'B' && data[1] == 'M') {
        hr = DecodeBmp(data, size, image);
    } else if (data[0] == 'D' && data[1] == 'D' && data[2] == 'S' && data[3] == ' ') {
        hr = DecodeDds(data, size, image);
    } else if (data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') {
        hr = DecodePng(data, size, image);
    } else if (data[0] == 0xff && data[1] == 0xd8) {
        hr = DecodeJpeg(data, size, image);
    } else {
        // TGA has no signature; its header is checked field by field instead.
        hr = DecodeTga(data, size, image);
    }
    if (FAILED(hr))
        *image = DecodedImage{};
    return hr;
}

} // namespace yonda::d3d8

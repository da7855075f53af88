#pragma once
// Pictures outside the 3D view: skin BMPs loaded into GDI bitmaps, and the screenshot
// converter that reads a BMP into plain RGB, shrinks it and writes it as a JPEG.
#include <afxwin.h>

#include <cstdint>
#include <span>

// A new device bitmap with the file's picture, owned by the caller; null when the file is
// missing or not a picture this reader accepts.
HBITMAP LoadBitmapHandle(const char* path);
HBITMAP LoadBitmapFromMemory(std::span<const uint8_t> file);
bool TryLoadBitmapHandle(const char* path, HBITMAP* out);
// A new device bitmap of a JPEG file (a member's picture from the service), owned by the caller;
// null, quietly, for a missing, broken or oversized file.
HBITMAP LoadJpegHandle(const char* path);
// As LoadBitmapHandle into `bitmap`, whose old picture is deleted first; with `palette`, also a
// logical palette of the file's colour table (pictures of at most 256 colours).
bool LoadBitmapFile(const char* path, CBitmap* bitmap, CPalette* palette);
// Detaches the object's handle and deletes it; false for a null object or one without handle.
bool DeleteGdiObject(CGdiObject* object);

class CImageFile {
public:
    CImageFile();
    virtual ~CImageFile();

    // A new RGB buffer (red, green, blue; rows top to bottom, width * 3 bytes each) that the
    // caller frees with delete[]; null with m_strStatus telling why.
    unsigned char* LoadBmp(CString path, int* width, int* height);
    // Area-averaging reduction of unpadded RGB rows; `dst` may be `src`. Targets larger than the
    // source or sides past 65535 are refused and leave `dst` as it was.
    static bool Resample(const unsigned char* src, unsigned srcWidth, unsigned srcHeight, unsigned char* dst,
                         unsigned dstWidth, unsigned dstHeight);
    // Writes unpadded RGB rows as a JPEG file, in colour or grey. A half-written file is removed.
    bool SaveJpeg(CString path, const unsigned char* rgb, unsigned width, unsigned height, bool colour, int quality);

    CString m_strStatus;
    int m_nBytesRead = 0;
};

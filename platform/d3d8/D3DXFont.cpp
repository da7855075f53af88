// The text font: GDI's realized fonts and text layout (so text measures and breaks exactly as
// DrawText does), glyphs copied into texture pages and drawn as pre-transformed quads. The device's state is captured
// before and put back after, so the caller finds its render and stage states as it left them.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "ComObject.h"
#include "Device.h"
#include "../gdi/FontFace.h"
#include "../gdi/TextLayout.h"
#include "d3dx8.h"
#include "IndexBuffer.h"
#include "Resource.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"

namespace yonda::d3d8 {
namespace {

constexpr UINT kPageSize = 512;

struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class Font final : public ComObject<ID3DXFont> {
public:
    Font(Device* device, const LOGFONTA& log, std::shared_ptr<const text::FontFace> face)
        : m_device(device), m_log(log), m_face(std::move(face))
    {}
    ~Font() override
    {
        for (IDirect3DTexture8* page : m_pages)
            page->Release();
    }

    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override { return DeviceInterface(m_device.Get(), ppDevice); }
    HRESULT GetLogFont(LOGFONTA* pLogFont) override
    {
        if (!pLogFont)
            return D3DERR_INVALIDCALL;
        *pLogFont = m_log;
        return D3D_OK;
    }
    HRESULT Begin() override { return D3D_OK; }
    HRESULT End() override { return D3D_OK; }
    // The glyph pages are managed textures: nothing to give up or rebuild around a reset.
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }
    INT DrawTextA(LPCSTR pString, INT Count, LPRECT pRect, DWORD Format, D3DCOLOR Color) override;

private:
    struct Glyph {
        int page = -1; // -1: nothing to draw (a blank, or a glyph that fits no page)
        int x = 0, y = 0, width = 0, height = 0, left = 0, top = 0;
    };

    const Glyph& GlyphOf(char32_t c);
    void EmitGlyph(const Glyph& glyph, float penX, float baseline, const RECT* clip, D3DCOLOR color,
                   std::vector<std::vector<Vertex>>* batches);

    Ref<Device> m_device;
    LOGFONTA m_log;
    std::shared_ptr<const text::FontFace> m_face;
    std::mutex m_mutex;
    std::unordered_map<char32_t, Glyph> m_glyphs;
    std::vector<IDirect3DTexture8*> m_pages;
    int m_penX = 0, m_penY = 0, m_rowHeight = 0;
};

const Font::Glyph& Font::GlyphOf(char32_t c)
{
    auto it = m_glyphs.find(c);
    if (it != m_glyphs.end())
        return it->second;
    Glyph glyph;
    const text::Glyph& bitmap = m_face->GetGlyph(c);
    glyph.left = bitmap.left;
    glyph.top = bitmap.top;
    glyph.width = bitmap.width;
    glyph.height = bitmap.height;
    if (bitmap.width > 0 && bitmap.height > 0 && bitmap.width + 1 < int(kPageSize) &&
        bitmap.height + 1 < int(kPageSize)) {
        // Shelf packing, one texel of space between glyphs so linear sampling never bleeds.
        if (m_pages.empty() || m_penX + bitmap.width + 1 > int(kPageSize)) {
            m_penX = 0;
            m_penY += m_rowHeight;
            m_rowHeight = 0;
        }
        if (m_pages.empty() || m_penY + bitmap.height + 1 > int(kPageSize)) {
            IDirect3DTexture8* page = nullptr;
            if (SUCCEEDED(
                    m_device->CreateTexture(kPageSize, kPageSize, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &page))) {
                m_pages.push_back(page);
            }
            m_penX = m_penY = m_rowHeight = 0;
        }
        if (!m_pages.empty()) {
            RECT area{m_penX, m_penY, m_penX + bitmap.width, m_penY + bitmap.height};
            D3DLOCKED_RECT locked;
            if (SUCCEEDED(m_pages.back()->LockRect(0, &locked, &area, 0))) {
                for (int y = 0; y < bitmap.height; ++y) {
                    auto* row =
                        reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + ptrdiff_t(y) * locked.Pitch);
                    for (int x = 0; x < bitmap.width; ++x) {
                        row[x] =
                            (DWORD(bitmap.coverage[size_t(y) * size_t(bitmap.width) + size_t(x)]) << 24) | 0xffffffu;
                    }
                }
                m_pages.back()->UnlockRect(0);
                glyph.page = int(m_pages.size()) - 1;
                glyph.x = m_penX;
                glyph.y = m_penY;
            }
            m_penX += bitmap.width + 1;
            m_rowHeight = std::max(m_rowHeight, bitmap.height + 1);
        }
    }
    return m_glyphs.emplace(c, glyph).first->second;
}

void Font::EmitGlyph(const Glyph& glyph, float penX, float baseline, const RECT* clip, D3DCOLOR color,
                     std::vector<std::vector<Vertex>>* batches)
{
    if (glyph.page < 0)
        return;
    // Pixel centres lie on whole numbers: the quad starts half a pixel before the first one.
    float x0 = penX + float(glyph.left), y0 = baseline - float(glyph.top);
    float x1 = x0 + float(glyph.width), y1 = y0 + float(glyph.height);
    float u0 = float(glyph.x), v0 = float(glyph.y), u1 = u0 + float(glyph.width), v1 = v0 + float(glyph.height);
    if (clip) {
        float cx0 = float(clip->left), cy0 = float(clip->top), cx1 = float(clip->right), cy1 = float(clip->bottom);
        if (x0 >= cx1 || y0 >= cy1 || x1 <= cx0 || y1 <= cy0)
            return;
        if (x0 < cx0) {
            u0 += cx0 - x0;
            x0 = cx0;
        }
        if (y0 < cy0) {
            v0 += cy0 - y0;
            y0 = cy0;
        }
        if (x1 > cx1) {
            u1 -= x1 - cx1;
            x1 = cx1;
        }
        if (y1 > cy1) {
            v1 -= y1 - cy1;
            y1 = cy1;
        }
    }
    const float scale = 1.0f / float(kPageSize);
    x0 -= 0.5f;
    y0 -= 0.5f;
    x1 -= 0.5f;
    y1 -= 0.5f;
    Vertex a{x0, y0, 0.0f, 1.0f, color, u0 * scale, v0 * scale};
    Vertex b{x1, y0, 0.0f, 1.0f, color, u1 * scale, v0 * scale};
    Vertex c{x0, y1, 0.0f, 1.0f, color, u0 * scale, v1 * scale};
    Vertex d{x1, y1, 0.0f, 1.0f, color, u1 * scale, v1 * scale};
    if (batches->size() <= size_t(glyph.page))
        batches->resize(size_t(glyph.page) + 1);
    auto& batch = (*batches)[size_t(glyph.page)];
    batch.insert(batch.end(), {a, b, c, c, b, d});
}

INT Font::DrawTextA(LPCSTR pString, INT Count, LPRECT pRect, DWORD Format, D3DCOLOR Color)
{
    // As GDI's DrawText: a count of 0 is no text at all, nothing measured.
    if (!pString || !pRect || Count == 0)
        return 0;
    // Laid out from the caller's bytes, which are only read: never written, whatever the flags say.
    size_t length = Count < 0 ? std::strlen(pString) : strnlen(pString, size_t(Count));
    text::LayoutParams params;
    params.format = Format;
    params.rect = *pRect;
    params.expandTabs = (Format & DT_EXPANDTABS) != 0;
    text::TextLayout layout = text::LayoutText(*m_face, std::string_view(pString, length), params);
    if (Format & DT_CALCRECT) {
        *pRect = layout.bounds;
        return layout.result;
    }
    std::lock_guard device(m_device->Mutex());
    std::lock_guard lock(m_mutex);
    const RECT* clip = (Format & DT_NOCLIP) ? nullptr : pRect;
    std::vector<std::vector<Vertex>> batches;
    for (const text::LayoutLine& line : layout.lines) {
        float baseline = float(pRect->top + line.top + m_face->Ascent());
        for (const text::PlacedGlyph& placed : line.glyphs) {
            // Glyph positions already carry the line's alignment.
            EmitGlyph(GlyphOf(placed.code), float(pRect->left + placed.x), baseline, clip, Color, &batches);
        }
    }

    DeviceState saved = m_device->CaptureState();
    IDirect3DDevice8* d = m_device.Get();
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_FOGENABLE, FALSE);
    d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d->SetRenderState(D3DRS_COLORWRITEENABLE, 0xf);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    d->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    d->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    d->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    d->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d->SetVertexShader(kVertexFormat);
    for (size_t page = 0; page < batches.size(); ++page) {
        if (batches[page].empty())
            continue;
        d->SetTexture(0, m_pages[page]);
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(batches[page].size() / 3), batches[page].data(), sizeof(Vertex));
    }
    m_device->RestoreState(saved);
    return layout.result;
}

} // namespace
} // namespace yonda::d3d8

using namespace yonda::d3d8;

HRESULT WINAPI D3DXCreateFontIndirect(IDirect3DDevice8* pDevice, const LOGFONTA* pLogFont, ID3DXFont** ppFont)
{
    if (ppFont)
        *ppFont = nullptr;
    auto* device = pDevice ? dynamic_cast<Device*>(pDevice) : nullptr;
    if (!device || !pLogFont || !ppFont)
        return D3DERR_INVALIDCALL;
    *ppFont = new Font(device, *pLogFont, yonda::text::FontFace::ForLogFont(*pLogFont));
    return D3D_OK;
}

// The device side of one avatar item mesh: its index buffer, its three vertex streams (positions,
// colours, texture coordinates) and the declaration that ties them together. Item files are shared
// by every avatar that wears them, so drawing rewrites the position and colour streams per avatar;
// the buffers remember whether they still hold the mesh's own bind positions and colours.
#pragma once

#include <d3d8.h>

#include <cstddef>

struct KRA_ITEM_MESH_DATA;

class CKRAAtomDevice {
public:
    CKRAAtomDevice() = default;
    ~CKRAAtomDevice() { Destroy(); }
    CKRAAtomDevice(const CKRAAtomDevice&) = delete;
    CKRAAtomDevice& operator=(const CKRAAtomDevice&) = delete;
    CKRAAtomDevice(CKRAAtomDevice&& other) noexcept { *this = static_cast<CKRAAtomDevice&&>(other); }
    CKRAAtomDevice& operator=(CKRAAtomDevice&& other) noexcept;

    // Builds every buffer from the mesh (colours white). A device that refuses leaves the mesh
    // without buffers, and drawing skips it. Meshes without texture coordinates get zeros, since
    // the declaration always reads the third stream.
    bool Create(IDirect3DDevice8* pDevice, const KRA_ITEM_MESH_DATA& mesh);
    void Destroy();
    bool Ready() const { return m_pIndices && m_pPositions && m_pColors && m_pTexCoords && m_dwShader; }

    // Positions (3 floats per vertex) into the position stream. bMoved: they differ from the bind
    // pose, so the next draw that does not move the mesh must put the bind pose back.
    bool UploadPositions(const float* pPositions, bool bMoved);
    // Puts the bind positions back when a moved pose is still in the stream.
    bool RestorePositions(const KRA_ITEM_MESH_DATA& mesh);
    // Every vertex one colour (ARGB), or back to white.
    bool FillColors(DWORD dwArgb);
    bool RestoreColors();

    // Streams, indices and declaration set on the device, one indexed triangle list drawn.
    HRESULT Draw(IDirect3DDevice8* pDevice) const;

    bool PositionsMoved() const { return m_bPositionsMoved; }
    bool ColorsTinted() const { return m_bColorsTinted; }
    IDirect3DVertexBuffer8* Positions() const { return m_pPositions; }
    IDirect3DVertexBuffer8* Colors() const { return m_pColors; }

private:
    IDirect3DDevice8* m_pDevice = nullptr;
    IDirect3DIndexBuffer8* m_pIndices = nullptr;
    IDirect3DVertexBuffer8* m_pPositions = nullptr;
    IDirect3DVertexBuffer8* m_pColors = nullptr;
    IDirect3DVertexBuffer8* m_pTexCoords = nullptr;
    DWORD m_dwShader = 0;
    unsigned m_nVertices = 0;
    unsigned m_nFaces = 0;
    bool m_bPositionsMoved = false;
    bool m_bColorsTinted = false;
};

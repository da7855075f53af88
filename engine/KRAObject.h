// One mesh of a world object file: its vertices, textures, key animation and vertex buffers, and
// how it is drawn (normal, accented, faded), ordered and picked.
#pragma once

#include "KRADefs.h"
#include "KRAObjectFormat.h"

#include <d3dx8.h>

#include <memory>
#include <vector>

class CKRATextureAnimation;

class CKRAObject {
public:
    CKRAObject();
    virtual ~CKRAObject();
    CKRAObject(const CKRAObject&) = delete;
    CKRAObject& operator=(const CKRAObject&) = delete;

    virtual LONG Create();
    virtual LONG Destroy();
    virtual LONG CreateDeviceObject();
    virtual LONG DestroyDeviceObject();

    // Takes a checked mesh: loads its textures, places a static mesh's vertices by its matrix
    // and builds its vertex buffer.
    LONG LoadObject(KRA_OBJECT_MESH_DATA&& data);

    LONG RenderObject(float fTime, float fDelta, DWORD dwColor);
    LONG FadeObject(float fTime, float fDelta, DWORD dwAlpha);
    LONG RestoreAlphaValue();

    // The nearest front-facing hit of the ray among this mesh's triangles placed by mWorld,
    // when nearer than fBest.
    bool Pick(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection, const D3DXMATRIX& mWorld, float& fBest,
              D3DXVECTOR3& vHit) const;
    // The key that orders alpha meshes for a viewer (0 for a mesh without a triangle).
    float SortKey(const D3DXMATRIX& mCombined, const D3DXVECTOR3& vReference) const;

    bool IsAlpha() const { return (m_wTextureFlags & KRA_TEX_ALPHA_BITS) != 0; }
    bool HasFirstTexture() const { return m_hFirstTexture.m_hHandle != 0 || m_pTextureAnimation != nullptr; }
    // Replaces the first texture (or texture list) by a texture the caller gave a reference for.
    void TakeFirstTexture(CKRAHandle<tagKRADS> hTexture);

    WORD GetKindFlags() const { return m_wKindFlags; }
    WORD GetTextureFlags() const { return m_wTextureFlags; }
    const D3DXMATRIX& GetMeshMatrix() const { return m_matMesh; }
    const KRA_VERTEX_ARRAY& GetVertices() const { return m_vVertices; }
    CKRAHandle<tagKRADS> GetFirstTexture() const { return m_hFirstTexture; }
    CKRAHandle<tagKRADS> GetSecondTexture() const { return m_hSecondTexture; }
    const CKRATextureAnimation* GetTextureAnimation() const { return m_pTextureAnimation.get(); }
    IDirect3DVertexBuffer8* GetVertexBuffer() const { return m_pVertexBuffer; }
    DWORD GetColoredCopyColor() const { return m_dwColor; }
    int GetColoredCopyBuilds() const { return m_nColoredBuilds; }

private:
    bool IsAnimated() const { return (m_wKindFlags & KRA_MESH_ANIMATED) != 0; }
    // Steps 2 and 3 of a draw: the key-animated transform set on the device; gives the saved one.
    void ApplyTransform(IDirect3DDevice8* pDevice, float fTime, D3DXMATRIX& mSaved) const;
    IDirect3DTexture8* CurrentTexture(float fDelta);
    void ReleaseTextures();
    LONG BuildColoredCopy(DWORD dwColor);
    static LONG MakeBuffer(const KRA_VERTEX_ARRAY& vVertices, IDirect3DVertexBuffer8** ppBuffer);
    static LONG FillBuffer(IDirect3DVertexBuffer8* pBuffer, const KRA_VERTEX_ARRAY& vVertices);
    static void AlphaTest(IDirect3DDevice8* pDevice, DWORD dwReference);
    static void Blend(IDirect3DDevice8* pDevice);
    // The second texture on stage 1, or no texture there.
    void SecondStage(IDirect3DDevice8* pDevice, bool bEnabled, DWORD dwAlphaOp, DWORD dwMipFilter) const;
    void UntexturedStage(IDirect3DDevice8* pDevice) const;
    void ResetStates(IDirect3DDevice8* pDevice) const;

    WORD m_wKindFlags;
    WORD m_wTextureFlags;
    DWORD m_dwVertexCount;
    D3DXMATRIX m_matMesh;
    BYTE m_abMaterial[KRA_MATERIAL_SIZE];
    KRA_VERTEX_ARRAY m_vVertices;
    KRA_VERTEX_ARRAY m_vColoredVertices;
    DWORD m_dwColor;
    int m_nColoredBuilds;
    std::unique_ptr<CKRATextureAnimation> m_pTextureAnimation;
    CKRAHandle<tagKRADS> m_hFirstTexture;
    CKRAHandle<tagKRADS> m_hSecondTexture;
    DWORD m_adwKeyBlock[4];
    std::vector<float> m_vPositionKeys;
    std::vector<float> m_vRotationKeys;
    std::vector<float> m_vScaleKeys;
    IDirect3DVertexBuffer8* m_pVertexBuffer;
    IDirect3DVertexBuffer8* m_pColoredVertexBuffer;
    // Fades draw from this copy, so the mesh's own buffer, shared by every scene object of the
    // file, is never darkened by one object's fade.
    IDirect3DVertexBuffer8* m_pFadedVertexBuffer;
};

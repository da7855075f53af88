// The world objects of one scene: every object record of its file and every object the host adds
// later. They are sorted into three draw lists (ground objects drawn first without culling,
// opaque objects, blended objects drawn farthest first) and named by handles into a descriptor
// table of their own. The list also answers ground and object picking.
#pragma once

#include "KRADefs.h"
#include "KRAHandleTable.h"
#include "KRASceneFormat.h"
#include "KRASceneObject.h"

#include <d3dx8.h>

#include <memory>
#include <vector>

// One descriptor slot. A descriptor-only object keeps the object file it named here, so its
// reference is given back with the list.
struct KRA_SCENE_OBJECT_SLOT {
    CKRASceneObjectDesc desc;
    _KRA_HANDLE hHeldFile = 0;
};

class CKRASceneObjectList {
public:
    CKRASceneObjectList();
    ~CKRASceneObjectList();
    CKRASceneObjectList(const CKRASceneObjectList&) = delete;
    CKRASceneObjectList& operator=(const CKRASceneObjectList&) = delete;

    // Takes over the caller's reference of the object file on success only: a refused kind
    // (0x80000003) leaves the reference with the caller.
    LONG AddObject(_KRA_HANDLE hObjectFile, const CKRASceneObjectDesc& desc, _KRA_HANDLE& hOut);

    // These find world objects only (opaque, then alpha); any other handle gives 0x80000005.
    LONG Show(_KRA_HANDLE h);
    LONG Hide(_KRA_HANDLE h);
    LONG FadeIn(_KRA_HANDLE h, float fMilliseconds);
    LONG FadeOut(_KRA_HANDLE h, float fMilliseconds);
    LONG SetAccented(_KRA_HANDLE h, bool bAccented);
    LONG GetPivotMatrix(_KRA_HANDLE h, D3DXMATRIX& m);
    LONG ChangeTexture(_KRA_HANDLE h, CKRAHandle<tagKRADS>& hTexture);

    LONG RenderKindOne();
    LONG RenderOpaque();
    LONG RenderAlpha(D3DXVECTOR3* pEye);
    // There is no accent pass: nothing is drawn.
    LONG RenderAccented(_KRA_HANDLE h, DWORD dwColor);

    // The nearest hit of the picking ray through a back-buffer point, among the ground objects
    // (from the view's own eye) or the world objects (from pEye). Nothing hit: 0 with distance
    // 50000 and the handle and position untouched.
    LONG PickGround(const POINT& pt, _KRA_HANDLE& hOut, float& fDistance, D3DXVECTOR3& vPosition);
    LONG PickObject(const POINT& pt, D3DXVECTOR3* pEye, _KRA_HANDLE& hOut, float& fDistance, D3DXVECTOR3& vPosition);

    // Gives every object file back and empties the lists and the descriptor table.
    void Destroy();

    DWORD GetWorldCount() const { return m_dwWorldCount; }
    DWORD GetAlphaCount() const { return m_dwAlphaCount; }
    size_t GetKindOneCount() const { return m_lstKindOne.size(); }
    size_t GetOpaqueCount() const { return m_lstOpaque.size(); }
    // Any object of the three lists, for those that look inside.
    CKRASceneObject* FindAny(_KRA_HANDLE h) const;
    const KRA_SCENE_OBJECT_SLOT* GetSlot(_KRA_HANDLE h) const { return m_cDescriptors.Lookup(h); }

private:
    using ObjectList = std::vector<std::unique_ptr<CKRASceneObject>>;

    CKRASceneObject* FindWorldObject(_KRA_HANDLE h) const;
    template <class Change>
    LONG WithWorldObject(_KRA_HANDLE h, Change&& change);
    bool IsVisible(const CKRASceneObject& object) const;
    // The nearest hit among the objects of the lists, nearer than fBest.
    LONG PickAmong(std::initializer_list<const ObjectList*> lists, const D3DXVECTOR3& vOrigin,
                   const D3DXVECTOR3& vDirection, _KRA_HANDLE& hOut, float& fBest, D3DXVECTOR3& vPosition);

    DWORD m_dwWorldCount;
    DWORD m_dwAlphaCount;
    ObjectList m_lstKindOne;
    ObjectList m_lstOpaque;
    ObjectList m_lstAlpha;
    CKRAHandleTable<KRA_SCENE_OBJECT_SLOT> m_cDescriptors;
    // Kept between frames: the alpha pass gathers and orders into these without allocating.
    std::vector<CKRASceneObject*> m_vVisibleAlpha;
    std::vector<D3DXVECTOR3> m_vAlphaPositions;
    std::vector<size_t> m_vAlphaOrder;
};

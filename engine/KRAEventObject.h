// Event objects: world objects of a scene that carry proximity spheres and picking boxes. A
// proximity check switches an object active while the position lies inside one of its spheres;
// only active objects offer their boxes to picking, and a picked box answers its action code (and,
// for a seat, its matrix) to the host.
#pragma once

#include "KRADefs.h"
#include "KRASceneFormat.h"

#include <d3dx8.h>

#include <memory>
#include <vector>

// A picking box: its corners in world space as the file gives them (the matrix is not applied
// to them; it only goes to the host) and the twelve triangles of its faces.
class CKRAPickBox {
public:
    explicit CKRAPickBox(const KRA_EVENT_BOX& record);

    // The nearest hit of the ray among its triangles, when nearer than fBest (or the first hit
    // when bHaveHit is false).
    bool Intersect(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection, bool bHaveHit, float& fBest) const;

    LONG m_lType;
    LONG m_lAction;
    LONG m_lValue;
    D3DXMATRIX m_matBox;
    D3DXVECTOR3 m_vCorners[8];

    static const WORD s_awTriangles[12][3];
};

class CKRAEventObject {
public:
    explicit CKRAEventObject(_KRA_HANDLE hId) : m_hId(hId), m_bActive(FALSE) {}

    _KRA_HANDLE m_hId;
    BOOL m_bActive;
    std::vector<KRA_EVENT_TRIGGER> m_lstTriggers;
    std::vector<CKRAPickBox> m_lstBoxes;
};

class CKRAEventObjectList {
public:
    // Records are taken by the slot they were read from: a trigger slot gives triggers, a box
    // slot boxes; a record whose type does not belong to its slot is skipped.
    LONG AddEventObject(_KRA_HANDLE* pId, const KRA_EVENT_HEAD& head, const std::vector<KRA_EVENT_TRIGGER>& vTriggers,
                        const std::vector<KRA_EVENT_BOX>& vBoxes);
    LONG CheckProximity(const D3DXVECTOR3* pPosition);
    // The nearest box of an active object under the back-buffer point, seen from pEye. Nothing
    // hit leaves every output untouched.
    LONG TestPicking(LONG x, LONG y, const D3DXVECTOR3* pEye, _KRA_HANDLE& hId, float& fDistance,
                     _KRA_ACTION_PICKING* pAction, D3DXMATRIX* pMatrix);
    void Destroy() { m_lstObjects.clear(); }

    size_t GetCount() const { return m_lstObjects.size(); }
    const CKRAEventObject* GetAt(size_t i) const { return i < m_lstObjects.size() ? m_lstObjects[i].get() : nullptr; }

private:
    std::vector<std::unique_ptr<CKRAEventObject>> m_lstObjects;
};

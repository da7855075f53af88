// A grid over a scene's x-z ground: the ground map (KRP), whose blocked cells avatars may not
// walk into, or the camera map (KRC), whose blocked cells the camera's eye may not enter.
#pragma once

#include "KRADefs.h"

#include <d3dx8.h>

#include <cstdint>
#include <vector>

class CKRAGridMap {
public:
    CKRAGridMap();
    ~CKRAGridMap();
    CKRAGridMap(const CKRAGridMap&) = delete;
    CKRAGridMap& operator=(const CKRAGridMap&) = delete;

    // The file beside the scene with the text from the last '.' replaced by szExtension (".KRP").
    LONG Load(const char* szScenePath, const char* szExtension);
    // From the bytes of a map file; a bad map loads nothing.
    LONG LoadFromMemory(const uint8_t* pData, size_t nSize);
    bool IsLoaded() const { return !m_vCells.empty(); }
    // Bit 0 of the cell under (x, z), writing its centre; 0 outside the grid or without a map.
    BOOL IsBlocked(float x, float z, D3DXVECTOR3* pCentre) const;
    // The centre of the cell holding (x, z), also outside the grid; zero without a map.
    void SnapToCell(float x, float z, D3DXVECTOR3* pCentre) const;
    void Destroy();

    DWORD GetCellSize() const { return m_dwCellSize; }
    DWORD GetWidth() const { return m_dwWidth; }
    DWORD GetHeight() const { return m_dwHeight; }

    // The walk of CKRAScene::CheckCollision from vFrom towards vTo in steps of one cell: 0 with
    // the centre of the last free cell when a blocked cell is met, 0x80000007 when the walk
    // reaches vTo (never tested) without one, 0x80000000 without a map.
    LONG CheckCollision(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo, D3DXVECTOR3* pPosition) const;

private:
    bool CellOf(float x, float z, int64_t& ix, int64_t& iz) const;
    D3DXVECTOR3 Centre(int64_t ix, int64_t iz) const;

    DWORD m_dwCellSize;
    DWORD m_dwWidth;
    DWORD m_dwHeight;
    float m_fOriginX;
    float m_fOriginZ;
    std::vector<BYTE> m_vCells;
};

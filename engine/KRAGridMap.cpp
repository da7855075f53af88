#include "KRAGridMap.h"

#include "KRACamera.h"
#include "KRAFile.h"
#include "KRAWarning.h"
#include "KRAGridMapFormat.h"

#include <cmath>
#include <string>

namespace {

// Cell coordinates are kept well inside 64 bits so that no conversion overflows.
constexpr double kCellLimit = 1e15;

} // namespace

CKRAGridMap::CKRAGridMap() : m_dwCellSize(0), m_dwWidth(0), m_dwHeight(0), m_fOriginX(0), m_fOriginZ(0) {}

CKRAGridMap::~CKRAGridMap()
{
    Destroy();
}

LONG CKRAGridMap::Load(const char* szScenePath, const char* szExtension)
{
    Destroy();
    if (!szScenePath || !szExtension)
        return KRA_E_INVALID_ARGUMENT;
    std::string strPath = szScenePath;
    if (strPath.size() > 255)
        return KRA_E_INVALID_ARGUMENT;
    size_t nDot = strPath.rfind('.');
    if (nDot != std::string::npos)
        strPath.erase(nDot);
    strPath += szExtension;
    std::vector<uint8_t> vBytes;
    if (!KRAReadWholeFile(strPath, vBytes)) {
        KRATraceFile(strPath, "cannot be read");
        return KRA_E_INVALID_ARGUMENT;
    }
    LONG lStatus = LoadFromMemory(vBytes.data(), vBytes.size());
    if (lStatus < 0)
        KRATraceFile(strPath, "is broken");
    return lStatus;
}

LONG CKRAGridMap::LoadFromMemory(const uint8_t* pData, size_t nSize)
{
    Destroy();
    KRA_GRID_MAP_DATA data;
    LONG lStatus = KRAParseGridMap(pData, nSize, data);
    if (lStatus < 0)
        return lStatus;
    m_dwCellSize = data.dwCellSize;
    m_dwWidth = data.dwWidth;
    m_dwHeight = data.dwHeight;
    m_fOriginX = data.fOriginX;
    m_fOriginZ = data.fOriginZ;
    m_vCells = std::move(data.vCells);
    return KRA_OK;
}

void CKRAGridMap::Destroy()
{
    // Cameras must never test against a map that is gone.
    CKRACamera::ForgetCameraMap(this);
    m_vCells.clear();
    m_vCells.shrink_to_fit();
    m_dwCellSize = m_dwWidth = m_dwHeight = 0;
    m_fOriginX = m_fOriginZ = 0;
}

bool CKRAGridMap::CellOf(float x, float z, int64_t& ix, int64_t& iz) const
{
    double dx = std::trunc((double(x) - m_fOriginX) / m_dwCellSize);
    double dz = std::trunc((double(z) - m_fOriginZ) / m_dwCellSize);
    if (!(std::fabs(dx) < kCellLimit) || !(std::fabs(dz) < kCellLimit))
        return false;
    ix = int64_t(dx);
    iz = int64_t(dz);
    return true;
}

D3DXVECTOR3 CKRAGridMap::Centre(int64_t ix, int64_t iz) const
{
    int64_t nHalf = m_dwCellSize / 2;
    return D3DXVECTOR3(float(m_fOriginX + double(m_dwCellSize) * double(ix) + double(nHalf)), 0,
                       float(m_fOriginZ + double(m_dwCellSize) * double(iz) + double(nHalf)));
}

BOOL CKRAGridMap::IsBlocked(float x, float z, D3DXVECTOR3* pCentre) const
{
    int64_t ix = 0, iz = 0;
    if (!IsLoaded() || !CellOf(x, z, ix, iz))
        return FALSE;
    if (ix < 0 || iz < 0 || ix >= int64_t(m_dwWidth) || iz >= int64_t(m_dwHeight))
        return FALSE;
    if (pCentre)
        *pCentre = Centre(ix, iz);
    return m_vCells[size_t(ix + iz * int64_t(m_dwWidth))] & 1;
}

void CKRAGridMap::SnapToCell(float x, float z, D3DXVECTOR3* pCentre) const
{
    if (!pCentre)
        return;
    int64_t ix = 0, iz = 0;
    if (!IsLoaded() || !CellOf(x, z, ix, iz)) {
        *pCentre = D3DXVECTOR3(0, 0, 0);
        return;
    }
    *pCentre = Centre(ix, iz);
}

LONG CKRAGridMap::CheckCollision(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo, D3DXVECTOR3* pPosition) const
{
    if (!IsLoaded())
        return KRA_E_MISSING_PART;
    if (!std::isfinite(vFrom.x) || !std::isfinite(vFrom.z) || !std::isfinite(vTo.x) || !std::isfinite(vTo.z))
        return KRA_E_FAILED;
    D3DXVECTOR3 vLast;
    SnapToCell(vFrom.x, vFrom.z, &vLast);
    float s = float(m_dwCellSize);
    float dx = vTo.x - vFrom.x, dz = vTo.z - vFrom.z;
    bool bAlongZ = dx == 0 || (dz != 0 && std::fabs(dz / dx) > 1);
    float fStart = bAlongZ ? vFrom.z : vFrom.x;
    float fEnd = bAlongZ ? vTo.z : vTo.x;
    float fDelta = fEnd - fStart;
    if (fDelta == 0)
        return KRA_E_FAILED;
    float fStep = fDelta > 0 ? s : -s;
    // The walk never takes more steps than there are cells between the two ends.
    double dSteps = std::ceil(std::fabs(double(fDelta)) / s) + 1;
    if (!(dSteps < 1e7))
        dSteps = 1e7;
    for (double n = 1; n <= dSteps; ++n) {
        double dStepped = double(fStart) + double(fStep) * n;
        if ((fDelta > 0 && dStepped >= fEnd) || (fDelta < 0 && dStepped <= fEnd))
            return KRA_E_FAILED;
        double dOther;
        if (bAlongZ)
            dOther = dx == 0 ? vFrom.x : vFrom.x + (dStepped - vFrom.z) * dx / dz;
        else
            dOther = dz == 0 ? vFrom.z : vFrom.z + (dStepped - vFrom.x) * dz / dx;
        float x = float(bAlongZ ? dOther : dStepped);
        float z = float(bAlongZ ? dStepped : dOther);
        if (IsBlocked(x, z, nullptr)) {
            if (pPosition)
                *pPosition = vLast;
            return KRA_OK;
        }
        SnapToCell(x, z, &vLast);
    }
    return KRA_E_FAILED;
}

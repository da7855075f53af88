#include "KRAObjectManager.h"

#include "KRAFile.h"
#include "KRAObjectFormat.h"
#include "KRAWarning.h"

#include <vector>

CKRAObjectManager::CKRAObjectManager() = default;

CKRAObjectManager::~CKRAObjectManager()
{
    Destroy();
}

LONG CKRAObjectManager::Create(const char* szPath)
{
    if (!szPath) {
        KRAShowWarning("Invalid path\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    m_strPath = szPath;
    return KRA_OK;
}

LONG CKRAObjectManager::Cleanup()
{
    return KRA_OK;
}

LONG CKRAObjectManager::Destroy()
{
    // Files the host left loaded still give back their meshes, buffers and textures.
    m_cTable.Destroy([](CKRAObjectFile& file) { return file.Destroy(); });
    return KRA_OK;
}

LONG CKRAObjectManager::LoadObjectFile(const char* szName, _KRA_HANDLE* pOut)
{
    if (!szName || !pOut)
        return KRA_E_INVALID_ARGUMENT;
    std::string strPath = m_strPath + szName;
    return m_cTable.Load(szName, *pOut, [&](CKRAObjectFile& file) {
        if (!KRAReadWholeFile(strPath, m_vReadBuffer)) {
            KRATraceFile(strPath, "cannot be read");
            return KRA_E_INVALID_ARGUMENT;
        }
        KRA_OBJECT_FILE_DATA data;
        LONG lStatus = KRAParseObjectFile(m_vReadBuffer.data(), m_vReadBuffer.size(), data);
        if (lStatus < 0) {
            KRATraceFile(strPath, "is broken");
            return lStatus;
        }
        file.Create();
        return file.Build(szName, data);
    });
}

LONG CKRAObjectManager::UnloadObjectFile(_KRA_HANDLE* pHandle)
{
    if (!pHandle || !m_cTable.Lookup(*pHandle))
        return KRA_E_FAILED;
    return m_cTable.Unload(*pHandle, [](CKRAObjectFile& file) { return file.Destroy(); });
}

LONG CKRAObjectManager::GetObjectFile(_KRA_HANDLE* pHandle, CKRAObjectFile** ppOut)
{
    CKRAObjectFile* pFile = pHandle ? m_cTable.Lookup(*pHandle) : nullptr;
    if (!pFile) {
        KRAShowWarning("Invalid handle\n");
        return KRA_E_INVALID_HANDLE;
    }
    if (ppOut)
        *ppOut = pFile;
    return KRA_OK;
}

BOOL CKRAObjectManager::IsAlphaObjectFile(_KRA_HANDLE* pHandle)
{
    CKRAObjectFile* pFile = nullptr;
    if (GetObjectFile(pHandle, &pFile) < 0)
        return FALSE;
    return pFile->IsAlphaObjectFile();
}

LONG CKRAObjectManager::CreateDeviceObject()
{
    LONG lResult = KRA_OK;
    m_cTable.ForEach([&](_KRA_HANDLE, CKRAObjectFile& file) {
        if (lResult >= 0)
            lResult = file.CreateDeviceObject();
    });
    return lResult;
}

LONG CKRAObjectManager::DestroyDeviceObject()
{
    LONG lResult = KRA_OK;
    m_cTable.ForEach([&](_KRA_HANDLE, CKRAObjectFile& file) {
        if (lResult >= 0)
            lResult = file.DestroyDeviceObject();
    });
    return lResult;
}

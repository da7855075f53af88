// The table of loaded world object files, keyed by file name and shared by reference count.
#pragma once

#include "KRADefs.h"
#include "KRAHandleTable.h"
#include "KRAObjectFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CKRAObjectManager {
public:
    CKRAObjectManager();
    ~CKRAObjectManager();

    LONG Create(const char* szPath);
    LONG Cleanup();
    LONG Destroy();

    LONG LoadObjectFile(const char* szName, _KRA_HANDLE* pOut);
    LONG UnloadObjectFile(_KRA_HANDLE* pHandle);
    LONG GetObjectFile(_KRA_HANDLE* pHandle, CKRAObjectFile** ppOut);
    BOOL IsAlphaObjectFile(_KRA_HANDLE* pHandle);
    LONG CreateDeviceObject();
    LONG DestroyDeviceObject();

    size_t GetObjectFileCount() const { return m_cTable.LiveCount(); }
    // The file without the box of GetObjectFile, for callers that only ask.
    CKRAObjectFile* Find(_KRA_HANDLE h) const { return m_cTable.Lookup(h); }

private:
    std::string m_strPath;
    // Kept between loads: a file is read by one call into memory that is already there.
    std::vector<uint8_t> m_vReadBuffer;
    CKRAHandleTable<CKRAObjectFile> m_cTable;
};

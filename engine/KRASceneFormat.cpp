#include "KRASceneFormat.h"

#include "KRAByteReader.h"
#include "KRAFile.h"
#include "KRAWarning.h"

#include <cstring>

namespace {

// The smallest object record: descriptor and event head without event records.
constexpr size_t kMinimumObjectRecord = KRA_SCENE_OBJECT_DESC_SIZE + KRA_EVENT_HEAD_SIZE;

bool ReadDescriptor(CKRAByteReader& reader, CKRASceneObjectDesc& desc)
{
    if (!reader.Has(1, KRA_SCENE_OBJECT_DESC_SIZE))
        return false;
    // A name that fills its field has no zero: the object manager could never be given it whole.
    const uint8_t* pName = reader.Here();
    size_t nLength = strnlen(reinterpret_cast<const char*>(pName), KRA_SCENE_OBJECT_NAME_SIZE);
    if (nLength == 0 || nLength == KRA_SCENE_OBJECT_NAME_SIZE)
        return false;
    reader.Bytes(desc.szObjectFile, KRA_SCENE_OBJECT_NAME_SIZE);
    std::memset(desc.szObjectFile + nLength, 0, KRA_SCENE_OBJECT_NAME_SIZE - nLength);
    desc.lKind = reader.I32();
    reader.F32s(desc.afBoxMin, 3);
    reader.F32s(desc.afBoxMax, 3);
    reader.F32s(desc.afWorld, 16);
    return reader.Ok();
}

bool ReadTrigger(CKRAByteReader& reader, KRA_EVENT_TRIGGER& trigger)
{
    trigger.lType = reader.I32();
    trigger.lKind = reader.I32();
    trigger.lUnused = reader.I32();
    reader.F32s(trigger.afCentre, 3);
    trigger.fRadius = reader.F32();
    return reader.Ok();
}

bool ReadBox(CKRAByteReader& reader, KRA_EVENT_BOX& box)
{
    box.lType = reader.I32();
    box.lAction = reader.I32();
    box.lValue = reader.I32();
    reader.F32s(box.afMatrix, 16);
    reader.F32s(box.afMin, 3);
    reader.F32s(box.afMax, 3);
    return reader.Ok();
}

bool ReadObject(CKRAByteReader& reader, KRA_SCENE_OBJECT_RECORD& record)
{
    if (!ReadDescriptor(reader, record.desc))
        return false;
    record.head.bEventFlag = reader.U8();
    reader.Skip(3);
    record.head.dwBoxCount = reader.U32();
    record.head.dwTriggerCount = reader.U32();
    // Both counts are checked together before anything is sized by them.
    uint64_t uEventBytes = uint64_t(record.head.dwTriggerCount) * KRA_EVENT_TRIGGER_SIZE +
                           uint64_t(record.head.dwBoxCount) * KRA_EVENT_BOX_SIZE;
    if (!reader.Has(uEventBytes, 1))
        return false;
    record.vTriggers.resize(record.head.dwTriggerCount);
    for (KRA_EVENT_TRIGGER& trigger : record.vTriggers)
        ReadTrigger(reader, trigger);
    record.vBoxes.resize(record.head.dwBoxCount);
    for (KRA_EVENT_BOX& box : record.vBoxes)
        ReadBox(reader, box);
    return reader.Ok();
}

bool ReadPath(CKRAByteReader& reader, KRA_SCENE_PATH& path)
{
    path.lId = reader.I32();
    DWORD dwPoints = reader.U32();
    if (!reader.Has(dwPoints, KRA_SCENE_PATH_POINT_SIZE))
        return false;
    path.vPoints.resize(dwPoints);
    for (std::array<float, 12>& point : path.vPoints)
        reader.F32s(point.data(), point.size());
    return reader.Ok();
}

} // namespace

LONG KRAParseSceneFile(const uint8_t* pData, size_t nSize, KRA_SCENE_FILE_DATA& out)
{
    out = KRA_SCENE_FILE_DATA();
    CKRAByteReader reader(pData, nSize);
    KRA_SCENE_FILE_DATA data;
    data.dwHeaderWord = reader.U32();
    DWORD dwPaths = reader.U32();
    DWORD dwObjects = reader.U32();
    // Every record takes at least its fixed head, so no count can announce more than the bytes left.
    if (!reader.Ok() || !reader.Has(dwPaths, KRA_SCENE_PATH_HEAD_SIZE))
        return KRA_E_INVALID_ARGUMENT;
    data.vPaths.resize(dwPaths);
    for (KRA_SCENE_PATH& path : data.vPaths)
        if (!ReadPath(reader, path))
            return KRA_E_INVALID_ARGUMENT;
    if (!reader.Has(dwObjects, kMinimumObjectRecord))
        return KRA_E_INVALID_ARGUMENT;
    data.vObjects.resize(dwObjects);
    for (KRA_SCENE_OBJECT_RECORD& record : data.vObjects)
        if (!ReadObject(reader, record))
            return KRA_E_INVALID_ARGUMENT;
    out = std::move(data);
    return KRA_OK;
}

LONG KRALoadSceneFile(const std::string& strWindowsPath, KRA_SCENE_FILE_DATA& out)
{
    out = KRA_SCENE_FILE_DATA();
    std::vector<uint8_t> vBytes;
    if (!KRAReadWholeFile(strWindowsPath, vBytes)) {
        KRATraceFile(strWindowsPath, "cannot be read");
        return KRA_E_INVALID_ARGUMENT;
    }
    LONG lStatus = KRAParseSceneFile(vBytes.data(), vBytes.size(), out);
    if (lStatus < 0)
        KRATraceFile(strWindowsPath, "is broken");
    return lStatus;
}

std::vector<std::array<float, 3>> KRASceneStartPositions(const KRA_SCENE_FILE_DATA& data)
{
    std::vector<std::array<float, 3>> vPositions;
    for (const KRA_SCENE_OBJECT_RECORD& record : data.vObjects)
        if (record.desc.lKind == KRA_SCENE_OBJECT_GROUND)
            for (const KRA_EVENT_TRIGGER& trigger : record.vTriggers)
                vPositions.push_back({trigger.afCentre[0], trigger.afCentre[1], trigger.afCentre[2]});
    return vPositions;
}

bool KRASceneRecordHasEvents(const KRA_SCENE_OBJECT_RECORD& record)
{
    return record.desc.lKind != KRA_SCENE_OBJECT_GROUND && record.head.bEventFlag != 0;
}

void KRASceneEventRecords(const KRA_SCENE_OBJECT_RECORD& record, std::vector<KRA_EVENT_TRIGGER>& vTriggers,
                          std::vector<KRA_EVENT_BOX>& vBoxes)
{
    vTriggers.clear();
    vBoxes.clear();
    for (const KRA_EVENT_TRIGGER& trigger : record.vTriggers)
        if (trigger.lType == KRA_EVENT_RECORD_TRIGGER)
            vTriggers.push_back(trigger);
    for (const KRA_EVENT_BOX& box : record.vBoxes)
        if (box.lType == KRA_EVENT_RECORD_BOX)
            vBoxes.push_back(box);
}

std::string KRASceneMapPath(const std::string& strScenePath, const char* szExtension)
{
    size_t nDot = strScenePath.find_last_of('.');
    size_t nSeparator = strScenePath.find_last_of("\\/");
    if (nDot == std::string::npos || (nSeparator != std::string::npos && nDot < nSeparator))
        return strScenePath + "." + szExtension;
    return strScenePath.substr(0, nDot + 1) + szExtension;
}

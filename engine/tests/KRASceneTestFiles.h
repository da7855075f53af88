// A writer of KRS scene files for the tests and fuzz seeds, field by field in the layout the
// engine reads.
#pragma once

#include "KRATestFiles.h"

#include <array>
#include <string>
#include <vector>

namespace kratest {

struct SceneTrigger {
    int32_t lType = 0;
    int32_t lKind = 49;
    float x = 0, y = 0, z = 0, radius = 10;
};

struct SceneBox {
    int32_t lType = 1;
    int32_t lAction = 0;
    int32_t lValue = 0;
    float afMin[3] = {-5, 0, -5};
    float afMax[3] = {5, 10, 5};
};

struct SceneRecord {
    std::string strName = "Chair.KRO";
    int32_t lKind = 0;
    uint8_t bEventFlag = 0;
    std::vector<SceneTrigger> vTriggers;
    std::vector<SceneBox> vBoxes;
};

struct ScenePath {
    int32_t lId = 0;
    size_t nPoints = 0;
};

inline std::vector<uint8_t> KRS(const std::vector<ScenePath>& paths, const std::vector<SceneRecord>& records,
                                uint32_t dwHeaderWord = 0)
{
    Bytes b;
    b.U32(dwHeaderWord).U32(uint32_t(paths.size())).U32(uint32_t(records.size()));
    for (const ScenePath& p : paths) {
        b.U32(uint32_t(p.lId)).U32(uint32_t(p.nPoints));
        for (size_t i = 0; i < p.nPoints * 12; ++i)
            b.F32(float(i));
    }
    for (const SceneRecord& r : records) {
        float afMatrix[16];
        Identity(afMatrix);
        b.Name(r.strName, 32).U32(uint32_t(r.lKind));
        b.F32(-1).F32(0).F32(-1).F32(1).F32(2).F32(1);
        for (float f : afMatrix)
            b.F32(f);
        b.U8(r.bEventFlag).U8(0).U8(0).U8(0).U32(uint32_t(r.vBoxes.size())).U32(uint32_t(r.vTriggers.size()));
        for (const SceneTrigger& t : r.vTriggers)
            b.U32(uint32_t(t.lType)).U32(uint32_t(t.lKind)).U32(0).F32(t.x).F32(t.y).F32(t.z).F32(t.radius);
        for (const SceneBox& x : r.vBoxes) {
            b.U32(uint32_t(x.lType)).U32(uint32_t(x.lAction)).U32(uint32_t(x.lValue));
            for (float f : afMatrix)
                b.F32(f);
            for (float f : x.afMin)
                b.F32(f);
            for (float f : x.afMax)
                b.F32(f);
        }
    }
    return b.Data();
}

} // namespace kratest

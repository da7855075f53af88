// Scene files through the scene reader: hand-made ones with every kind of record, the generated
// sample scenes, and broken copies of both.
#include "KRAFile.h"
#include "KRASceneFormat.h"
#include "KRASceneTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

using namespace kratest;

namespace {

// A path of two points, a ground object with three start positions, a chair with a seat box and a
// proximity sphere, a lamp whose events are switched off, and a descriptor-only record.
std::vector<SceneRecord> SampleRecords()
{
    SceneRecord ground;
    ground.strName = "Floor.KRO";
    ground.lKind = KRA_SCENE_OBJECT_GROUND;
    ground.bEventFlag = 1;
    ground.vTriggers = {{0, 0, 1, 0, 2, 0}, {0, 0, 3, 0, 4, 0}, {0, 48, 5, 0, 6, 0}};
    SceneRecord chair;
    chair.bEventFlag = 1;
    chair.vTriggers = {{0, 49, 10, 0, 10, 30}};
    chair.vBoxes = {SceneBox{1, 0, 7, {8, 0, 8}, {12, 9, 12}}};
    SceneRecord lamp;
    lamp.strName = "Lamp.KRO";
    lamp.vTriggers = {{}};
    lamp.vBoxes = {{}};
    SceneRecord sign;
    sign.strName = "Sign.KRO";
    sign.lKind = KRA_SCENE_OBJECT_DESC_ONLY;
    return {ground, chair, lamp, sign};
}

std::vector<uint8_t> SampleScene()
{
    return KRS({{7, 2}, {8, 0}}, SampleRecords(), 0xABCD);
}

LONG Parse(const std::vector<uint8_t>& bytes, size_t nSize, KRA_SCENE_FILE_DATA& data)
{
    return KRAParseSceneFile(bytes.data(), nSize, data);
}

void PutU32(std::vector<uint8_t>& bytes, size_t nOffset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[nOffset + size_t(i)] = uint8_t(v >> (8 * i));
}

// A failed parse leaves nothing behind, even when the output held a scene before.
void ExpectRefused(const std::vector<uint8_t>& bytes, size_t nSize)
{
    KRA_SCENE_FILE_DATA data;
    data.vObjects.resize(1);
    data.dwHeaderWord = 5;
    EXPECT_EQ(Parse(bytes, nSize, data), KRA_E_INVALID_ARGUMENT) << "size " << nSize;
    EXPECT_TRUE(data.vPaths.empty() && data.vObjects.empty() && data.dwHeaderWord == 0) << "size " << nSize;
}

std::filesystem::path WorldFolder()
{
    const char* szBinary = std::getenv("YONDA_BINARY_DIR");
    return std::filesystem::path(szBinary ? szBinary : ".") / "yonda" / "Data" / "WORLD";
}

std::vector<std::filesystem::path> GeneratedScenes()
{
    std::vector<std::filesystem::path> scenes;
    if (!std::filesystem::is_directory(WorldFolder()))
        return scenes;
    for (const auto& entry : std::filesystem::directory_iterator(WorldFolder())) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        if (ext == ".KRS")
            scenes.push_back(entry.path());
    }
    std::sort(scenes.begin(), scenes.end());
    return scenes;
}

} // namespace

TEST(SceneFormat, ReadsPathsObjectsAndEventRecordsInFileOrder)
{
    std::vector<uint8_t> bytes = SampleScene();
    // Bytes after the last object record are not the scene's business.
    bytes.push_back(0x5A);
    KRA_SCENE_FILE_DATA data;
    ASSERT_EQ(Parse(bytes, bytes.size(), data), KRA_OK);
    EXPECT_EQ(data.dwHeaderWord, 0xABCDu);
    ASSERT_EQ(data.vPaths.size(), 2u);
    EXPECT_EQ(data.vPaths[0].lId, 7);
    ASSERT_EQ(data.vPaths[0].vPoints.size(), 2u);
    EXPECT_FLOAT_EQ(data.vPaths[0].vPoints[1][11], 23.f);
    EXPECT_TRUE(data.vPaths[1].vPoints.empty());

    ASSERT_EQ(data.vObjects.size(), 4u);
    const KRA_SCENE_OBJECT_RECORD& chair = data.vObjects[1];
    EXPECT_STREQ(chair.desc.szObjectFile, "Chair.KRO");
    EXPECT_EQ(chair.desc.lKind, KRA_SCENE_OBJECT_WORLD);
    EXPECT_FLOAT_EQ(chair.desc.afBoxMin[0], -1.f);
    EXPECT_FLOAT_EQ(chair.desc.afBoxMax[1], 2.f);
    EXPECT_FLOAT_EQ(chair.desc.afWorld[15], 1.f);
    EXPECT_EQ(chair.head.dwBoxCount, 1u);
    EXPECT_EQ(chair.head.dwTriggerCount, 1u);
    EXPECT_EQ(chair.vTriggers[0].lKind, KRA_TRIGGER_PROXIMITY);
    EXPECT_FLOAT_EQ(chair.vTriggers[0].fRadius, 30.f);
    EXPECT_EQ(chair.vBoxes[0].lValue, 7);
    EXPECT_FLOAT_EQ(chair.vBoxes[0].afMin[2], 8.f);
    EXPECT_FLOAT_EQ(chair.vBoxes[0].afMax[1], 9.f);
    EXPECT_EQ(data.vObjects[3].desc.lKind, KRA_SCENE_OBJECT_DESC_ONLY);
}

TEST(SceneFormat, StartPositionsComeFromEveryTriggerOfGroundObjects)
{
    std::vector<uint8_t> bytes = SampleScene();
    KRA_SCENE_FILE_DATA data;
    ASSERT_EQ(Parse(bytes, bytes.size(), data), KRA_OK);
    std::vector<std::array<float, 3>> positions = KRASceneStartPositions(data);
    // The third trigger is not a proximity sphere, yet its centre is a start position all the same.
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_FLOAT_EQ(positions[0][0], 1.f);
    EXPECT_FLOAT_EQ(positions[1][2], 4.f);
    EXPECT_FLOAT_EQ(positions[2][0], 5.f);

    // A ground object carries no events whatever its flag; a world object needs its flag.
    EXPECT_FALSE(KRASceneRecordHasEvents(data.vObjects[0]));
    EXPECT_TRUE(KRASceneRecordHasEvents(data.vObjects[1]));
    EXPECT_FALSE(KRASceneRecordHasEvents(data.vObjects[2]));
}

TEST(SceneFormat, EventRecordsAreClassifiedByTheirSlot)
{
    SceneRecord record;
    record.bEventFlag = 1;
    // A trigger slot that claims to be a box, a box slot that claims to be a trigger, and a record
    // of a type nobody knows: all skipped. Only records matching their slot remain.
    record.vTriggers = {{1, 49, 0, 0, 0, 5}, {0, 49, 1, 1, 1, 5}, {7, 49, 0, 0, 0, 5}};
    record.vBoxes = {SceneBox{0, 3}, SceneBox{1, 4}, SceneBox{2, 5}};
    std::vector<uint8_t> bytes = KRS({}, {record});
    KRA_SCENE_FILE_DATA data;
    ASSERT_EQ(Parse(bytes, bytes.size(), data), KRA_OK);
    std::vector<KRA_EVENT_TRIGGER> triggers;
    std::vector<KRA_EVENT_BOX> boxes;
    KRASceneEventRecords(data.vObjects[0], triggers, boxes);
    ASSERT_EQ(triggers.size(), 1u);
    EXPECT_FLOAT_EQ(triggers[0].afCentre[0], 1.f);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lAction, 4);
}

TEST(SceneFormat, AnEmptySceneIsAScene)
{
    std::vector<uint8_t> bytes = KRS({}, {});
    KRA_SCENE_FILE_DATA data;
    ASSERT_EQ(Parse(bytes, bytes.size(), data), KRA_OK);
    EXPECT_TRUE(data.vPaths.empty());
    EXPECT_TRUE(data.vObjects.empty());
    EXPECT_TRUE(KRASceneStartPositions(data).empty());
}

TEST(SceneFormat, EveryTruncationIsRefused)
{
    std::vector<uint8_t> bytes = SampleScene();
    for (size_t n = 0; n < bytes.size(); ++n)
        ExpectRefused(bytes, n);
    KRA_SCENE_FILE_DATA data;
    EXPECT_EQ(KRAParseSceneFile(nullptr, 100, data), KRA_E_INVALID_ARGUMENT);
}

TEST(SceneFormat, CountsPastTheEndAreRefusedWithoutSizingAnything)
{
    const std::vector<uint8_t> good = SampleScene();
    const size_t nFirstPoint = 12 + 8;
    const size_t nFirstObject = 12 + 8 + 2 * 48 + 8;
    const size_t nChairHead = nFirstObject + 124 + 12 + 3 * 28 + 124;
    struct Field {
        const char* szName;
        size_t nOffset;
        uint32_t dwWas;
    } fields[] = {
        {"path count", 4, 2},
        {"object count", 8, 4},
        {"point count", nFirstPoint - 4, 2},
        {"box count", nChairHead + 4, 1},
        {"trigger count", nChairHead + 8, 1},
    };
    for (const Field& field : fields) {
        uint32_t dwWas = uint32_t(good[field.nOffset]) | uint32_t(good[field.nOffset + 1]) << 8;
        ASSERT_EQ(dwWas, field.dwWas) << field.szName;
        for (uint32_t dwCount : {dwWas + 1, 0x10000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            SCOPED_TRACE(testing::Message() << field.szName << " " << dwCount);
            std::vector<uint8_t> bytes = good;
            PutU32(bytes, field.nOffset, dwCount);
            ExpectRefused(bytes, bytes.size());
        }
    }
}

TEST(SceneFormat, ObjectNamesMustEndInsideTheirField)
{
    SceneRecord record;
    record.strName = std::string(31, 'A');
    std::vector<uint8_t> bytes = KRS({}, {record});
    KRA_SCENE_FILE_DATA data;
    ASSERT_EQ(Parse(bytes, bytes.size(), data), KRA_OK);
    EXPECT_EQ(std::string(data.vObjects[0].desc.szObjectFile), std::string(31, 'A'));

    // Bytes after the zero are padding, never part of the name.
    bytes[12 + 5] = 0;
    ASSERT_EQ(Parse(bytes, bytes.size(), data), KRA_OK);
    EXPECT_STREQ(data.vObjects[0].desc.szObjectFile, "AAAAA");
    EXPECT_EQ(data.vObjects[0].desc.szObjectFile[6], 0);

    record.strName = std::string(32, 'A');
    ExpectRefused(KRS({}, {record}), KRS({}, {record}).size());
    record.strName = "";
    ExpectRefused(KRS({}, {record}), KRS({}, {record}).size());
}

TEST(SceneFormat, MapFilesSitBesideTheScene)
{
    EXPECT_EQ(KRASceneMapPath("C:\\Yonda\\Data\\WORLD\\M2.KRS", "KRP"), "C:\\Yonda\\Data\\WORLD\\M2.KRP");
    EXPECT_EQ(KRASceneMapPath("WORLD\\room.v2.krs", "KRC"), "WORLD\\room.v2.KRC");
    EXPECT_EQ(KRASceneMapPath("WORLD.OLD\\ROOM", "KRC"), "WORLD.OLD\\ROOM.KRC");
    EXPECT_EQ(KRASceneMapPath("ROOM.", "KRP"), "ROOM.KRP");
}

TEST(SceneFormat, AMissingFileIsRefused)
{
    KRA_SCENE_FILE_DATA data;
    EXPECT_EQ(KRALoadSceneFile((WorldFolder() / "NoSuchScene.KRS").string(), data), KRA_E_INVALID_ARGUMENT);
}

TEST(GeneratedScenes, EveryScenesObjectsAndMapsAreThere)
{
    std::vector<std::filesystem::path> scenes = GeneratedScenes();
    if (scenes.empty())
        GTEST_SKIP() << "no generated world in " << WorldFolder();
    bool bSawPaths = false, bSawEvents = false, bSawStarts = false;
    for (const std::filesystem::path& scene : scenes) {
        SCOPED_TRACE(scene.filename().string());
        KRA_SCENE_FILE_DATA data;
        ASSERT_EQ(KRALoadSceneFile(scene.string(), data), KRA_OK);
        EXPECT_FALSE(data.vObjects.empty());
        for (const char* szMap : {"KRP", "KRC"}) {
            std::vector<uint8_t> map;
            EXPECT_TRUE(KRAReadWholeFile(KRASceneMapPath(scene.string(), szMap), map)) << szMap;
        }
        for (const KRA_SCENE_OBJECT_RECORD& record : data.vObjects) {
            EXPECT_TRUE(record.desc.lKind >= 0 && record.desc.lKind <= 2) << record.desc.szObjectFile;
            std::vector<uint8_t> object;
            EXPECT_TRUE(KRAReadWholeFile((WorldFolder() / record.desc.szObjectFile).string(), object))
                << record.desc.szObjectFile;
            std::vector<KRA_EVENT_TRIGGER> triggers;
            std::vector<KRA_EVENT_BOX> boxes;
            KRASceneEventRecords(record, triggers, boxes);
            // The generator writes every record into its own slot, so none is skipped.
            EXPECT_EQ(triggers.size(), record.vTriggers.size());
            EXPECT_EQ(boxes.size(), record.vBoxes.size());
            bSawEvents = bSawEvents || (KRASceneRecordHasEvents(record) && !boxes.empty());
        }
        bSawPaths = bSawPaths || !data.vPaths.empty();
        bSawStarts = bSawStarts || !KRASceneStartPositions(data).empty();
    }
    EXPECT_TRUE(bSawPaths);
    EXPECT_TRUE(bSawEvents);
    EXPECT_TRUE(bSawStarts);
}

TEST(GeneratedScenes, EveryTruncatedCopyIsRefused)
{
    for (const std::filesystem::path& scene : GeneratedScenes()) {
        SCOPED_TRACE(scene.filename().string());
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(KRAReadWholeFile(scene.string(), bytes));
        for (size_t n = 0; n < bytes.size(); ++n) {
            KRA_SCENE_FILE_DATA data;
            ASSERT_EQ(Parse(bytes, n, data), KRA_E_INVALID_ARGUMENT) << "size " << n;
            ASSERT_TRUE(data.vObjects.empty());
        }
    }
}

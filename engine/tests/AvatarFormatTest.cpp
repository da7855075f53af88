// Avatar lists, item files with their companions and motion files: the generated sample avatars
// read whole, and broken files of every kind are refused without reading past their end.
#include "KRAAvatarListFormat.h"
#include "KRAAvatarTestFiles.h"
#include "KRAItemFormat.h"
#include "KRAMotionFormat.h"

#include <gtest/gtest.h>

#include <set>

using namespace kratest;

namespace {

LONG ParseItem(const std::vector<uint8_t>& bytes, DWORD dwKind, KRA_ITEM_FILE_DATA* pOut = nullptr)
{
    KRA_ITEM_FILE_DATA data;
    LONG l = KRAParseItemFile(bytes.data(), bytes.size(), dwKind, data);
    if (pOut)
        *pOut = std::move(data);
    return l;
}

LONG ParseList(const std::vector<uint8_t>& bytes)
{
    KRA_AVATAR_LIST_DATA data;
    return KRAParseAvatarList(bytes.data(), bytes.size(), data);
}

LONG ParseMotion(const std::vector<uint8_t>& bytes)
{
    KRA_MOTION_FILE_DATA data;
    return KRAParseMotionFile(bytes.data(), bytes.size(), data);
}

// Every shorter copy of a whole file must be refused; long files are cut at a spread of places.
template <class ParseFn>
void ExpectEveryTruncationRefused(const std::vector<uint8_t>& bytes, ParseFn parse)
{
    size_t nStep = bytes.size() > 4000 ? bytes.size() / 997 : 1;
    for (size_t n = 0; n < bytes.size(); n += nStep) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        ASSERT_NE(parse(cut), KRA_OK) << "cut at " << n << " of " << bytes.size();
    }
    std::vector<uint8_t> last(bytes.begin(), bytes.end() - 1);
    EXPECT_NE(parse(last), KRA_OK);
}

void PutU32(std::vector<uint8_t>& bytes, size_t nAt, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[nAt + size_t(i)] = uint8_t(v >> (8 * i));
}

struct GeneratedItem {
    std::filesystem::path path;
    DWORD dwKind;
};

// The item files the generated avatar lists name, each with the kind its list gives it.
std::vector<GeneratedItem> GeneratedItems()
{
    std::vector<GeneratedItem> v;
    std::set<std::string> seen;
    for (const auto& entry : std::filesystem::directory_iterator(AvatarFolder() / "KRI")) {
        if (entry.path().extension() != ".KRA")
            continue;
        KRA_AVATAR_LIST_DATA list;
        std::vector<uint8_t> bytes = ReadAll(entry.path());
        if (KRAParseAvatarList(bytes.data(), bytes.size(), list) != KRA_OK)
            continue;
        for (const KRA_AVATAR_LIST_ENTRY& item : list.vItems) {
            if (seen.insert(item.strName).second)
                v.push_back({AvatarFolder() / "KRI" / item.strName, item.dwKind});
        }
    }
    return v;
}

} // namespace

TEST(GeneratedAvatars, EveryListItemCompanionAndMotionReads)
{
    size_t nLists = 0;
    for (const auto& entry : std::filesystem::directory_iterator(AvatarFolder() / "KRI")) {
        if (entry.path().extension() != ".KRA")
            continue;
        KRA_AVATAR_LIST_DATA list;
        std::vector<uint8_t> bytes = ReadAll(entry.path());
        ASSERT_EQ(KRAParseAvatarList(bytes.data(), bytes.size(), list), KRA_OK) << entry.path();
        EXPECT_NE(entry.path().stem().string().find(std::to_string(list.adwHeader[2])), std::string::npos);
        EXPECT_FALSE(list.vItems.empty());
        ++nLists;
    }
    EXPECT_GT(nLists, 0u);

    std::set<DWORD> kinds;
    for (const GeneratedItem& item : GeneratedItems()) {
        KRA_ITEM_FILE_DATA data;
        ASSERT_EQ(ParseItem(ReadAll(item.path), item.dwKind, &data), KRA_OK) << item.path;
        kinds.insert(item.dwKind);
        EXPECT_NE(item.path.string().find(std::to_string(data.adwHeader[2])), std::string::npos) << item.path;
        ASSERT_FALSE(data.vMeshes.empty()) << item.path;
        if (item.dwKind == KRA_ITEM_FACE) {
            EXPECT_GE(data.nFaceMesh, 0);
            EXPECT_FALSE(data.vFaceSet.empty()) << item.path;
        }
        if (KRAIsSkinnedItem(item.dwKind)) {
            bool bBound = false;
            for (const KRA_ITEM_MESH_DATA& mesh : data.vMeshes)
                bBound |= !mesh.vBindings.empty();
            EXPECT_TRUE(bBound) << item.path;
        }
        if (item.dwKind == KRA_ITEM_UPPER_BODY) {
            std::vector<DWORD> vSwell, vBounce;
            std::vector<uint8_t> companion = ReadAll(KRAItemCompanionPath(item.path.string()));
            EXPECT_EQ(KRAParseItemCompanion(companion.data(), companion.size(), data.vMeshes[0].VertexCount(), vSwell,
                                            vBounce),
                      KRA_OK)
                << item.path;
            EXPECT_FALSE(vSwell.empty() && vBounce.empty());
        }
    }
    EXPECT_TRUE(kinds.count(KRA_ITEM_FACE) && kinds.count(KRA_ITEM_BODY) && kinds.count(KRA_ITEM_UPPER_BODY));

    size_t nMotions = 0;
    for (const auto& entry : std::filesystem::directory_iterator(AvatarFolder() / "Motion")) {
        if (entry.path().extension() != ".mot")
            continue;
        KRA_MOTION_FILE_DATA motion;
        std::vector<uint8_t> bytes = ReadAll(entry.path());
        ASSERT_EQ(KRAParseMotionFile(bytes.data(), bytes.size(), motion), KRA_OK) << entry.path();
        EXPECT_GT(motion.dwDuration, 0u);
        for (size_t t = 0; t < motion.vTracks.size(); ++t)
            EXPECT_EQ(motion.vTracks[t].dwBone, KRA_BONE_FIRST + t);
        ++nMotions;
    }
    EXPECT_GT(nMotions, 0u);
}

TEST(GeneratedAvatars, TruncatedCopiesAreRefused)
{
    for (const auto& entry : std::filesystem::directory_iterator(AvatarFolder() / "KRI")) {
        if (entry.path().extension() == ".KRA") {
            ExpectEveryTruncationRefused(ReadAll(entry.path()), ParseList);
            break;
        }
    }
    std::set<DWORD> done;
    for (const GeneratedItem& item : GeneratedItems()) {
        if (!done.insert(item.dwKind).second)
            continue;
        ExpectEveryTruncationRefused(ReadAll(item.path),
                                     [&](const std::vector<uint8_t>& b) { return ParseItem(b, item.dwKind); });
    }
    for (const auto& entry : std::filesystem::directory_iterator(AvatarFolder() / "Motion")) {
        if (entry.path().extension() == ".mot") {
            ExpectEveryTruncationRefused(ReadAll(entry.path()), ParseMotion);
            break;
        }
    }
}

TEST(AvatarListFormat, ReadsHeaderAndItemsAndRefusesLies)
{
    std::vector<uint8_t> bytes = KRA(10001, {{KRA_ITEM_FACE, "1001001.KRI"}, {KRA_ITEM_BODY, "1002001.KRI"}});
    KRA_AVATAR_LIST_DATA list;
    ASSERT_EQ(KRAParseAvatarList(bytes.data(), bytes.size(), list), KRA_OK);
    EXPECT_EQ(list.adwHeader[0], 7u);
    EXPECT_EQ(list.adwHeader[2], 10001u);
    ASSERT_EQ(list.vItems.size(), 2u);
    EXPECT_EQ(list.vItems[1].dwKind, KRA_ITEM_BODY);
    EXPECT_EQ(list.vItems[1].strName, "1002001.KRI");

    DWORD adwHeader[3];
    EXPECT_EQ(KRAParseAvatarListHeader(bytes.data(), 12, adwHeader), KRA_OK);
    EXPECT_EQ(adwHeader[2], 10001u);
    EXPECT_EQ(KRAParseAvatarListHeader(bytes.data(), 11, adwHeader), KRA_E_FAILED);

    std::vector<uint8_t> countPastEnd = bytes;
    PutU32(countPastEnd, 12, 0x7FFFFFFF);
    EXPECT_EQ(ParseList(countPastEnd), KRA_E_FAILED);
    std::vector<uint8_t> negative = bytes;
    PutU32(negative, 12, 0xFFFFFFFF);
    EXPECT_EQ(ParseList(negative), KRA_E_FAILED);
    std::vector<uint8_t> namePastEnd = bytes;
    PutU32(namePastEnd, 20, 200);
    EXPECT_EQ(ParseList(namePastEnd), KRA_E_FAILED);
    // A name the joined path could never hold is refused even when the bytes are there.
    EXPECT_EQ(ParseList(KRA(1, {{KRA_ITEM_BODY, std::string(256, 'a')}})), KRA_E_FAILED);
    EXPECT_EQ(ParseList(KRA(1, {{KRA_ITEM_BODY, std::string(255, 'a')}})), KRA_OK);
}

TEST(ItemFormat, ReadsMaterialsMeshesBindingsAndFaceSet)
{
    Item body;
    body.dwCode = 1002001;
    body.vTextures = {{"skin.bmp", false}, {"lace.tga", true}};
    ItemMesh mesh = Triangle();
    mesh.bTexCoords = true;
    mesh.vBindings = {{KRA_BONE_FIRST + 3, {0, 2}, {0.25f, 1.f}}, {KRA_BONE_FIRST + 24, {1}, {1.f}}};
    ItemMesh shadow = Triangle("shadow");
    shadow.dwMaterial = 1;
    body.vMeshes = {mesh, shadow, Triangle("TAIL")};
    KRA_ITEM_FILE_DATA data;
    ASSERT_EQ(ParseItem(KRI(body, KRA_ITEM_BODY), KRA_ITEM_BODY, &data), KRA_OK);
    EXPECT_EQ(data.adwHeader[2], 1002001u);
    ASSERT_EQ(data.vMaterials.size(), 2u);
    EXPECT_EQ(data.vMaterials[1].vTextures[0].strName, "lace.tga");
    EXPECT_TRUE(data.vMaterials[1].vTextures[0].bAlpha);
    ASSERT_EQ(data.vMeshes.size(), 3u);
    EXPECT_EQ(data.vMeshes[0].vTexCoords.size(), 6u);
    ASSERT_EQ(data.vMeshes[0].vBindings.size(), 2u);
    EXPECT_EQ(data.vMeshes[0].vBindings[0].dwBone, 3u);
    EXPECT_EQ(data.vMeshes[0].vBindings[1].dwBone, 24u);
    EXPECT_FLOAT_EQ(data.vMeshes[0].vBindings[0].vWeights[0], 0.25f);
    // The shadow is not skinned: the next mesh's name follows its faces directly.
    EXPECT_TRUE(data.vMeshes[1].vBindings.empty());
    EXPECT_EQ(data.vMeshes[2].strName, "TAIL");

    Item face;
    face.dwCode = 1001001;
    face.vMeshes = {Triangle("HAIR"), Triangle("FACE")};
    face.vFaceSet = {{{1}, {0, 0, 0.5f}}, {{0, 2}, {1, 2, 3, 4, 5, 6}}};
    ASSERT_EQ(ParseItem(KRI(face, KRA_ITEM_FACE), KRA_ITEM_FACE, &data), KRA_OK);
    EXPECT_EQ(data.nFaceMesh, 1);
    ASSERT_EQ(data.vFaceSet.size(), 2u);
    EXPECT_FLOAT_EQ(data.vFaceSet[1].vOffsets[5], 6.f);
    face.vMeshes = {Triangle("face"), Triangle("HAIR")}; // the name is compared exactly
    ASSERT_EQ(ParseItem(KRI(face, KRA_ITEM_FACE), KRA_ITEM_FACE, &data), KRA_OK);
    EXPECT_EQ(data.nFaceMesh, 0);

    Item held;
    held.vMeshes = {Triangle("SWORD")};
    ASSERT_EQ(ParseItem(KRI(held, KRA_ITEM_HELD), KRA_ITEM_HELD, &data), KRA_OK);
    EXPECT_TRUE(data.vMeshes[0].vBindings.empty());
    // An unknown kind reads the meshes alone.
    ASSERT_EQ(ParseItem(KRI(held, 0x20807), 0x20807, &data), KRA_OK);
}

TEST(ItemFormat, BonesOutsideTheSkeletonAreLeftOut)
{
    Item body;
    ItemMesh mesh = Triangle();
    mesh.vBindings = {{KRA_BONE_FIRST + 25, {0}, {1.f}},
                      {KRA_BONE_FIRST - 1, {1}, {1.f}},
                      {0xFFFFFFFF, {2}, {1.f}},
                      {KRA_BONE_FIRST, {2}, {1.f}}};
    body.vMeshes = {mesh};
    KRA_ITEM_FILE_DATA data;
    ASSERT_EQ(ParseItem(KRI(body, KRA_ITEM_BODY_B), KRA_ITEM_BODY_B, &data), KRA_OK);
    ASSERT_EQ(data.vMeshes[0].vBindings.size(), 1u);
    EXPECT_EQ(data.vMeshes[0].vBindings[0].dwBone, 0u);
}

TEST(ItemFormat, IndicesPastTheMeshAndOverlongNamesAreRefused)
{
    auto refused = [](const Item& item, DWORD dwKind) { return ParseItem(KRI(item, dwKind), dwKind) == KRA_E_FAILED; };
    Item item;
    item.vMeshes = {Triangle()};
    item.vMeshes[0].vIndices[2] = 3;
    EXPECT_TRUE(refused(item, KRA_ITEM_BODY));

    item.vMeshes = {Triangle()};
    item.vMeshes[0].vBindings = {{KRA_BONE_FIRST, {0, 3}, {0.5f, 0.5f}}};
    EXPECT_TRUE(refused(item, KRA_ITEM_BODY));
    // The same vertex bound to a bone outside the skeleton is still a lie about the mesh.
    item.vMeshes[0].vBindings = {{KRA_BONE_FIRST + 25, {3}, {1.f}}};
    EXPECT_TRUE(refused(item, KRA_ITEM_BODY));

    item.vMeshes = {Triangle(std::string(32, 'N'))};
    EXPECT_TRUE(refused(item, KRA_ITEM_BODY_C));
    item.vMeshes = {Triangle(std::string(31, 'N'))};
    EXPECT_FALSE(refused(item, KRA_ITEM_BODY_C));

    Item face;
    face.vMeshes = {Triangle("FACE")};
    face.vFaceSet = {{{3}, {0, 0, 1}}};
    EXPECT_TRUE(refused(face, KRA_ITEM_FACE));
    face.vFaceSet.assign(11, ItemTarget{{0}, {0, 0, 1}});
    EXPECT_TRUE(refused(face, KRA_ITEM_FACE));
    face.vFaceSet.assign(10, ItemTarget{{0}, {0, 0, 1}});
    EXPECT_FALSE(refused(face, KRA_ITEM_FACE));
    face.vMeshes.clear(); // targets without a mesh to move
    EXPECT_TRUE(refused(face, KRA_ITEM_FACE));
}

TEST(ItemFormat, CountsPastTheEndAreRefused)
{
    Item body;
    body.vTextures = {{"skin.bmp", false}};
    ItemMesh mesh = Triangle();
    mesh.vBindings = {{KRA_BONE_FIRST, {0, 1, 2}, {1, 1, 1}}};
    body.vMeshes = {mesh};
    std::vector<uint8_t> bytes = KRI(body, KRA_ITEM_BODY);
    ASSERT_EQ(ParseItem(bytes, KRA_ITEM_BODY), KRA_OK);
    const size_t nMaterials = 12, nTextures = nMaterials + 4 + 4 + 48, nMeshes = nMaterials + 4 + 4 + 56 + 52;
    const size_t nVertices = nMeshes + 4 + 4 + 4 + 4 + 1, nFaces = nVertices + 4 + 36;
    const size_t nBones = nFaces + 4 + 6, nBound = nBones + 4 + 4;
    for (size_t nAt : {nMaterials, nTextures, nMeshes, nVertices, nFaces, nBones, nBound}) {
        for (uint32_t v : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x40000000u}) {
            std::vector<uint8_t> broken = bytes;
            PutU32(broken, nAt, v);
            EXPECT_EQ(ParseItem(broken, KRA_ITEM_BODY), KRA_E_FAILED) << "count at " << nAt << " = " << v;
        }
    }
}

TEST(ItemFormat, CompanionListsAndPathRules)
{
    std::vector<DWORD> vSwell, vBounce;
    std::vector<uint8_t> companion = Companion({0, 2}, {1});
    ASSERT_EQ(KRAParseItemCompanion(companion.data(), companion.size(), 3, vSwell, vBounce), KRA_OK);
    EXPECT_EQ(vSwell, (std::vector<DWORD>{0, 2}));
    EXPECT_EQ(vBounce, (std::vector<DWORD>{1}));
    EXPECT_EQ(KRAParseItemCompanion(companion.data(), companion.size(), 2, vSwell, vBounce), KRA_E_FAILED);
    EXPECT_TRUE(vSwell.empty() && vBounce.empty());
    EXPECT_EQ(KRAParseItemCompanion(companion.data(), companion.size() - 1, 3, vSwell, vBounce), KRA_E_FAILED);
    std::vector<uint8_t> lying = Companion({0}, {});
    PutU32(lying, 4, 0xFFFFFFFF);
    EXPECT_EQ(KRAParseItemCompanion(lying.data(), lying.size(), 3, vSwell, vBounce), KRA_E_FAILED);

    EXPECT_EQ(KRAItemCompanionPath("KRI\\2003001.KRI"), "KRI\\2003001.KRe");
    EXPECT_EQ(KRAHeldItemBone("AVATAR\\KRI\\1056001.KRI"), 10);
    EXPECT_EQ(KRAHeldItemBone("AVATAR\\KRI\\1066001.KRI"), 6);
    EXPECT_EQ(KRAHeldItemBone("5cde.KRI"), 6);
    EXPECT_EQ(KRAHeldItemBone("5bcdefghi"), 10);
    EXPECT_EQ(KRAHeldItemBone(""), 6);
}

TEST(MotionFormat, ReadsTracksAndRefusesImpossibleMotions)
{
    auto key = [](uint32_t t, uint32_t k, float* af) {
        af[0] = float(t);
        af[1] = float(k);
        af[2] = 0;
        af[3] = 0.1f * float(k);
        af[4] = 0;
        af[5] = 0;
    };
    std::vector<uint8_t> bytes = Motion(10, 25, 1000, key);
    KRA_MOTION_FILE_DATA motion;
    ASSERT_EQ(KRAParseMotionFile(bytes.data(), bytes.size(), motion), KRA_OK);
    EXPECT_EQ(motion.dwKeyCount, 10u);
    EXPECT_EQ(motion.dwDuration, 1000u);
    ASSERT_EQ(motion.vTracks.size(), 25u);
    EXPECT_EQ(motion.vTracks[6].dwBone, KRA_BONE_HEAD);
    EXPECT_FLOAT_EQ(motion.vTracks[6].vPositions[0], 6.f);
    EXPECT_FLOAT_EQ(motion.vTracks[6].vPositions[3 * 9 + 1], 9.f);
    EXPECT_FLOAT_EQ(motion.vTracks[6].vAngles[3 * 9], 0.9f);

    EXPECT_EQ(ParseMotion(Motion(10, 26, 1000, key)), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(ParseMotion(Motion(0, 3, 1000, key)), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(ParseMotion(Motion(1, 0, 1000, key)), KRA_OK);
    std::vector<uint8_t> keysPastEnd = bytes;
    PutU32(keysPastEnd, 68, 0xFFFFFFFF);
    EXPECT_EQ(ParseMotion(keysPastEnd), KRA_E_INVALID_ARGUMENT);
    ExpectEveryTruncationRefused(Motion(3, 4, 100, key), ParseMotion);
}

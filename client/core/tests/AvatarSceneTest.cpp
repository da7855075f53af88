// The avatar scene through the real engine over the generated world: the map scene and the
// motion lists as start-up loads them, avatars dressed from worn items and catalogue items and
// undressed again (read back from the engine and seen in drawn frames), faces, emotions and
// motions, and the bad values a network can send.
#include "AvatarSceneFixture.h"

#include "CatalogueFiles.h"
#include "NotifyDlg.h"
#include "ServiceHarness.h"
#include "TempFolder.h"

#include <Comm.h>

#include <cstring>

using namespace avatartest;

namespace {

// The demo member's avatar: hair, upper and lower body and footwear, each number 001.
const std::vector<WORN_ITEM> kDemoItems = {Worn("0001\0"
                                                "0\0"),
                                           Worn("2001\0"
                                                "0\0"),
                                           Worn("3001\0"
                                                "0\0"),
                                           Worn("4001\0"
                                                "0\0")};

// Rows of a 128-pixel frame of a whole avatar seen from 70 units: the head and body above, the
// feet below.
constexpr UINT kFeetTop = 100;

} // namespace

TEST_F(AvatarSceneFixture, StartUpLoadsTheMapSceneTheCatalogueAndBothMotionLists)
{
    EXPECT_TRUE(g_pItemCatalog->m_bLoaded);
    EXPECT_GT(CatalogueItems().size(), 100u) << "the generated catalogue";
    EXPECT_NE(m_scene->GetMapScene(), 0u);
    int paths = 0;
    ASSERT_EQ(Scene()->GetPathNum(paths), KRA_OK);
    EXPECT_GE(paths, 5) << "one fly-over path a lobby";
    EXPECT_EQ(m_scene->GetMotionCount(kMaleMotionType), 53);
    EXPECT_EQ(m_scene->GetMotionCount(kFemaleMotionType), 48);
    EXPECT_EQ(m_scene->GetMotionCount(2), 0);
    EXPECT_EQ(m_scene->m_nIdleMotion[0], 0);
    EXPECT_EQ(m_scene->m_nWalkMotion[0], 41);
    EXPECT_EQ(m_scene->m_nWalkMotion[1], 35);
    EXPECT_EQ(m_scene->m_nSitDownMotion[1], 32);
    EXPECT_EQ(m_scene->m_nSeatedMotion[0], 37);
    EXPECT_EQ(m_scene->m_nStandUpMotion[0], 40);

    m_scene->UnloadScene();
    EXPECT_EQ(m_scene->GetScene(), nullptr);
    EXPECT_EQ(m_scene->GetMapScene(), 0u);
}

TEST_F(AvatarSceneFixture, AnUnreadableCatalogueShowsItsBoxAndStopsStartUp)
{
    CAvatarScene second;
    EXPECT_EQ(g_pAvatarScene, &second);
    // A catalogue whose category claims no items.
    yonda::testing::TempFolder home("yonda-avatar-scene");
    home.Write("data/item/item.dsv",
               catalogue_test::Encode({"man_hair,0", "code,name", "1000000,Short,0,0,,100000,0,"}));
    const CString installed = g_strInstallPath;
    g_strInstallPath = home.Windows().c_str();
    static CString shown;
    shown.Empty();
    // The box runs its own loop: look at it from there and close it (timers need the real clock).
    YondaClockSetManual(FALSE);
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND active = ::GetActiveWindow();
        auto* box = active ? dynamic_cast<CNotifyDlg*>(CWnd::FromHandlePermanent(active)) : nullptr;
        if (box) {
            KillTimer(nullptr, id);
            shown = box->m_strSection;
            box->PostMessage(WM_CLOSE);
        }
    });
    EXPECT_EQ(second.InitScene(), 0);
    g_strInstallPath = installed;
    EXPECT_EQ(shown, "AvatarItemReadError");
    EXPECT_EQ(second.GetMotionCount(kMaleMotionType), 0) << "no motions after a failed start";
    second.UnloadScene();
}

TEST_F(AvatarSceneFixture, TheDemoMembersItemsDressBothGenders)
{
    const _KRA_HANDLE male = Build('M', kDemoItems, 1001);
    const _KRA_HANDLE female = Build('F', kDemoItems, 1002);
    ASSERT_TRUE(male && female);
    Dress m = ReadBack(male);
    EXPECT_EQ(m.count, 5u);
    EXPECT_EQ(m.items[0], "1000010.KRI");
    EXPECT_EQ(m.items[1], "1010010.KRI") << "the face follows the hair";
    EXPECT_EQ(m.items[2], "1020010.KRI");
    EXPECT_EQ(m.items[3], "1030010.KRI");
    EXPECT_EQ(m.items[4], "1040010.KRI");
    EXPECT_TRUE(m.textures.empty());
    Dress f = ReadBack(female);
    EXPECT_EQ(f.count, 5u);
    EXPECT_EQ(f.items[0], "2000010.KRI");
    EXPECT_EQ(f.items[1], "2010010.KRI");
    EXPECT_EQ(f.items[4], "2040010.KRI");

    // Each a whole body of its own shape in the frame.
    const YondaPicture him = Draw({male});
    const YondaPicture her = Draw({female});
    EXPECT_GT(Covered(him), 400u);
    EXPECT_LT(Covered(him), size_t(kSize) * kSize / 3);
    EXPECT_GT(Covered(her), 400u);
    EXPECT_GT(Compare(him, her).count, 200u);
    EXPECT_NE(him.At(kSize / 2, kSize / 2), 0u) << "a body in the middle";
}

TEST_F(AvatarSceneFixture, TheServicesAvatarInformationBuildsTheMembersAvatar)
{
    yonda::testing::ServiceHarness service{"avatar-scene"};
    const int32_t demo = service.addMember("demo", "Demo", 1000, false, 'F');
    ASSERT_EQ(service.store().createAvatar(demo, 'F',
                                           {{"", 'F', 0, 1, 1, true},
                                            {"", 'F', 2, 2, 0, true},
                                            {"", 'F', 3, 1, 0, true},
                                            {"", 'F', 4, 1, 0, true},
                                            {"", 'F', 6, 1, 0, true}}),
              yonda::service::Change::Done);
    CComm comm;
    ASSERT_TRUE(comm.Connect("127.0.0.1", service.port()));
    long user = 0;
    char flag = 0;
    ASSERT_TRUE(comm.QueryLogin("demo", "pw", user, flag));
    CPtrList list;
    ASSERT_TRUE(comm.QueryAvataInfo(user, list));

    // As the preview loads a member: the list's head names the gender and the count.
    _KRA_HANDLE avatar = 0;
    ASSERT_NE(m_scene->LoadAvatar(static_cast<DWORD>(user), &avatar, 0, 0, &list), 0);
    Keep(avatar);
    const char gender = static_cast<const char*>(list.GetHead())[32];
    comm.Release(&list);
    comm.Disconnect();
    EXPECT_EQ(gender, 'F');
    m_scene->StartGenderMotion(gender, &avatar);
    int type = -1, motion = -1;
    Scene()->GetMotionType(avatar, type);
    Scene()->GetCurrentMotion(avatar, motion);
    EXPECT_EQ(type, kFemaleMotionType);
    EXPECT_EQ(motion, 0);

    Dress dress = ReadBack(avatar);
    EXPECT_EQ(dress.count, 6u);
    EXPECT_EQ(dress.items[0], "2000010.KRI");
    EXPECT_EQ(dress.textures[0], "2000011.KRT") << "the hair's texture variant";
    EXPECT_EQ(dress.items[1], "2010010.KRI");
    EXPECT_EQ(dress.items[2], "2020020.KRI");
    EXPECT_EQ(dress.items[6], "2060010.KRI");
    EXPECT_EQ(dress.textures.size(), 1u);
}

TEST_F(AvatarSceneFixture, MissingItemsFallBackToTheFirstItemThenToTheDefaults)
{
    // Nothing worn: the first face and every default.
    const _KRA_HANDLE bare = Build('M', {}, 2001);
    Dress d = ReadBack(bare);
    EXPECT_EQ(d.count, 5u);
    EXPECT_EQ(d.items[0], "1000000.KRI");
    EXPECT_EQ(d.items[1], "1010010.KRI");
    EXPECT_EQ(d.items[2], "1020000.KRI");
    EXPECT_EQ(d.items[3], "1030000.KRI");
    EXPECT_EQ(d.items[4], "1040000.KRI");

    // Items the world has no file for are their category's first item.
    const _KRA_HANDLE missing = Build('F',
                                      {Worn("0009\0"
                                            "0\0"),
                                       Worn("2777\0"
                                            "1\0"),
                                       Worn("5009\0"
                                            "0\0")},
                                      2002);
    d = ReadBack(missing);
    EXPECT_EQ(d.items[0], "2000010.KRI");
    EXPECT_EQ(d.items[1], "2010010.KRI") << "the face follows the hair as worn";
    EXPECT_EQ(d.items[2], "2020010.KRI");
    EXPECT_EQ(d.textures[2], "2020011.KRT") << "the first item's texture variant";
    EXPECT_EQ(d.items[3], "2030000.KRI");
    EXPECT_EQ(d.items[5], "2050010.KRI");
    EXPECT_EQ(d.count, 6u);

    // A face given is kept, whatever the hair.
    const _KRA_HANDLE faced = Build('M',
                                    {Worn("0002\0"
                                          "0\0"),
                                     Worn("1000\0"
                                          "0\0")},
                                    2003);
    d = ReadBack(faced);
    EXPECT_EQ(d.items[0], "1000020.KRI");
    EXPECT_EQ(d.items[1], "1010000.KRI");
}

TEST_F(AvatarSceneFixture, BadItemTextsFromTheNetworkAreSkippedWithoutHarm)
{
    // Categories beyond '6', letters, negative and overlong numbers (eight digits with no
    // terminator): each skipped, the rest dressed, the defaults filling in.
    const std::vector<WORN_ITEM> hostile = {Worn("7001\0"
                                                 "0\0"),
                                            Worn("x001\0"
                                                 "0\0"),
                                            Worn("2-01\0"
                                                 "0\0"),
                                            Worn("01234567"),
                                            Worn("3\xff\xfe\x01\x02\x03\x04"),
                                            Worn("4002\0"
                                                 "9\0")};
    const _KRA_HANDLE avatar = Build('M', hostile, 3001);
    Dress d = ReadBack(avatar);
    EXPECT_EQ(d.count, 5u);
    EXPECT_EQ(d.items[0], "1000000.KRI");
    EXPECT_EQ(d.items[2], "1020000.KRI");
    EXPECT_EQ(d.items[3], "1030000.KRI") << "no digits read as item 000";
    EXPECT_EQ(d.items[4], "1040020.KRI");
    EXPECT_EQ(d.textures[4], "1040021.KRT");
    EXPECT_EQ(d.items.count(7), 0u);

    // Genders other than the two, and lists shorter than their count, build nothing.
    _KRA_HANDLE none = 0;
    EXPECT_EQ(m_scene->LoadAvatar(3002, &none, 'X', kDemoItems), 0);
    CPtrList list;
    WORN_ITEM items[2] = {Worn("0001\0"
                               "0\0"),
                          Worn("2001\0"
                               "0\0")};
    list.AddTail(&items[0]);
    list.AddTail(&items[1]);
    EXPECT_EQ(m_scene->LoadAvatar(3003, &none, 'M', 3, &list), 0);
    unsigned char head[36] = {};
    head[32] = 'Q';
    head[35] = 1;
    list.AddHead(head);
    EXPECT_EQ(m_scene->LoadAvatar(3004, &none, 0, 0, &list), 0) << "gender from the head";
    head[32] = 'M';
    head[35] = 200;
    EXPECT_EQ(m_scene->LoadAvatar(3005, &none, 0, 0, &list), 0) << "200 items announced, two sent";
    EXPECT_EQ(none, 0u);
    head[35] = 2;
    ASSERT_NE(m_scene->LoadAvatar(3006, &none, 0, 0, &list), 0);
    Keep(none);
    EXPECT_EQ(ReadBack(none).items[2], "1020010.KRI");

    // Putting on and taking off with values out of range changes nothing.
    const YondaPicture before = Draw({avatar});
    _KRA_HANDLE handle = avatar;
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'M', 2, 1000, "0"));
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'M', 2, -1, "0"));
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'M', 7, 1, "0"));
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'M', '9', 1, "0"));
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'M', -3, 1, "0"));
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'X', 2, 1, "0"));
    EXPECT_FALSE(m_scene->PutOnItem(&handle, 'M', 2, 500, "0")) << "no such file";
    EXPECT_EQ(m_scene->ChangeItem(&handle, 'M', 9), 0);
    EXPECT_EQ(m_scene->ChangeItem(&handle, 0, 2), 0);
    EXPECT_EQ(Compare(before, Draw({avatar})).count, 0u);
    EXPECT_EQ(ReadBack(avatar).items[2], "1020000.KRI");

    // A texture name too long for the engine, or one without a file, leaves the item's own.
    EXPECT_TRUE(m_scene->PutOnItem(&handle, 'M', 2, 2, "1020021.KRT-and-a-great-deal-more-text"));
    EXPECT_TRUE(m_scene->PutOnItem(&handle, 'M', 3, 2, "9999999.KRT"));
    d = ReadBack(avatar);
    EXPECT_EQ(d.items[2], "1020020.KRI");
    EXPECT_EQ(d.items[3], "1030020.KRI");
    EXPECT_EQ(d.textures.count(2) + d.textures.count(3), 0u);

    char name[kItemFileNameSize];
    EXPECT_FALSE(CAvatarScene::MakeItemFileName(name, 1, 2, 1000));
    EXPECT_STREQ(name, "0000000.KRI");
    EXPECT_FALSE(CAvatarScene::MakeItemFileName(name, 3, 2, 1));
    EXPECT_TRUE(CAvatarScene::MakeItemFileName(name, 2, 6, 999));
    EXPECT_STREQ(name, "2069990.KRI");
    EXPECT_FALSE(CAvatarScene::MakeTextureFileName(name, 1, 2, 3, 10));
    EXPECT_STREQ(name, "0000000.KRT");
    EXPECT_TRUE(CAvatarScene::MakeTextureFileName(name, 1, 2, 3, 1));
    EXPECT_STREQ(name, "1020031.KRT");
}

TEST_F(AvatarSceneFixture, CatalogueItemsPutOnAndTakenOffChangeTheAvatarWhereTheyAre)
{
    const _KRA_HANDLE avatar = Build('M', kDemoItems, 4001);
    _KRA_HANDLE handle = avatar;
    const YondaPicture dressed = Draw({avatar});

    // A shirt's texture variant, as the shop puts a catalogue item on: gender number, category,
    // number and the texture text.
    const ITEM_RECORD* green = CatalogueItem(1, 2, 2, true);
    ASSERT_NE(green, nullptr);
    ASSERT_TRUE(m_scene->PutOnItem(&handle, static_cast<char>(green->byGender), green->byCategory, green->nItemNumber,
                                   green->szTexture));
    Dress d = ReadBack(avatar);
    EXPECT_EQ(d.count, 5u);
    EXPECT_EQ(d.items[2], "1020020.KRI");
    EXPECT_EQ(d.textures[2], "1020021.KRT");
    const YondaPicture shirt = Draw({avatar});
    Difference changed = Compare(dressed, shirt);
    EXPECT_GT(changed.count, 100u);
    EXPECT_LT(changed.bottom, kFeetTop) << "the feet are as they were";

    // The plain shirt of the same number: the variant's texture goes with the old item.
    const ITEM_RECORD* plain = CatalogueItem(1, 2, 2, false);
    ASSERT_NE(plain, nullptr);
    ASSERT_TRUE(m_scene->PutOnItem(&handle, 'M', plain->byCategory, plain->nItemNumber, plain->szTexture));
    d = ReadBack(avatar);
    EXPECT_EQ(d.items[2], "1020020.KRI");
    EXPECT_EQ(d.textures.count(2), 0u);
    const YondaPicture plainShirt = Draw({avatar});
    EXPECT_GT(Compare(shirt, plainShirt).count, 100u);

    // Something in the hand, then taken off again: the frame is the one before.
    const ITEM_RECORD* held = CatalogueItem(1, 5, 1, false);
    ASSERT_NE(held, nullptr);
    ASSERT_TRUE(m_scene->PutOnItem(&handle, 1, '0' + held->byCategory, held->nItemNumber, held->szTexture));
    EXPECT_EQ(ReadBack(avatar).items[5], "1050010.KRI");
    EXPECT_GT(Compare(plainShirt, Draw({avatar})).count, 20u);
    EXPECT_EQ(m_scene->ChangeItem(&handle, 'M', 5), 1);
    d = ReadBack(avatar);
    EXPECT_EQ(d.items.count(5), 0u);
    EXPECT_EQ(d.count, 5u);
    EXPECT_EQ(Compare(plainShirt, Draw({avatar})).count, 0u);

    // Taking the shirt off puts the default one back; a hair item taken off that is not worn
    // changes nothing.
    EXPECT_EQ(m_scene->ChangeItem(&handle, 'M', 2), 1);
    EXPECT_EQ(ReadBack(avatar).items[2], "1020000.KRI");
    EXPECT_EQ(m_scene->ChangeItem(&handle, 'M', '6'), 1);
    EXPECT_EQ(ReadBack(avatar).count, 5u);

    // The lady's catalogue items on a lady.
    _KRA_HANDLE lady = Build('F', kDemoItems, 4002);
    const ITEM_RECORD* band = CatalogueItem(2, 6, 1, false);
    const ITEM_RECORD* dress = CatalogueItem(2, 2, 2, false);
    ASSERT_TRUE(band && dress);
    EXPECT_TRUE(m_scene->PutOnItem(&lady, 'F', band->byCategory, band->nItemNumber, band->szTexture));
    EXPECT_TRUE(m_scene->PutOnItem(&lady, 2, dress->byCategory, dress->nItemNumber, dress->szTexture));
    d = ReadBack(lady);
    EXPECT_EQ(d.items[6], "2060010.KRI");
    EXPECT_EQ(d.items[2], "2020020.KRI");
}

TEST_F(AvatarSceneFixture, EveryCatalogueItemDressesAnAvatarOfItsGender)
{
    _KRA_HANDLE avatars[2] = {Build('M', {}, 4101), Build('F', {}, 4102)};
    const std::vector<const ITEM_RECORD*> catalogue = CatalogueItems();
    ASSERT_FALSE(catalogue.empty());
    for (const ITEM_RECORD* item : catalogue) {
        ASSERT_NE(item, nullptr);
        SCOPED_TRACE(item->szFileCode);
        ASSERT_TRUE(item->byGender == 1 || item->byGender == 2);
        _KRA_HANDLE& avatar = avatars[item->byGender - 1];
        // As the dressing windows pass it: the gender number and the record's texture text.
        ASSERT_TRUE(m_scene->PutOnItem(&avatar, static_cast<char>(item->byGender), item->byCategory, item->nItemNumber,
                                       item->szTexture));
        char name[kItemFileNameSize];
        CAvatarScene::MakeItemFileName(name, item->byGender, item->byCategory, item->nItemNumber);
        Dress d = ReadBack(avatar);
        EXPECT_EQ(d.items[item->byCategory], name);
        EXPECT_EQ(d.textures.count(item->byCategory) ? d.textures[item->byCategory] : "0",
                  std::string(item->szTexture));
    }
    EXPECT_GT(Covered(Draw({avatars[0]})), 400u);
    EXPECT_GT(Covered(Draw({avatars[1]})), 400u);
}

TEST_F(AvatarSceneFixture, FaceTypesAndLettersSetTheFace)
{
    _KRA_HANDLE avatar = Build('M', kDemoItems, 5001);
    const D3DXVECTOR3 eye(0, 45, -25), at(0, 45, 0);
    auto face = [&](auto&& set) {
        set();
        return Draw({avatar}, eye, at);
    };
    const YondaPicture plain = face([&] { m_scene->SetFace(&avatar, 'M', 0); });
    const YondaPicture second = face([&] { m_scene->SetFace(&avatar, 'M', 2); });
    EXPECT_GT(Compare(plain, second).count, 10u) << "the face moves";
    EXPECT_EQ(Compare(second, face([&] { m_scene->SetFaceByLetter(&avatar, 'M', 'c'); })).count, 0u);
    EXPECT_EQ(Compare(second, face([&] { m_scene->SetFaceByLetter(&avatar, 'M', 'C'); })).count, 0u);
    EXPECT_EQ(Compare(second, face([&] { m_scene->SetFace(&avatar, 'M', '2'); })).count, 0u);
    EXPECT_EQ(Compare(plain, face([&] { m_scene->SetFaceByLetter(&avatar, 'M', '2'); })).count, 0u)
        << "a digit letter is the plain face";
    EXPECT_EQ(Compare(plain, face([&] { m_scene->SetFace(&avatar, 'M', 77); })).count, 0u);
    const YondaPicture fourth = face([&] { m_scene->SetFaceByLetter(&avatar, 'M', 'E'); });
    EXPECT_EQ(Compare(fourth, face([&] { m_scene->SetFace(&avatar, 'M', 4); })).count, 0u);
    EXPECT_GT(Compare(fourth, second).count, 10u);
}

TEST_F(AvatarSceneFixture, EmotionsPlayTheirMotionsOnlyWithinTheLoadedLists)
{
    _KRA_HANDLE lady = Build('F', kDemoItems, 6001);
    _KRA_HANDLE man = Build('M', kDemoItems, 6002);
    m_scene->StartGenderMotion('F', &lady);
    m_scene->StartGenderMotion('M', &man);
    auto current = [&](_KRA_HANDLE avatar) {
        int motion = -1;
        Scene()->GetCurrentMotion(avatar, motion);
        return motion;
    };
    m_scene->PlayEmotion(&lady, 'F', 37);
    EXPECT_EQ(current(lady), 36);
    m_scene->PlayEmotion(&lady, 'F', 2);
    EXPECT_EQ(current(lady), 2);
    m_scene->PlayEmotion(&lady, 'F', 36);
    EXPECT_EQ(current(lady), 36);
    m_scene->PlayEmotion(&lady, 'F', 48);
    EXPECT_EQ(current(lady), 47);
    m_scene->PlayEmotion(&man, 'M', 43);
    EXPECT_EQ(current(man), 42);
    m_scene->PlayEmotion(&man, 'M', 53);
    EXPECT_EQ(current(man), 52);

    // Beyond what the kind has loaded (a chat kind of the network reaches 255): the face only.
    m_scene->PlayEmotion(&lady, 'F', 49);
    EXPECT_EQ(current(lady), 47);
    m_scene->PlayEmotion(&lady, 'F', 255);
    m_scene->PlayEmotion(&man, 'M', 54);
    m_scene->PlayEmotion(&man, 'M', -4);
    EXPECT_EQ(current(lady), 47);
    EXPECT_EQ(current(man), 52);
    // The avatar's own kind decides, whatever gender the caller names.
    m_scene->PlayEmotion(&lady, 'M', 50);
    EXPECT_EQ(current(lady), 47);
    Draw({lady, man});
}

TEST_F(AvatarSceneFixture, AMotionPlaysAndTellsItsEnd)
{
    _KRA_HANDLE avatar = Build('M', kDemoItems, 7001);
    m_scene->StartGenderMotion('M', &avatar);
    Scene()->SetLoopMotion(avatar, false);
    m_scene->PlayEmotion(&avatar, 'M', 2);
    const YondaPicture start = Draw({avatar});
    YondaClockAdvance(400);
    const YondaPicture later = Draw({avatar});
    EXPECT_GT(Compare(start, later).count, 20u) << "the body moves";

    for (int step = 0; step < 100 && g_endedMotions.empty(); ++step) {
        YondaClockAdvance(100);
        Draw({avatar});
    }
    ASSERT_FALSE(g_endedMotions.empty());
    EXPECT_EQ(g_endedMotions.front(), std::make_pair(DWORD(avatar), DWORD(2)));
}

// The 3D view's input half where it meets the engine and the skins: the turn an avatar makes to
// face a direction, checked through the engine's own turning, and the avatar menus the room-user
// window's layout names in both skins.
#include "AvatarSceneFixture.h"
#include "AvatarTurn.h"

#include <ImageFile.h>
#include <PopupMenuDef.h>

#include <cmath>
#include <limits>

using namespace avatartest;

namespace {

std::vector<WORN_ITEM> Clothes()
{
    return {Worn("0001\0"
                 "0\0"),
            Worn("2001\0"
                 "0\0"),
            Worn("3001\0"
                 "0\0"),
            Worn("4001\0"
                 "0\0")};
}

} // namespace

TEST_F(AvatarSceneFixture, AnAvatarTurnsToFaceTheDirectionItIsGiven)
{
    const _KRA_HANDLE avatar = Build('M', Clothes(), 1);
    ASSERT_NE(avatar, 0u);
    _KRA_HANDLE handle = avatar;
    const D3DXVECTOR3 wanted[] = {{1, 0, 0},         {0, 0, -1}, {-1, 0, 0}, {0.6f, 0, 0.8f},
                                  {-0.6f, 0, -0.8f}, {0, 0, 1},  {3, 0, -4}};
    for (const D3DXVECTOR3& direction : wanted) {
        D3DXVECTOR3 front;
        ASSERT_EQ(Scene()->GetAvatarFrontVector(handle, front), KRA_OK);
        const float degrees = AvatarTurnDegrees(front, direction);
        D3DXVECTOR3 turn(0, degrees, 0);
        ASSERT_EQ(Scene()->RotateAvatar(handle, turn), KRA_OK);
        ASSERT_EQ(Scene()->GetAvatarFrontVector(handle, front), KRA_OK);
        D3DXVECTOR3 unit = direction;
        D3DXVec3Normalize(&unit, &unit);
        EXPECT_NEAR(front.x, unit.x, 1e-3) << direction.x << "," << direction.z;
        EXPECT_NEAR(front.z, unit.z, 1e-3) << direction.x << "," << direction.z;
        // Facing it already, nothing more to turn.
        EXPECT_EQ(AvatarTurnDegrees(front, direction), 0.0f);
    }
    // Straight back is half a turn; no direction at all, or one that is not a number, is none.
    EXPECT_FLOAT_EQ(std::fabs(AvatarTurnDegrees(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 0, -1))), 180.0f);
    EXPECT_EQ(AvatarTurnDegrees(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 0, 0)), 0.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(AvatarTurnDegrees(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(nan, 0, 1)), 0.0f);
}

class AvatarMenus : public testing::TestWithParam<const char*> {};

TEST_P(AvatarMenus, TheRoomUserLayoutNamesMenusThatExistWithTheirPictures)
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    CMainSkin skin;
    ASSERT_EQ(skin.LoadSkin(CString(binary) + "/yonda", GetParam()), 1);
    CIniFile layout;
    ASSERT_TRUE(layout.Load(skin.m_elements[CMainSkin::INFO_WINDOW].strIniFile));
    const CString menus = skin.m_strSkinFolder + "\\" + skin.m_strPopupMenuIni;
    // A host's menus hand the room over and put members out; a guest's only the first three.
    const std::pair<const char*, int> keys[] = {
        {"CMenuHost", 5}, {"CMenuGuest", 3}, {"CMenuFriend", 3}, {"CMenuFriendHost", 5}};
    for (const auto& [key, count] : keys) {
        SCOPED_TRACE(key);
        CString section;
        ASSERT_TRUE(layout.GetString("Common", key, &section));
        CPopupMenuDef menu;
        ASSERT_TRUE(menu.Load(menus, section));
        EXPECT_EQ(menu.m_nCount, count);
        EXPECT_NE(menu.m_bmpBack.GetSafeHandle(), nullptr);
        for (int i = 0; i < count; ++i) {
            EXPECT_FALSE(menu.GetText(i).IsEmpty()) << i;
        }
    }
    // The friend menus delete where the others add.
    CString friendMenu, guestMenu;
    layout.GetString("Common", "CMenuFriend", &friendMenu);
    layout.GetString("Common", "CMenuGuest", &guestMenu);
    CPopupMenuDef a, b;
    ASSERT_TRUE(a.Load(menus, friendMenu));
    ASSERT_TRUE(b.Load(menus, guestMenu));
    EXPECT_NE(a.GetText(1), b.GetText(1));
    // The tab pictures fill the tab area.
    RECT area{};
    ASSERT_TRUE(layout.GetRect("Common", "TabAreaRect", &area));
    for (const char* key : {"TabImage1", "TabImage2"}) {
        CString file;
        ASSERT_TRUE(layout.GetString("Common", key, &file));
        CBitmap picture;
        ASSERT_TRUE(LoadBitmapFile(skin.m_strSkinFolder + "\\" + file, &picture, nullptr)) << key;
        BITMAP info{};
        picture.GetBitmap(&info);
        EXPECT_EQ(info.bmWidth, area.right - area.left) << key;
        EXPECT_EQ(info.bmHeight, area.bottom - area.top) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(BothSkins, AvatarMenus, testing::Values("Orange", "Orange_Do"));

// The member's own items against the real service on loopback: what the service says the
// member owns and wears marks the catalogue, and the member's changes reach the service and the
// members of the place.
#include "CatalogueFiles.h"

#include "ClientGlobals.h"
#include "ClientSession.h"
#include "ItemCatalog.h"
#include "ServiceHarness.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace catalogue_test;
using namespace yonda;

namespace {

const char* const kHeader = "code,name,price,sale,text,file,texture,description";

// A dressed member of the harness wears hair 9 and top 9.
const std::vector<std::string> kRows = {
    "man_hair,3",
    kHeader,
    "1000090,Nine,0,0,Hair,100009,0,plain",
    "1000091,Nine red,300,1,Hair,100009,1000091.KRT,red",
    "1000100,Ten,500,1,Hair,100010,0,ten",
    "man_face,1",
    kHeader,
    "1010090,Face,0,0,Face,101009,0,face",
    "man_up,2",
    kHeader,
    "1020090,Top nine,0,0,Top,102009,0,top",
    "1020120,Top twelve,800,1,Top,102012,0,top",
    "lady_up,1",
    kHeader,
    "2020090,Blouse,0,0,Top,202009,0,blouse",
};

class OwnedItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home.Write("data/item/item.dsv", Encode(kRows));
        g_strInstallPath = m_home.Root().c_str();
        ASSERT_EQ(m_catalog.Load(), 1);

        int32_t balance = 0;
        ASSERT_EQ(service.store().buy(kim, {"", 'M', 0, 9, 1, false}, 300, balance), service::BuyResult::Bought);
        ASSERT_EQ(service.store().buy(kim, {"", 'M', 2, 12, 0, false}, 800, balance), service::BuyResult::Bought);
        ASSERT_EQ(service.store().buy(kim, {"", 'M', 1, 9, 0, false}, 0, balance), service::BuyResult::Bought);

        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
        g_pSession = &m_session;
        g_pComm = m_session.GetComm();
    }
    void TearDown() override
    {
        m_session.GetComm()->Disconnect();
        g_pSession = nullptr;
        g_pComm = nullptr;
        g_strInstallPath.Empty();
    }

    ITEM_RECORD* Item(int category, int index)
    {
        return m_catalog.GetItem(1, category, index, nullptr, nullptr, nullptr);
    }

    // What the service keeps: "category:number:texture:worn" of every owned item.
    std::vector<std::string> Stored()
    {
        std::vector<std::string> items;
        for (const service::OwnedItem& item : service.store().items(kim))
            items.push_back(std::to_string(item.category) + ":" + std::to_string(item.number) + ":" +
                            std::to_string(item.texture) + ":" + (item.worn ? "Y" : "N"));
        std::sort(items.begin(), items.end());
        return items;
    }

    yonda::testing::TempFolder m_home{"yonda-owned-items"};
    CItemCatalog m_catalog;
    yonda::testing::ServiceHarness service{"owned-items"};
    int kim = service.addMember("kim", "Kim", 5000);
    CClientSession m_session;
};

TEST_F(OwnedItems, TheServiceMarksOwnedAndWornItemsButNeverTheFace)
{
    ASSERT_EQ(m_catalog.QueryMyItems(), 1);
    ITEM_RECORD* nine = Item(ITEM_HAIR, 0);
    ITEM_RECORD* red = Item(ITEM_HAIR, 1);
    ITEM_RECORD* ten = Item(ITEM_HAIR, 2);
    ITEM_RECORD* top = Item(ITEM_UPPER, 0);
    ITEM_RECORD* twelve = Item(ITEM_UPPER, 1);
    EXPECT_TRUE(nine->byOwned && nine->byWorn && nine->bySavedWorn);
    EXPECT_TRUE(red->byOwned) << "the variant is the record after its plain item";
    EXPECT_FALSE(red->byWorn);
    EXPECT_FALSE(ten->byOwned);
    EXPECT_TRUE(top->byOwned && top->byWorn);
    EXPECT_TRUE(twelve->byOwned && !twelve->byWorn);
    EXPECT_FALSE(Item(ITEM_FACE, 0)->byOwned);
    EXPECT_FALSE(m_catalog.GetItem(2, ITEM_UPPER, 0, nullptr, nullptr, nullptr)->byOwned);
    EXPECT_EQ(std::strlen(nine->szOwnedKey), 16u);
    EXPECT_STRNE(nine->szOwnedKey, red->szOwnedKey);
    EXPECT_EQ(m_catalog.m_pServiceWorn[0], nine);
    EXPECT_EQ(m_catalog.m_pServiceWorn[1], top);
    EXPECT_EQ(m_catalog.m_pServiceWorn[2], nullptr);
    EXPECT_FALSE(m_catalog.HasChanges());

    // Without a connection everything stays cleared.
    m_session.GetComm()->Disconnect();
    EXPECT_EQ(m_catalog.QueryMyItems(), 1);
    EXPECT_FALSE(nine->byOwned || nine->byWorn || nine->bySavedWorn);
    EXPECT_EQ(m_catalog.m_pServiceWorn[0], nullptr);
}

TEST_F(OwnedItems, ChangesReachTheServiceAndInALobbyTheMembersThere)
{
    yonda::testing::TestClient lee;
    service.addMember("lee", "Lee");
    ASSERT_NE(lee.login(service.port(), "lee"), 0);
    ASSERT_EQ(lee.join(1, -1), proto::Ok);
    ASSERT_TRUE(m_session.JoinPlace(1, -1, ""));
    lee.clearEvents();

    ASSERT_EQ(m_catalog.QueryMyItems(), 1);
    ITEM_RECORD* nine = Item(ITEM_HAIR, 0);
    ITEM_RECORD* red = Item(ITEM_HAIR, 1);
    ITEM_RECORD* top = Item(ITEM_UPPER, 0);
    // The member puts the red hair on and takes the top off, as the dressing windows do.
    nine->byWorn = 0;
    red->byWorn = 1;
    top->byWorn = 0;
    m_catalog.m_pChosenWorn[0] = red;
    m_catalog.m_pChosenWorn[1] = nullptr;
    ASSERT_TRUE(m_catalog.HasChanges());

    // Outside a place only the service hears of it.
    ASSERT_EQ(m_catalog.RequestItemChange(), 1);
    EXPECT_EQ(Stored(), (std::vector<std::string>{"0:9:0:N", "0:9:1:Y", "1:9:0:N", "2:12:0:N", "2:9:0:N"}));
    EXPECT_TRUE(lee.quietAbout(proto::EvItemChange));

    m_session.SetLocation(LOC_LOBBY);
    ASSERT_EQ(m_catalog.RequestItemChange(), 1);
    auto on = lee.waitFor(proto::EvItemChange);
    ASSERT_TRUE(on);
    proto::Block hair(on->block.data(), on->block.size());
    EXPECT_EQ(hair.getI32(0), kim);
    EXPECT_EQ(hair.getCh(4), 'M');
    EXPECT_EQ(hair.getCh(5), '0');
    EXPECT_EQ(hair.getText(6, 4), "9");
    EXPECT_EQ(hair.getCh(10), '1') << "the red hair is a texture variant";
    EXPECT_EQ(hair.getCh(13), 'Y');
    auto off = lee.waitFor(proto::EvItemChange);
    ASSERT_TRUE(off);
    proto::Block shirt(off->block.data(), off->block.size());
    EXPECT_EQ(shirt.getCh(5), '2');
    EXPECT_EQ(shirt.getCh(10), '0');
    EXPECT_EQ(shirt.getCh(13), 'N');
    EXPECT_TRUE(lee.quietAbout(proto::EvItemChange));

    // Asked again, the service's marks agree with the member's.
    ASSERT_EQ(m_catalog.QueryMyItems(), 1);
    EXPECT_TRUE(red->byWorn && red->bySavedWorn);
    EXPECT_FALSE(nine->byWorn);
    EXPECT_EQ(m_catalog.m_pServiceWorn[0], red);
    EXPECT_FALSE(m_catalog.HasChanges());
}

TEST_F(OwnedItems, ShortAndForeignElementsMarkNothing)
{
    YONDA_MY_ITEM_ELEMENT element{};
    std::memcpy(element.szKey, "KEY0123456789ABC", 16);
    element.item = {'M', '2', "012", "00", 1, 'Y'};
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&element);
    EXPECT_FALSE(m_catalog.ApplyOwnedItem(bytes, sizeof element - 1));
    EXPECT_FALSE(Item(ITEM_UPPER, 1)->byOwned);
    EXPECT_FALSE(m_catalog.ApplyOwnedItem(nullptr, sizeof element));
    ASSERT_TRUE(m_catalog.ApplyOwnedItem(bytes, sizeof element));
    EXPECT_TRUE(Item(ITEM_UPPER, 1)->byWorn);
    EXPECT_STREQ(Item(ITEM_UPPER, 1)->szOwnedKey, "KEY0123456789ABC");

    // A key that fills its field is cut to the record's sixteen characters.
    std::memset(element.szKey, 'K', sizeof element.szKey);
    ASSERT_TRUE(m_catalog.ApplyOwnedItem(bytes, sizeof element));
    EXPECT_EQ(std::strlen(Item(ITEM_UPPER, 1)->szOwnedKey), 16u);

    element.item = {'M', '1', "009", "00", 1, 'Y'};
    EXPECT_FALSE(m_catalog.ApplyOwnedItem(bytes, sizeof element)) << "the face is never owned";
    element.item = {'M', '2', "077", "00", 1, 'Y'};
    EXPECT_FALSE(m_catalog.ApplyOwnedItem(bytes, sizeof element)) << "not in the catalogue";
}

} // namespace

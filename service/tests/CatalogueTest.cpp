// The item catalogue as the service reads it for prices.
#include <gtest/gtest.h>

#include "Catalogue.h"
#include "ServiceHarness.h"

using yonda::service::Catalogue;
using yonda::testing::encodeCatalogue;
using yonda::testing::sampleCatalogueRows;

TEST(Catalogue, PricesByGenderCategoryNumberAndVariant)
{
    Catalogue catalogue;
    ASSERT_TRUE(catalogue.parse(encodeCatalogue(sampleCatalogueRows())));
    EXPECT_EQ(catalogue.size(), 10u);
    struct Case {
        char gender;
        int category, number;
        bool variant;
        std::optional<int32_t> price;
    };
    const Case cases[] = {
        {'M', 0, 1, false, 100},          {'M', 0, 1, true, 150}, // the record after it
        {'M', 2, 2, true, std::nullopt},                          // the last of its category has no variant
        {'M', 2, 1, true, std::nullopt}, // the record after it is another item, not its variant
        {'M', 2, 2, false, 5000},         {'F', 2, 1, false, 200}, {'F', 0, 1, false, std::nullopt},
        {'M', 3, 2, false, std::nullopt}, {'M', 3, 1, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(catalogue.price(c.gender, c.category, c.number, c.variant), c.price)
            << c.gender << c.category << " " << c.number << (c.variant ? " variant" : "");
}

TEST(Catalogue, RefusesWhatTheClientWouldRefuse)
{
    Catalogue catalogue;
    EXPECT_FALSE(catalogue.parse(encodeCatalogue({"man_up,0", "header", "1,A,10,0,,1_2001,0,x"}))); // empty category
    EXPECT_EQ(catalogue.size(), 0u);
    EXPECT_FALSE(catalogue.parse({}));
    EXPECT_FALSE(catalogue.load("/nonexistent/item.dsv"));

    // An overlong record ends the reading; what came before stays.
    auto rows = sampleCatalogueRows();
    rows.insert(rows.begin() + 5, std::string(900, 'x'));
    ASSERT_TRUE(catalogue.parse(encodeCatalogue(rows)));
    EXPECT_EQ(catalogue.size(), 2u);
    EXPECT_FALSE(catalogue.price('M', 2, 1, false));

    // Rows beyond a category's declared count are not the client's items, so they have no price.
    ASSERT_TRUE(catalogue.parse(encodeCatalogue(
        {"man_up,1", "h", "1,A,10,0,,1_2001,0,a", "2,B,20,0,,1_2002,0,b", "lady_up,1", "h", "3,C,30,0,,2_2001,0,c"})));
    EXPECT_EQ(catalogue.size(), 2u);
    EXPECT_EQ(catalogue.price('M', 2, 1, false), 10);
    EXPECT_FALSE(catalogue.price('M', 2, 2, false));
    EXPECT_FALSE(catalogue.price('M', 2, 1, true)) << "the row after the declared ones is no variant";
    EXPECT_EQ(catalogue.price('F', 2, 1, false), 30);

    // An empty record ends the file for the client, so what follows it is no item.
    ASSERT_TRUE(
        catalogue.parse(encodeCatalogue({"man_up,2", "h", "1,A,10,0,,1_2001,0,a", "", "2,B,20,0,,1_2002,0,b"})));
    EXPECT_EQ(catalogue.size(), 1u);
    EXPECT_FALSE(catalogue.price('M', 2, 2, false));

    // Short rows and strange codes are skipped, never read past.
    ASSERT_TRUE(catalogue.parse(encodeCatalogue({"lady_hair,3", "h", "1,A", "2,B,30,0,,2_0", "3,C,40,0,,2_0007,0,z"})));
    EXPECT_EQ(catalogue.price('F', 0, 0, false), 30);
    EXPECT_EQ(catalogue.price('F', 0, 7, false), 40);

    // Rows beyond the count a category announced are no items, as for the client.
    ASSERT_TRUE(catalogue.parse(encodeCatalogue({"man_low,1", "h", "1,A,0,0,,1_3001,0,a", "2,B,0,0,,1_3002,0,b"})));
    EXPECT_EQ(catalogue.size(), 1u);
    EXPECT_TRUE(catalogue.isFreeStartingItem('M', 3, 1));
    EXPECT_FALSE(catalogue.isFreeStartingItem('M', 3, 2));
    EXPECT_FALSE(catalogue.isFreeStartingItem('F', 3, 1)); // the other gender's catalogue
}

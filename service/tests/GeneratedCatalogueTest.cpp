// The service program started on the catalogue the build generates for the client: it reads
// every item the client reads, and a purchase costs exactly the price the catalogue shows.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "ServiceHarness.h"
#include "ServiceProgram.h"

using namespace yonda;
using namespace yonda::proto;
using yonda::testing::ServiceProgram;
using yonda::testing::TestClient;

namespace {

// One item row of the catalogue as the shop shows it: which item, and what it costs.
struct Offer {
    char gender = 'M';
    int category = 0;
    int number = 0;
    bool variant = false;
    int price = 0;
};

std::filesystem::path GeneratedCatalogue()
{
    const char* build = std::getenv("YONDA_BINARY_DIR");
    return std::filesystem::path(build && *build ? build : ".") / "yonda" / "Data" / "Item" / "item.dsv";
}

// Complemented records ended by zero bytes; a category row, a header row, then its item rows.
std::vector<Offer> ReadOffers(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Offer> offers;
    std::string record;
    char gender = 0;
    bool header = false;
    for (uint8_t b : bytes) {
        if (b != 0) {
            record.push_back(static_cast<char>(~b));
            continue;
        }
        std::vector<std::string> fields(1);
        for (char c : record) {
            if (c == ',')
                fields.emplace_back();
            else
                fields.back().push_back(c);
        }
        record.clear();
        if (header) {
            header = false;
        } else if (fields[0].rfind("man_", 0) == 0 || fields[0].rfind("lady_", 0) == 0) {
            gender = fields[0][0] == 'm' ? 'M' : 'F';
            header = true;
        } else if (fields.size() == 8) {
            offers.push_back({gender, fields[5][2] - '0', std::atoi(fields[5].substr(3).c_str()), fields[6] != "0",
                              std::atoi(fields[2].c_str())});
        }
    }
    return offers;
}

comm::Link::Request Buy(TestClient& client, const Offer& offer, int32_t believed)
{
    char number[8];
    std::snprintf(number, sizeof number, "%03d", offer.number);
    Block record(kItemBuyLayout);
    record.ch(0, offer.gender).ch(1, static_cast<char>('0' + offer.category)).text(2, 4, number);
    record.text(6, 3, offer.variant ? "10" : "00").u8(9, 1).ch(10, 'N');
    auto request = client.begin(BuyItem);
    request.writer.bytes(record.bytes()).i32(believed);
    return request;
}

TEST(GeneratedCatalogue, ThePriceOfEveryKindOfPurchaseIsTheCataloguesPrice)
{
    std::filesystem::path catalogue = GeneratedCatalogue();
    std::vector<Offer> offers = ReadOffers(catalogue);
    ASSERT_GT(offers.size(), 100u) << catalogue;

    auto folder = yonda::testing::freshFolder("generated-catalogue");
    std::string database = yonda::testing::databaseWithKim(folder, 10000);
    ASSERT_FALSE(database.empty());
    ServiceProgram program = yonda::testing::startServiceProgram(database, catalogue.string());
    ASSERT_GT(program.port, 0);
    EXPECT_EQ(program.catalogueItems, offers.size()) << "the program reads every row the client reads";

    // A priced item, the texture variant after it, a free starting item, a hat and a lady's shoe.
    auto find = [&](auto&& wanted) {
        auto it = std::find_if(offers.begin(), offers.end(), wanted);
        EXPECT_NE(it, offers.end());
        return it == offers.end() ? Offer{} : *it;
    };
    Offer top = find([](const Offer& o) { return o.gender == 'M' && o.category == 2 && !o.variant && o.price > 0; });
    Offer topVariant =
        find([&](const Offer& o) { return o.variant && o.category == 2 && o.number == top.number && o.gender == 'M'; });
    Offer free = find([](const Offer& o) { return o.gender == 'M' && o.category == 4 && !o.variant && o.price == 0; });
    Offer hat = find([](const Offer& o) { return o.gender == 'M' && o.category == 6 && o.price > 0; });
    Offer shoe = find([](const Offer& o) { return o.gender == 'F' && o.category == 4 && o.variant && o.price > 0; });
    EXPECT_NE(top.price, topVariant.price) << "the variant has its own price";

    TestClient kim;
    ASSERT_GT(kim.login(program.port, "kim"), 0);
    int32_t balance = 10000;
    for (const Offer& offer : {top, topVariant, free, hat, shoe}) {
        SCOPED_TRACE(std::string(1, offer.gender) + std::to_string(offer.category) + " " +
                     std::to_string(offer.number) + (offer.variant ? " variant" : ""));
        // The buyer's own idea of the balance counts for nothing.
        auto request = Buy(kim, offer, 999999);
        auto reply = kim.ask(request);
        ASSERT_TRUE(reply && reply->ok());
        int32_t now = reply->fields().i32();
        EXPECT_EQ(now, balance - offer.price);
        balance = now;
    }
    // An item the catalogue does not hold cannot be bought, nor a variant of an item without one.
    Offer missing{'M', 2, 999, false, 0};
    auto request = Buy(kim, missing, balance);
    EXPECT_EQ(kim.status(request), NotFound);
    Offer noVariant = hat;
    noVariant.variant = true;
    auto again = Buy(kim, noVariant, balance);
    EXPECT_EQ(kim.status(again), NotFound);
    auto points = kim.begin(Points);
    auto reply = kim.ask(points);
    ASSERT_TRUE(reply && reply->ok());
    EXPECT_EQ(reply->fields().i32(), balance);

    kim.link.disconnect();
    kill(program.pid, SIGTERM);
    waitpid(program.pid, nullptr, 0);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

} // namespace

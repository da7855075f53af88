// What the service keeps across restarts, in one SQLite database in WAL mode: accounts and
// profiles, avatars and owned items, points, friends and uploaded avatar pictures. Every change
// is one transaction committed before the answer goes out, so a member is never told of a
// purchase or a friend that a crash could take back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace yonda::service {

struct Account {
    int32_t user = 0;
    std::string login;
    std::string hash;
    std::string nickname;
    char gender = 'M';
    uint8_t age = 0;
    std::string area, job, hobby, tel, email, intro;
    int32_t points = 0;
    bool hasAvatar = false;
    char face = '0';
};

struct OwnedItem {
    std::string key;
    char gender = 'M';
    int category = 0;
    int number = 0;
    int texture = 0;
    bool worn = false;
};

enum class BuyResult { Bought, TooFewPoints, AlreadyOwned, Failed };

class Store {
public:
    Store() = default;
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    bool open(const std::string& path);

    std::optional<Account> accountByLogin(const std::string& login);
    std::optional<Account> accountByUser(int32_t user);
    // The new account's user number, or nothing when the ID or the nickname is taken.
    std::optional<int32_t> addAccount(const Account& account);
    bool setNickname(int32_t user, const std::string& nickname); // false when taken
    bool setIntro(int32_t user, const std::string& intro);
    bool setFace(int32_t user, char face);
    // Gives the member the avatar and its first items, worn; false when one exists already.
    bool createAvatar(int32_t user, char gender, const std::vector<OwnedItem>& items);

    std::vector<OwnedItem> items(int32_t user);
    bool setWorn(int32_t user, const std::string& key, bool worn);
    BuyResult buy(int32_t user, const OwnedItem& item, int32_t price, int32_t& balance);

    bool addFriend(int32_t user, int32_t friendUser); // false when listed already
    bool deleteFriend(int32_t user, int32_t friendUser);
    std::vector<int32_t> friendsOf(int32_t user);       // ascending
    std::vector<int32_t> listedAsFriendBy(int32_t user);

    bool saveImage(const std::string& login, const std::vector<uint8_t>& jpeg);
    std::optional<std::vector<uint8_t>> image(const std::string& login);

private:
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    std::string newKey();
    bool insertItem(int32_t user, const OwnedItem& item);

    sqlite3* m_db = nullptr;
};

} // namespace yonda::service

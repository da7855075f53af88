// What the service keeps across restarts, in one SQLite database in WAL mode: accounts and
// profiles, avatars and owned items, points, friends and uploaded avatar pictures. Every change
// is one transaction committed before the answer goes out, so a member is never told of a
// purchase or a friend that a crash could take back. The database holds password hashes and
// members' addresses: it, its journal and a folder made for it are the service user's alone.
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

// What became of a change: made; refused by what is stored (taken, exists already, nothing of
// that kind); or not made because the database failed or stayed locked.
enum class Change { Done, Refused, Failed };

class Store {
public:
    Store() = default;
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens (or makes, owner-only) the database; `busyMs` is how long a statement waits for
    // another connection's lock before it fails.
    bool open(const std::string& path, int busyMs = 5000);
    const std::string& path() const { return m_path; }
    void setBusyTimeout(int ms);

    std::optional<Account> accountByLogin(const std::string& login);
    std::optional<Account> accountByUser(int32_t user);
    // The new account's user number, or nothing when the ID or the nickname is taken.
    std::optional<int32_t> addAccount(const Account& account);
    Change setNickname(int32_t user, const std::string& nickname); // refused when taken
    Change setIntro(int32_t user, const std::string& intro);
    Change setFace(int32_t user, char face);
    // Gives the member the avatar and its first items, worn; refused when one exists already.
    Change createAvatar(int32_t user, char gender, const std::vector<OwnedItem>& items);

    std::vector<OwnedItem> items(int32_t user);
    Change setWorn(int32_t user, const std::string& key, bool worn); // refused when not owned
    BuyResult buy(int32_t user, const OwnedItem& item, int32_t price, int32_t& balance);

    Change addFriend(int32_t user, int32_t friendUser);    // refused when listed already
    Change deleteFriend(int32_t user, int32_t friendUser); // refused when not listed
    std::vector<int32_t> friendsOf(int32_t user);          // ascending
    std::vector<int32_t> listedAsFriendBy(int32_t user);

    Change saveImage(const std::string& login, const std::vector<uint8_t>& jpeg);
    std::optional<std::vector<uint8_t>> image(const std::string& login);

private:
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    std::string newKey();
    bool insertItem(int32_t user, const OwnedItem& item);
    // Done when the statement changed exactly one row, refused when it changed none or broke a
    // uniqueness rule, failed otherwise.
    Change changeOne(int result);

    sqlite3* m_db = nullptr;
    std::string m_path;
};

} // namespace yonda::service

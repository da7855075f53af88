#include "Store.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Log.h"

namespace yonda::service {

namespace {

// Makes the folders leading to `file` that are missing, each for its owner alone.
bool makeFolders(const std::string& file)
{
    for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1)) {
        std::string folder = file.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            logError("cannot make the folder %s: %s", folder.c_str(), std::strerror(errno));
            return false;
        }
    }
    return true;
}

// Makes the database file for its owner alone when it is not there yet; SQLite gives its journal
// and shared-memory files the database file's permissions.
bool makePrivateFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno != EEXIST) {
        logError("cannot make the database %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && (status.st_mode & 077))
        logWarning("the database %s can be read by other users (mode %03o); it holds password hashes", path.c_str(),
                   static_cast<unsigned>(status.st_mode & 0777));
    return true;
}

// One prepared statement, finalized on every path.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
            logError("database: %s", sqlite3_errmsg(db));
            m_statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return m_statement != nullptr; }
    Statement& bind(int index, int64_t value)
    {
        sqlite3_bind_int64(m_statement, index, value);
        return *this;
    }
    Statement& bind(int index, const std::string& value)
    {
        sqlite3_bind_text(m_statement, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bindBlob(int index, const std::vector<uint8_t>& value)
    {
        sqlite3_bind_blob(m_statement, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return m_statement ? sqlite3_step(m_statement) : SQLITE_ERROR; }
    bool run() { return step() == SQLITE_DONE; }
    int64_t integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    std::string text(int column) const
    {
        const unsigned char* value = sqlite3_column_text(m_statement, column);
        return value ? std::string(reinterpret_cast<const char*>(value),
                                   static_cast<size_t>(sqlite3_column_bytes(m_statement, column)))
                     : std::string();
    }
    char letter(int column, char fallback) const
    {
        std::string value = text(column);
        return value.empty() ? fallback : value[0];
    }
    std::vector<uint8_t> blob(int column) const
    {
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(m_statement, column));
        return data ? std::vector<uint8_t>(data, data + sqlite3_column_bytes(m_statement, column))
                    : std::vector<uint8_t>();
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

// A transaction rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : m_db(db)
    {
        m_open = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~Transaction()
    {
        if (m_open)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    bool commit()
    {
        if (!m_open)
            return false;
        m_open = false;
        return sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    bool ok() const { return m_open; }

private:
    sqlite3* m_db;
    bool m_open = false;
};

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS accounts (
  user INTEGER PRIMARY KEY AUTOINCREMENT,
  login TEXT NOT NULL UNIQUE,
  hash TEXT NOT NULL,
  nickname TEXT NOT NULL UNIQUE,
  gender TEXT NOT NULL DEFAULT 'M',
  age INTEGER NOT NULL DEFAULT 0,
  area TEXT NOT NULL DEFAULT '', job TEXT NOT NULL DEFAULT '', hobby TEXT NOT NULL DEFAULT '',
  tel TEXT NOT NULL DEFAULT '', email TEXT NOT NULL DEFAULT '', intro TEXT NOT NULL DEFAULT '',
  points INTEGER NOT NULL DEFAULT 0 CHECK (points >= 0),
  has_avatar INTEGER NOT NULL DEFAULT 0,
  face TEXT NOT NULL DEFAULT '0');
CREATE TABLE IF NOT EXISTS items (
  key TEXT PRIMARY KEY,
  user INTEGER NOT NULL REFERENCES accounts(user),
  gender TEXT NOT NULL, category INTEGER NOT NULL, number INTEGER NOT NULL, texture INTEGER NOT NULL,
  worn INTEGER NOT NULL DEFAULT 0,
  UNIQUE (user, gender, category, number, texture));
CREATE TABLE IF NOT EXISTS friends (
  user INTEGER NOT NULL, friend INTEGER NOT NULL, PRIMARY KEY (user, friend));
CREATE INDEX IF NOT EXISTS friends_by_friend ON friends(friend);
CREATE TABLE IF NOT EXISTS images (login TEXT PRIMARY KEY, jpeg BLOB NOT NULL);
)";

constexpr const char* kAccountColumns =
    "user, login, hash, nickname, gender, age, area, job, hobby, tel, email, intro, points, has_avatar, face";

Account readAccount(const Statement& row)
{
    Account account;
    account.user = static_cast<int32_t>(row.integer(0));
    account.login = row.text(1);
    account.hash = row.text(2);
    account.nickname = row.text(3);
    account.gender = row.letter(4, 'M');
    account.age = static_cast<uint8_t>(row.integer(5));
    account.area = row.text(6);
    account.job = row.text(7);
    account.hobby = row.text(8);
    account.tel = row.text(9);
    account.email = row.text(10);
    account.intro = row.text(11);
    account.points = static_cast<int32_t>(row.integer(12));
    account.hasAvatar = row.integer(13) != 0;
    account.face = row.letter(14, '0');
    return account;
}

} // namespace

Store::~Store()
{
    if (m_db)
        sqlite3_close(m_db);
}

bool Store::exec(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        logError("database: %s", error ? error : "error");
        sqlite3_free(error);
        return false;
    }
    return true;
}

bool Store::open(const std::string& path, int busyMs)
{
    if (sodium_init() < 0)
        return false;
    m_path = path;
    if (!makeFolders(path) || !makePrivateFile(path))
        return false;
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK) {
        logError("cannot open the database %s: %s", path.c_str(), m_db ? sqlite3_errmsg(m_db) : "out of memory");
        return false;
    }
    setBusyTimeout(busyMs);
    // WAL with full synchronisation: a committed change survives the process being killed and
    // the machine losing power.
    return exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=FULL") && exec("PRAGMA foreign_keys=ON") &&
           exec(kSchema);
}

void Store::setBusyTimeout(int ms)
{
    sqlite3_busy_timeout(m_db, ms);
}

Change Store::changeOne(int result)
{
    if (result == SQLITE_DONE)
        return sqlite3_changes(m_db) == 1 ? Change::Done : Change::Refused;
    if (result == SQLITE_CONSTRAINT)
        return Change::Refused;
    logError("database: %s", sqlite3_errmsg(m_db));
    return Change::Failed;
}

std::optional<Account> Store::accountByLogin(const std::string& login)
{
    std::string sql = std::string("SELECT ") + kAccountColumns + " FROM accounts WHERE login = ?";
    Statement query(m_db, sql.c_str());
    query.bind(1, login);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    return readAccount(query);
}

std::optional<Account> Store::accountByUser(int32_t user)
{
    std::string sql = std::string("SELECT ") + kAccountColumns + " FROM accounts WHERE user = ?";
    Statement query(m_db, sql.c_str());
    query.bind(1, user);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    return readAccount(query);
}

std::optional<int32_t> Store::addAccount(const Account& a)
{
    Statement insert(m_db, "INSERT INTO accounts (login, hash, nickname, gender, age, area, job, hobby, tel, email, "
                           "intro, points, has_avatar, face)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, a.login).bind(2, a.hash).bind(3, a.nickname).bind(4, std::string(1, a.gender)).bind(5, a.age);
    insert.bind(6, a.area).bind(7, a.job).bind(8, a.hobby).bind(9, a.tel).bind(10, a.email).bind(11, a.intro);
    insert.bind(12, a.points).bind(13, a.hasAvatar ? 1 : 0).bind(14, std::string(1, a.face));
    if (!insert.run())
        return std::nullopt;
    return static_cast<int32_t>(sqlite3_last_insert_rowid(m_db));
}

Change Store::setNickname(int32_t user, const std::string& nickname)
{
    Statement update(m_db, "UPDATE accounts SET nickname = ? WHERE user = ?");
    update.bind(1, nickname).bind(2, user);
    return changeOne(update.step());
}

Change Store::setIntro(int32_t user, const std::string& intro)
{
    Statement update(m_db, "UPDATE accounts SET intro = ? WHERE user = ?");
    update.bind(1, intro).bind(2, user);
    return changeOne(update.step());
}

Change Store::setFace(int32_t user, char face)
{
    Statement update(m_db, "UPDATE accounts SET face = ? WHERE user = ?");
    update.bind(1, std::string(1, face)).bind(2, user);
    return changeOne(update.step());
}

std::string Store::newKey()
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string key(16, '0');
    for (char& c : key)
        c = digits[randombytes_uniform(36)];
    return key;
}

bool Store::insertItem(int32_t user, const OwnedItem& item)
{
    Statement insert(
        m_db, "INSERT INTO items (key, user, gender, category, number, texture, worn) VALUES (?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, item.key.empty() ? newKey() : item.key).bind(2, user).bind(3, std::string(1, item.gender));
    insert.bind(4, item.category).bind(5, item.number).bind(6, item.texture).bind(7, item.worn ? 1 : 0);
    return insert.run();
}

Change Store::createAvatar(int32_t user, char gender, const std::vector<OwnedItem>& items)
{
    Transaction transaction(m_db);
    if (!transaction.ok())
        return Change::Failed;
    Statement update(m_db, "UPDATE accounts SET has_avatar = 1, gender = ? WHERE user = ? AND has_avatar = 0");
    update.bind(1, std::string(1, gender)).bind(2, user);
    Change made = changeOne(update.step());
    if (made != Change::Done)
        return made;
    for (const OwnedItem& item : items) {
        if (!insertItem(user, item))
            return Change::Failed;
    }
    return transaction.commit() ? Change::Done : Change::Failed;
}

std::vector<OwnedItem> Store::items(int32_t user)
{
    std::vector<OwnedItem> result;
    Statement query(
        m_db,
        "SELECT key, gender, category, number, texture, worn FROM items WHERE user = ? ORDER BY category, number, key");
    query.bind(1, user);
    while (query.step() == SQLITE_ROW) {
        OwnedItem item;
        item.key = query.text(0);
        item.gender = query.letter(1, 'M');
        item.category = static_cast<int>(query.integer(2));
        item.number = static_cast<int>(query.integer(3));
        item.texture = static_cast<int>(query.integer(4));
        item.worn = query.integer(5) != 0;
        result.push_back(item);
    }
    return result;
}

Change Store::setWorn(int32_t user, const std::string& key, bool worn)
{
    Statement update(m_db, "UPDATE items SET worn = ? WHERE user = ? AND key = ?");
    update.bind(1, worn ? 1 : 0).bind(2, user).bind(3, key);
    return changeOne(update.step());
}

BuyResult Store::buy(int32_t user, const OwnedItem& item, int32_t price, int32_t& balance)
{
    Transaction transaction(m_db);
    if (!transaction.ok())
        return BuyResult::Failed;
    Statement owned(
        m_db, "SELECT 1 FROM items WHERE user = ? AND gender = ? AND category = ? AND number = ? AND texture = ?");
    owned.bind(1, user)
        .bind(2, std::string(1, item.gender))
        .bind(3, item.category)
        .bind(4, item.number)
        .bind(5, item.texture);
    if (owned.step() == SQLITE_ROW)
        return BuyResult::AlreadyOwned;
    Statement points(m_db, "SELECT points FROM accounts WHERE user = ?");
    points.bind(1, user);
    if (points.step() != SQLITE_ROW)
        return BuyResult::Failed;
    int64_t current = points.integer(0);
    if (price < 0 || current < price)
        return BuyResult::TooFewPoints;
    Statement deduct(m_db, "UPDATE accounts SET points = points - ? WHERE user = ?");
    deduct.bind(1, price).bind(2, user);
    OwnedItem bought = item;
    bought.worn = false;
    bought.key.clear();
    if (!deduct.run() || !insertItem(user, bought) || !transaction.commit())
        return BuyResult::Failed;
    balance = static_cast<int32_t>(current - price);
    return BuyResult::Bought;
}

Change Store::addFriend(int32_t user, int32_t friendUser)
{
    Statement insert(m_db, "INSERT INTO friends (user, friend) VALUES (?, ?)");
    insert.bind(1, user).bind(2, friendUser);
    return changeOne(insert.step());
}

Change Store::deleteFriend(int32_t user, int32_t friendUser)
{
    Statement remove(m_db, "DELETE FROM friends WHERE user = ? AND friend = ?");
    remove.bind(1, user).bind(2, friendUser);
    return changeOne(remove.step());
}

std::vector<int32_t> Store::friendsOf(int32_t user)
{
    std::vector<int32_t> result;
    Statement query(m_db, "SELECT friend FROM friends WHERE user = ? ORDER BY friend");
    query.bind(1, user);
    while (query.step() == SQLITE_ROW)
        result.push_back(static_cast<int32_t>(query.integer(0)));
    return result;
}

std::vector<int32_t> Store::listedAsFriendBy(int32_t user)
{
    std::vector<int32_t> result;
    Statement query(m_db, "SELECT user FROM friends WHERE friend = ?");
    query.bind(1, user);
    while (query.step() == SQLITE_ROW)
        result.push_back(static_cast<int32_t>(query.integer(0)));
    return result;
}

Change Store::saveImage(const std::string& login, const std::vector<uint8_t>& jpeg)
{
    Statement insert(m_db, "INSERT OR REPLACE INTO images (login, jpeg) VALUES (?, ?)");
    insert.bind(1, login).bindBlob(2, jpeg);
    return changeOne(insert.step());
}

std::optional<std::vector<uint8_t>> Store::image(const std::string& login)
{
    Statement query(m_db, "SELECT jpeg FROM images WHERE login = ?");
    query.bind(1, login);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    return query.blob(0);
}

} // namespace yonda::service

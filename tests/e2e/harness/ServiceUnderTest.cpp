#include "ServiceUnderTest.h"

#include "PasswordWorker.h"
#include "Store.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <thread>

namespace yonda::testing {
namespace {

bool Accepts(const std::string& address, uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    close(fd);
    return ok;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// 127.0.0.2 to 127.0.0.254 (127.0.0.1 is the demo's), starting where the process and the count of
// services it started so far point, so tests started side by side mostly pick different ones.
std::string NextAddress(int attempt)
{
    static std::atomic<unsigned> started{0};
    unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u + started++ * 40503u + static_cast<unsigned>(attempt);
    return "127.0.0." + std::to_string(2 + seed % 253);
}

} // namespace

std::string BuiltHome()
{
    return YONDA_E2E_BUILT_HOME;
}

std::string ServiceUnderTest::BuiltCatalogue()
{
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(BuiltHome(), error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::string path = Lower(it->path().string());
        if (path.size() >= 19 && path.compare(path.size() - 19, 19, "/data/item/item.dsv") == 0)
            return it->path().string();
    }
    return {};
}

ServiceUnderTest::ServiceUnderTest(std::filesystem::path folder, std::string catalogue)
    : m_folder(std::move(folder)), m_catalogue(std::move(catalogue))
{
    std::filesystem::create_directories(m_folder);
}

ServiceUnderTest::~ServiceUnderTest()
{
    Stop();
}

bool ServiceUnderTest::StartOn(const std::string& address, bool* taken, std::string* why)
{
    *taken = false;
    ChildProcess::Options options;
    options.program = YONDA_E2E_SERVICE_PROGRAM;
    options.arguments = {"--listen", address + ":" + std::to_string(kPort), "--db", Database()};
    if (!m_catalogue.empty()) {
        options.arguments.push_back("--catalogue");
        options.arguments.push_back(m_catalogue);
    }
    m_process = std::make_unique<ChildProcess>();
    if (!m_process->Start(options, why))
        return false;
    if (!m_process->WaitForOutput("serving on", std::chrono::seconds(20), true)) {
        m_process->Stop(std::chrono::seconds(2));
        std::string log = m_process->Stderr();
        *taken = log.find("in use") != std::string::npos;
        *why = "the service did not start on " + address + ":\n" + m_process->Output();
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Accepts(address, kPort)) {
        if (std::chrono::steady_clock::now() >= deadline || !m_process->Running()) {
            *why = "the service does not accept connections on " + address + ":\n" + m_process->Output();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_address = address;
    return true;
}

bool ServiceUnderTest::Start(std::string* why)
{
    if (Running())
        return true;
    bool taken = false;
    if (!m_address.empty())
        return StartOn(m_address, &taken, why);
    for (int attempt = 0; attempt < 32; ++attempt) {
        if (StartOn(NextAddress(attempt), &taken, why))
            return true;
        if (!taken)
            return false;
    }
    return false;
}

void ServiceUnderTest::Stop()
{
    if (m_process)
        m_process->Stop(std::chrono::seconds(10));
}

void ServiceUnderTest::Kill()
{
    if (!m_process)
        return;
    m_process->Signal(SIGKILL);
    m_process->Wait(std::chrono::seconds(10));
}

int32_t ServiceUnderTest::AddMember(const std::string& login, const std::string& password, const std::string& nickname,
                                    const MemberOptions& options)
{
    service::Store store;
    if (!store.open(Database()))
        return 0;
    service::Account account;
    account.login = login;
    account.nickname = nickname;
    account.hash = service::PasswordWorker::hash(password, false);
    account.points = options.points;
    account.gender = options.gender;
    account.age = static_cast<uint8_t>(options.age);
    account.area = options.area;
    auto user = store.addAccount(account);
    if (!user)
        return 0;
    if (options.dressed) {
        std::vector<service::OwnedItem> items;
        for (int category : {0, 2, 3, 4})
            items.push_back({"", options.gender, category, 1, 0, true});
        if (store.createAvatar(*user, options.gender, items) != service::Change::Done)
            return 0;
    }
    return *user;
}

std::vector<std::vector<std::string>> ServiceUnderTest::Query(const std::string& sql, std::string* error)
{
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "no database");
    };
    if (sqlite3_open_v2(Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        fail("open");
        sqlite3_close(db);
        return rows;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        fail("prepare");
    } else {
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const unsigned char* text = sqlite3_column_text(statement, i);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
        if (step != SQLITE_DONE)
            fail("step");
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

std::string ServiceUnderTest::QueryValue(const std::string& sql)
{
    auto rows = Query(sql);
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

} // namespace yonda::testing

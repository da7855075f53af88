// yonda-service: the community service. Serves members on one address and keeps their accounts
// in a database; `adduser` and `seed-demo` prepare accounts without serving.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Log.h"
#include "PasswordWorker.h"
#include "Server.h"
#include "Service.h"
#include "Store.h"

using namespace yonda::service;

namespace {

Server* g_server = nullptr;

void onSignal(int)
{
    if (g_server)
        g_server->stop();
}

std::string defaultDatabase()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder = dataHome && *dataHome ? std::filesystem::path(dataHome)
                                   : home && *home       ? std::filesystem::path(home) / ".local" / "share"
                                                         : std::filesystem::path(".");
    folder /= "yonda";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return (folder / "service.db").string();
}

void usage()
{
    std::fprintf(stderr,
                 "usage: yonda-service [--listen ADDRESS:PORT] [--db FILE] [--catalogue FILE] [--max-connections N] [--quiet]\n"
                 "       yonda-service adduser ID PASSWORD NICKNAME [--db FILE] [--points N]\n"
                 "       yonda-service seed-demo [--db FILE] [--bots N]\n");
}

Account demoAccount(const std::string& login, const std::string& password, const std::string& nickname, bool strong)
{
    Account account;
    account.login = login;
    account.hash = PasswordWorker::hash(password, strong);
    account.nickname = nickname;
    account.points = 10000;
    return account;
}

// A member with a dressed avatar, so it can walk into a lobby at once.
bool addDressed(Store& store, Account account, int variant)
{
    account.gender = variant % 2 ? 'F' : 'M';
    account.age = static_cast<uint8_t>(18 + variant % 30);
    account.area = variant % 3 ? "02" : "031";
    auto user = store.addAccount(account);
    if (!user)
        return false;
    std::vector<OwnedItem> items;
    for (int category : {0, 2, 3, 4})
        items.push_back({"", account.gender, category, 1 + variant % 2, 0, true});
    return store.createAvatar(*user, account.gender, items);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string listen = "127.0.0.1:7001";
    std::string database;
    std::string catalogue;
    int points = 10000;
    int bots = 50;
    Limits limits;
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                usage();
                std::exit(2);
            }
            return args[++i];
        };
        if (args[i] == "--listen")
            listen = value();
        else if (args[i] == "--db")
            database = value();
        else if (args[i] == "--catalogue")
            catalogue = value();
        else if (args[i] == "--points")
            points = std::atoi(value().c_str());
        else if (args[i] == "--bots")
            bots = std::atoi(value().c_str());
        else if (args[i] == "--max-connections")
            limits.maxConnections = static_cast<size_t>(std::max(1, std::atoi(value().c_str())));
        else if (args[i] == "--quiet")
            setLogEnabled(false);
        else if (args[i] == "--help" || args[i] == "-h") {
            usage();
            return 0;
        } else if (args[i].rfind("--", 0) == 0) {
            usage();
            return 2;
        } else
            words.push_back(args[i]);
    }
    if (database.empty())
        database = defaultDatabase();
    Store store;
    if (!store.open(database))
        return 1;

    if (!words.empty() && words[0] == "adduser") {
        if (words.size() != 4) {
            usage();
            return 2;
        }
        Account account = demoAccount(words[1], words[2], words[3], true);
        account.points = points;
        auto user = store.addAccount(account);
        if (!user) {
            std::fprintf(stderr, "yonda-service: the ID or the nickname is taken\n");
            return 1;
        }
        std::printf("member %d: %s\n", *user, words[1].c_str());
        return 0;
    }
    if (!words.empty() && words[0] == "seed-demo") {
        int made = 0;
        if (!store.accountByLogin("demo"))
            made += addDressed(store, demoAccount("demo", "demo", "Demo", true), 0);
        for (int i = 1; i <= bots; ++i) {
            char login[16], nickname[16];
            std::snprintf(login, sizeof login, "bot%04d", i);
            std::snprintf(nickname, sizeof nickname, "Bot%04d", i);
            if (!store.accountByLogin(login))
                made += addDressed(store, demoAccount(login, "bot", nickname, false), i);
        }
        std::printf("%d members added to %s (demo/demo; bot0001..bot%04d with password bot)\n", made, database.c_str(), bots);
        return 0;
    }
    if (!words.empty()) {
        usage();
        return 2;
    }

    Catalogue items;
    if (!catalogue.empty() && !items.load(catalogue))
        logLine("cannot read the item catalogue %s: nothing can be bought", catalogue.c_str());
    Service service(store, items);
    Server server(service, limits);
    service.attach(server);
    if (!server.listen(listen))
        return 1;
    g_server = &server;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    logLine("serving on %s:%u with %s (%zu catalogue items)", listen.substr(0, listen.rfind(':')).c_str(),
            server.port(), database.c_str(), items.size());
    std::fflush(stderr);
    server.run();
    g_server = nullptr;
    logLine("stopped");
    return 0;
}

// yonda-service: the community service. Serves members on one address and keeps their accounts
// in a database; `adduser` and `seed-demo` prepare accounts without serving.
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Log.h"
#include "PasswordWorker.h"
#include "Server.h"
#include "Service.h"
#include "Store.h"
#include "protocol/AreaCodes.h"
#include "protocol/Protocol.h"

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
    // The store makes the folder, for the service's user alone, when it is missing.
    return (folder / "yonda" / "service.db").string();
}

void usage(FILE* out)
{
    std::fprintf(out,
                 "usage: yonda-service [--listen ADDRESS:PORT] [--db FILE] [--catalogue FILE] [--max-connections N]\n"
                 "                     [--max-per-address N] [--log quiet|error|warning|info] [--quiet]\n"
                 "       yonda-service adduser ID PASSWORD NICKNAME [--db FILE] [--points N]\n"
                 "       yonda-service seed-demo [--db FILE] [--bots N]\n"
                 "Serves members on ADDRESS:PORT (127.0.0.1:7001). The log goes to standard error, one line\n"
                 "each: errors, warnings (refused connections, logins and requests) and information\n"
                 "(connections, logins, logouts); --log chooses how much (info), --quiet is --log error.\n"
                 "The database (FILE, by default $XDG_DATA_HOME/yonda/service.db) is made readable by its\n"
                 "owner only. ID: 1-21 bytes, PASSWORD: 1-63 bytes, NICKNAME: 1-31 bytes.\n");
}

// A usage error: what was wrong, then how to call the program; exits with 2.
[[noreturn]] void wrongUsage(const char* format, const std::string& detail = {})
{
    std::fprintf(stderr, "yonda-service: ");
    std::fprintf(stderr, format, detail.c_str());
    std::fprintf(stderr, "\n");
    usage(stderr);
    std::exit(2);
}

// The whole text as a number within [low, high], or a usage error naming the option.
long long number(const std::string& option, const std::string& text, long long low, long long high)
{
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        std::fprintf(stderr, "yonda-service: %s needs a whole number from %lld to %lld, not \"%s\"\n", option.c_str(),
                     low, high, text.c_str());
        usage(stderr);
        std::exit(2);
    }
    return value;
}

// A text the login and member records can carry: not empty (nor blank, for names), no longer
// than its field allows.
void checkField(const char* what, const std::string& text, size_t width, bool name = true)
{
    if (text.empty() || (name && text.find_first_not_of(' ') == std::string::npos))
        wrongUsage("the %s must not be empty", what);
    if (text.size() > width - 1) {
        std::fprintf(stderr, "yonda-service: the %s \"%s\" is %zu bytes long; at most %zu fit\n", what, text.c_str(),
                     text.size(), width - 1);
        std::exit(2);
    }
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
    account.area = yonda::proto::kAreaCodes[static_cast<size_t>(variant) % yonda::proto::kAreaCount].code;
    auto user = store.addAccount(account);
    if (!user)
        return false;
    std::vector<OwnedItem> items;
    for (int category : {0, 2, 3, 4})
        items.push_back({"", account.gender, category, 1 + variant % 2, 0, true});
    return store.createAvatar(*user, account.gender, items) == Change::Done;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string listen = "127.0.0.1:7001";
    std::string database;
    std::string catalogue;
    std::optional<long long> points, bots;
    bool serveOptions = false; // an option that only serving uses was given
    Limits limits;
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                wrongUsage("%s needs a value", option);
            return args[++i];
        };
        if (option == "--listen") {
            listen = value();
            serveOptions = true;
        } else if (option == "--db")
            database = value();
        else if (option == "--catalogue") {
            catalogue = value();
            serveOptions = true;
        } else if (option == "--points")
            points = number(option, value(), 0, INT32_MAX);
        else if (option == "--bots")
            bots = number(option, value(), 0, 9999);
        else if (option == "--max-connections") {
            limits.maxConnections = static_cast<size_t>(number(option, value(), 1, 1000000));
            serveOptions = true;
        } else if (option == "--max-per-address") {
            limits.maxConnectionsPerAddress = static_cast<size_t>(number(option, value(), 1, 1000000));
            serveOptions = true;
        } else if (option == "--log") {
            std::string level = value();
            auto chosen = logLevelNamed(level);
            if (!chosen)
                wrongUsage("--log takes quiet, error, warning or info, not \"%s\"", level);
            setLogLevel(*chosen);
        } else if (option == "--quiet")
            setLogLevel(LogLevel::Error);
        else if (option == "--help" || option == "-h") {
            usage(stdout);
            return 0;
        } else if (option.rfind("-", 0) == 0 && option.size() > 1)
            wrongUsage("unknown option %s", option);
        else
            words.push_back(option);
    }
    std::string command = words.empty() ? std::string() : words[0];
    if (!command.empty() && command != "adduser" && command != "seed-demo")
        wrongUsage("unknown command \"%s\" (adduser, seed-demo, or none to serve)", command);
    if (command == "adduser" && words.size() != 4)
        wrongUsage("adduser needs ID PASSWORD NICKNAME%s", words.size() > 4 ? " (and nothing more)" : "");
    if (command == "seed-demo" && words.size() != 1)
        wrongUsage("seed-demo takes no words, not \"%s\"", words[1]);
    if (points && command != "adduser")
        wrongUsage("--points is for adduser%s", "");
    if (bots && command != "seed-demo")
        wrongUsage("--bots is for seed-demo%s", "");
    if (serveOptions && !command.empty())
        wrongUsage("--listen, --catalogue, --max-connections and --max-per-address are for serving, not %s", command);
    // Every argument is checked before the database is opened, so a wrong call makes no file.
    if (command == "adduser") {
        checkField("ID", words[1], yonda::proto::kIdWidth);
        checkField("password", words[2], yonda::proto::kLoginPasswordWidth, false);
        checkField("nickname", words[3], yonda::proto::kNicknameWidth);
    }
    if (database.empty())
        database = defaultDatabase();

    if (command.empty()) {
        Catalogue items;
        if (!catalogue.empty() && !items.load(catalogue))
            logError("cannot read the item catalogue %s: nothing can be bought and no avatar made", catalogue.c_str());
        Store store;
        if (!store.open(database))
            return 1;
        Service service(store, items, limits);
        Server server(service, limits);
        service.attach(server);
        if (!server.listen(listen))
            return 1;
        g_server = &server;
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGPIPE, SIG_IGN);
        if (catalogue.empty())
            logWarning("no item catalogue (--catalogue): nothing can be bought and no avatar made");
        logNotice("serving on %s:%u with %s (%zu catalogue items; at most %zu connections, %zu from one address)",
                  listen.substr(0, listen.rfind(':')).c_str(), server.port(), database.c_str(), items.size(),
                  limits.maxConnections, limits.perAddressConnections());
        server.run();
        g_server = nullptr;
        logNotice("stopped");
        return 0;
    }

    Store store;
    if (!store.open(database))
        return 1;
    if (command == "adduser") {
        Account account = demoAccount(words[1], words[2], words[3], true);
        account.points = static_cast<int32_t>(points.value_or(10000));
        auto user = store.addAccount(account);
        if (!user) {
            std::fprintf(stderr, "yonda-service: the ID \"%s\" or the nickname \"%s\" is taken\n", words[1].c_str(),
                         words[3].c_str());
            return 1;
        }
        std::printf("member %d: %s\n", *user, words[1].c_str());
        return 0;
    }
    int count = static_cast<int>(bots.value_or(50));
    int made = 0;
    if (!store.accountByLogin("demo"))
        made += addDressed(store, demoAccount("demo", "demo", "Demo", true), 0);
    for (int i = 1; i <= count; ++i) {
        char login[16], nickname[16];
        std::snprintf(login, sizeof login, "bot%04d", i);
        std::snprintf(nickname, sizeof nickname, "Bot%04d", i);
        if (!store.accountByLogin(login))
            made += addDressed(store, demoAccount(login, "bot", nickname, false), i);
    }
    std::printf("%d members added to %s (demo/demo; bot0001..bot%04d with password bot)\n", made, database.c_str(),
                count);
    return 0;
}

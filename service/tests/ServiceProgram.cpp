#include "ServiceProgram.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

#include "PasswordWorker.h"
#include "Store.h"

namespace yonda::testing {

std::string databaseWithKim(const std::filesystem::path& folder, int32_t points)
{
    std::string database = (folder / "service.db").string();
    service::Store store;
    if (!store.open(database))
        return {};
    service::Account account;
    account.login = "kim";
    account.nickname = "Kim";
    account.hash = service::PasswordWorker::hash("pw", false);
    account.points = points;
    return store.addAccount(account) ? database : std::string();
}

ServiceProgram startServiceProgram(const std::string& database, const std::string& catalogue, int fileLimit)
{
    // Tests run in the build folder; the variable names it too when it is set.
    const char* build = std::getenv("YONDA_BINARY_DIR");
    std::string program = std::string(build && *build ? build : ".") + "/bin/yonda-service";
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    ServiceProgram child;
    child.pid = fork();
    if (child.pid == 0) {
        dup2(pipeEnds[1], 2);
        close(pipeEnds[0]);
        if (fileLimit > 0) {
            std::string shell = "ulimit -n " + std::to_string(fileLimit) + " && exec \"$0\" \"$@\"";
            execl("/bin/sh", "sh", "-c", shell.c_str(), program.c_str(), "--listen", "127.0.0.1:0", "--db",
                  database.c_str(), "--catalogue", catalogue.c_str(), static_cast<char*>(nullptr));
        }
        execl(program.c_str(), program.c_str(), "--listen", "127.0.0.1:0", "--db", database.c_str(), "--catalogue",
              catalogue.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    FILE* log = fdopen(pipeEnds[0], "r");
    char line[512];
    while (std::fgets(line, sizeof line, log)) {
        const char* at = std::strstr(line, "serving on 127.0.0.1:");
        if (at) {
            child.port = static_cast<uint16_t>(std::atoi(at + std::strlen("serving on 127.0.0.1:")));
            // "... with DATABASE (N catalogue items; ...)"
            const char* count = std::strrchr(line, '(');
            if (count && std::strstr(count, " catalogue items"))
                child.catalogueItems = static_cast<size_t>(std::atoi(count + 1));
            break;
        }
    }
    // Keep reading the log in the background so the program never blocks on a full pipe.
    std::thread([log] {
        char rest[512];
        while (std::fgets(rest, sizeof rest, log)) {
        }
        std::fclose(log);
    }).detach();
    return child;
}

} // namespace yonda::testing

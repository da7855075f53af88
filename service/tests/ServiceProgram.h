// The service program itself, started on a free loopback port with a database and a catalogue.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace yonda::testing {

struct ServiceProgram {
    pid_t pid = -1;
    uint16_t port = 0;
    size_t catalogueItems = 0; // as the program reported them
};

// A database in `folder` ("service.db") holding the one member "kim" (password "pw") with
// `points`; its path, or empty when it could not be made.
std::string databaseWithKim(const std::filesystem::path& folder, int32_t points);

// Starts the program and reads its port from its first log line; a file limit above 0 starts it
// with that many descriptors. Port 0 when it did not come up.
ServiceProgram startServiceProgram(const std::string& database, const std::string& catalogue, int fileLimit = 0);

} // namespace yonda::testing

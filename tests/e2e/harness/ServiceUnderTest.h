// The real yonda-service for one end-to-end test: on a loopback address of its own
// (127.0.0.N:7001, so tests run side by side) with its own database, started and waited for until
// it accepts connections, stopped or killed in the middle of a test when asked, and gone at the
// end. Members are added straight into its database and the database can be queried (read only)
// to check what the program stored.
#pragma once

#include "ChildProcess.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace yonda::testing {

struct MemberOptions {
    int32_t points = 10000;
    bool dressed = true; // an avatar wearing the first items of four categories
    char gender = 'M';
    std::string area = "1"; // one of the codes of protocol/AreaCodes.h
    int age = 25;
};

class ServiceUnderTest {
public:
    static constexpr uint16_t kPort = 7001;

    // The database lives in `folder`; the item catalogue is the built home's unless told.
    explicit ServiceUnderTest(std::filesystem::path folder, std::string catalogue = BuiltCatalogue());
    ~ServiceUnderTest();
    ServiceUnderTest(const ServiceUnderTest&) = delete;
    ServiceUnderTest& operator=(const ServiceUnderTest&) = delete;

    // Starts it on a free 127.0.0.N (after Stop or Kill: the same address again) and waits until it
    // accepts connections; false with the reason and its output.
    bool Start(std::string* why);
    // As an operator stops it (SIGTERM): it closes its connections and ends.
    void Stop();
    // SIGKILL: every connection breaks at once, as when the machine goes.
    void Kill();
    bool Running() { return m_process && m_process->Running(); }

    const std::string& Address() const { return m_address; } // "127.0.0.N"
    std::string Database() const { return (m_folder / "service.db").string(); }
    ChildProcess* Process() { return m_process.get(); }
    // What it wrote so far (its log), for failure messages.
    std::string Output() const { return m_process ? m_process->Output() : std::string(); }

    // A member whose password is checked as the service checks every password (stored with the
    // cheapest hash, so tests stay fast); the member's user number, or 0 when refused.
    int32_t AddMember(const std::string& login, const std::string& password, const std::string& nickname,
                      const MemberOptions& options = {});
    // The rows of a read-only query, every column as text (NULL as "").
    std::vector<std::vector<std::string>> Query(const std::string& sql, std::string* error = nullptr);
    // The first column of the first row, or "".
    std::string QueryValue(const std::string& sql);

    // The built home's data\item\item.dsv, or "" when the build has none.
    static std::string BuiltCatalogue();

private:
    bool StartOn(const std::string& address, bool* taken, std::string* why);

    std::filesystem::path m_folder;
    std::string m_catalogue;
    std::string m_address;
    std::unique_ptr<ChildProcess> m_process;
};

// The program's home tree of the build (YONDA_HOME_DIR).
std::string BuiltHome();

} // namespace yonda::testing

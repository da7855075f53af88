#include "ProgramRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace yonda::test {

namespace {

std::filesystem::path FolderFrom(const char* variable)
{
    const char* folder = std::getenv(variable);
    return folder && *folder ? std::filesystem::path(folder) : std::filesystem::current_path();
}

} // namespace

ProgramRun RunCommand(const std::string& commandLine)
{
    ProgramRun run;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::filesystem::path BinaryDir()
{
    return FolderFrom("YONDA_BINARY_DIR");
}

std::filesystem::path SourceDir()
{
    return FolderFrom("YONDA_SOURCE_DIR");
}

} // namespace yonda::test

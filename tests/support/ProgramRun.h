// Running the tree's programs and scripts as a person runs them, and the tree's two folders.
#pragma once

#include <filesystem>
#include <string>

namespace yonda::test {

struct ProgramRun {
    int status = -1;    // the exit code; -1 when the program did not exit by itself
    std::string output; // what it wrote to stdout and stderr, together
};

// Runs a shell command line and waits for it.
ProgramRun RunCommand(const std::string& commandLine);

// The build tree and the source tree the test runs from (the current folder when not told).
std::filesystem::path BinaryDir();
std::filesystem::path SourceDir();

} // namespace yonda::test

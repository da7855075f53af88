// The automation hook's commands (internal): one session per script or socket connection, which
// runs command lines and answers them. yonda_automation.h describes the language.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace yonda::user::automation {

struct Answer {
    bool ok = true;
    std::string text;               // after "ok " or "error "
    std::vector<std::string> items; // `windows`: one entry each
    bool print = false;             // a script shows this answer on stdout
    bool quit = false;              // `quit`: end the program once answered
};

class Session {
public:
    Answer Execute(std::string_view line);

private:
    HWND Resolve(const std::string& name, bool visible, std::string* why);
    HWND FindTopLevel(const std::string& name);

    Answer Windows();
    Answer WaitWindow(const std::vector<std::string>& args, bool gone);
    Answer Click(const std::vector<std::string>& args, int button, int count);
    Answer Key(const std::vector<std::string>& args);
    Answer Type(const std::vector<std::string>& args, std::string_view rest);
    Answer Text(const std::vector<std::string>& args);
    Answer WaitText(const std::vector<std::string>& args);
    Answer Capture(const std::vector<std::string>& args);

    HWND m_last = nullptr; // the last top-level window found
};

// Splits a command line into arguments; double quotes group, with \" and \\ inside. `ends`, when
// given, gets the offset just past each argument.
bool SplitArguments(std::string_view line, std::vector<std::string>* args, std::string* why,
                    std::vector<size_t>* ends = nullptr);
// An argument as SplitArguments reads it back.
std::string QuoteArgument(std::string_view text);
// Text on one answer line: backslash, line feed and carriage return escaped.
std::string EscapeLine(std::string_view text);
// The virtual keys of a key argument, modifiers first; empty when it names no key.
std::vector<UINT> ParseKeys(const std::string& name);

// Milliseconds the wait commands wait when not told.
int DefaultWaitMs();

} // namespace yonda::user::automation

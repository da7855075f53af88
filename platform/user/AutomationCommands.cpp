// The automation hook's commands. Windows are found by reading the window tree; everything that
// acts on a window runs on the thread that owns it, handed over as a sent message nobody waits
// on, so it runs from whichever loop that thread is in (its own, a modal dialog's, a message
// box's). Input goes through the injection a desktop uses; an input command then waits for a
// marker behind that input (Input.h), so the program has handled it before the answer goes out.
#include "AutomationCommands.h"

#include "Input.h"
#include "Queue.h"
#include "Window.h"
#include "yonda_automation.h"
#include "yonda_user.h"

#include <yonda_platform.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <strings.h>
#include <thread>

namespace yonda::user::automation {
namespace {

using Clock = std::chrono::steady_clock;

// How long a window's thread may take to come round to a command before the command fails.
constexpr auto kThreadTimeout = std::chrono::seconds(30);
constexpr auto kPollInterval = std::chrono::milliseconds(10);

Answer Ok(std::string text = {})
{
    Answer answer;
    answer.text = std::move(text);
    return answer;
}

Answer Error(std::string why)
{
    Answer answer;
    answer.ok = false;
    answer.text = std::move(why);
    return answer;
}

std::string HandleText(HWND hwnd)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return text;
}

bool ParseNumber(const std::string& text, long long* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    *value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    return end && *end == '\0';
}

bool ParseMs(const std::vector<std::string>& args, size_t index, int* ms, std::string* why)
{
    if (index >= args.size()) {
        *ms = DefaultWaitMs();
        return true;
    }
    long long value = 0;
    if (!ParseNumber(args[index], &value) || value < 0 || value > 24LL * 3600 * 1000) {
        *why = "not a time in milliseconds: " + args[index];
        return false;
    }
    *ms = static_cast<int>(value);
    return true;
}

bool ThreadAlive(ThreadQueue& queue)
{
    std::lock_guard lock(queue.mutex);
    return queue.alive;
}

std::shared_ptr<ThreadQueue> QueueOfWindow(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w ? w->queue : nullptr;
}

// Runs `work` on the thread that owns hwnd and waits for its answer. The work keeps only shared
// state, so a thread that comes round after the wait gave up does no harm.
Answer OnWindowThread(HWND hwnd, std::function<Answer()> work)
{
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Answer> answer;
    };
    auto call = std::make_shared<Call>();
    std::shared_ptr<ThreadQueue> target = QueueOfWindow(hwnd);
    if (!target)
        return Error("the window " + HandleText(hwnd) + " is gone");
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->task = [call, work = std::move(work)]() -> LRESULT {
        Answer answer = work();
        {
            std::lock_guard lock(call->mutex);
            call->answer = std::move(answer);
        }
        call->done.notify_all();
        return 0;
    };
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive)
            return Error("the window's thread has ended");
        target->sent.push_back(sent);
    }
    target->wake.notify_all();
    auto deadline = Clock::now() + kThreadTimeout;
    std::unique_lock lock(call->mutex);
    while (!call->answer) {
        if (Clock::now() >= deadline)
            return Error("the window's thread did not take the command within 30 s");
        call->done.wait_for(lock, std::chrono::milliseconds(100));
        if (!call->answer && !ThreadAlive(*target))
            return Error("the window's thread has ended");
    }
    return *call->answer;
}

// Waits until the thread has handled the input given so far and come back to its message loop.
Answer Settle(ThreadQueue& queue)
{
    uint64_t serial = PostInputMarker(queue);
    std::unique_lock lock(queue.mutex);
    bool passed =
        queue.wake.wait_for(lock, kThreadTimeout, [&] { return queue.inputMarkersPassed >= serial || !queue.alive; });
    if (!passed)
        return Error("the program did not come back to its message loop within 30 s");
    if (!serial || queue.inputMarkersPassed < serial)
        return Error("the window's thread has ended");
    return Ok();
}

// Acts on hwnd's thread, then settles it (the window itself may be gone by then: a click on OK
// ends its dialog).
Answer ActThenSettle(HWND hwnd, std::function<Answer()> work)
{
    std::shared_ptr<ThreadQueue> queue = QueueOfWindow(hwnd);
    Answer answer = OnWindowThread(hwnd, std::move(work));
    if (!answer.ok || !queue)
        return answer;
    Answer settled = Settle(*queue);
    return settled.ok ? answer : settled;
}

std::string Utf8(const std::string& bytes)
{
    return YondaCodePageToUtf8(bytes, 0);
}

bool SameClass(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

struct TopLevel {
    HWND hwnd;
    std::string className;
    std::string title;
    RECT rect;
};

// What a user sees on the desktop: a minimised window is not among them.
std::vector<TopLevel> VisibleTopLevels()
{
    std::vector<TopLevel> tops;
    {
        std::lock_guard lock(UserLock());
        for (HWND top : TopLevelOrder()) {
            auto w = FindWindowPtr(top);
            if (!w || w->messageOnly || !(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE))
                continue;
            tops.push_back({top, w->cls ? w->cls->name : std::string(), w->text, ScreenRect(*w)});
        }
    }
    for (TopLevel& top : tops) {
        top.className = Utf8(top.className);
        top.title = Utf8(top.title);
    }
    return tops;
}

// The child with that id, depth first, a visible one before a hidden one.
HWND FindChildById(HWND parent, UINT_PTR id)
{
    std::lock_guard lock(UserLock());
    HWND hidden = nullptr;
    std::function<HWND(HWND, bool)> search = [&](HWND at, bool visible) -> HWND {
        auto w = FindWindowPtr(at);
        if (!w)
            return nullptr;
        for (HWND child : w->children) {
            auto c = FindWindowPtr(child);
            if (!c)
                continue;
            bool shown = visible && (c->style & WS_VISIBLE);
            if (c->id == id) {
                if (shown)
                    return child;
                if (!hidden)
                    hidden = child;
            }
            if (HWND found = search(child, shown))
                return found;
        }
        return nullptr;
    };
    HWND found = search(parent, true);
    return found ? found : hidden;
}

// Focus as a user gives it before typing: the top-level window active, then the control.
Answer FocusFor(HWND hwnd)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!IsWindowEnabled(root))
        return Error("the window " + HandleText(root) + " is disabled (a modal window is open?)");
    HWND focus = GetFocus();
    if (!focus || (focus != root && !IsChild(root, focus))) {
        SetActiveWindow(root);
        if (!GetFocus())
            SetFocus(root);
    }
    if (hwnd != root && GetFocus() != hwnd)
        SetFocus(hwnd);
    return Ok();
}

// Keyboard input for hwnd: the focus put there first, then the input, then the program settled.
Answer TypeInto(HWND hwnd, std::function<void()> input)
{
    return ActThenSettle(hwnd, [hwnd, input = std::move(input)]() -> Answer {
        Answer focused = FocusFor(hwnd);
        if (focused.ok)
            input();
        return focused;
    });
}

std::string TextOf(HWND hwnd)
{
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(std::max(0, length)) + 1, '\0');
    int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(0, got)));
    return Utf8(text);
}

struct KeyName {
    const char* name;
    UINT vk;
};

constexpr KeyName kKeyNames[] = {
    {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},    {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},
    {"TAB", VK_TAB},       {"SPACE", VK_SPACE},     {"BACK", VK_BACK},     {"BACKSPACE", VK_BACK},
    {"DELETE", VK_DELETE}, {"INSERT", VK_INSERT},   {"HOME", VK_HOME},     {"END", VK_END},
    {"PRIOR", VK_PRIOR},   {"PAGEUP", VK_PRIOR},    {"NEXT", VK_NEXT},     {"PAGEDOWN", VK_NEXT},
    {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},     {"UP", VK_UP},         {"DOWN", VK_DOWN},
    {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL},  {"MENU", VK_MENU},
    {"ALT", VK_MENU},      {"HANGUL", VK_HANGUL},   {"HANJA", VK_HANJA},   {"CAPITAL", VK_CAPITAL},
};

UINT ParseKey(const std::string& name)
{
    if (name.size() == 1) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return static_cast<UINT>(c);
        return 0;
    }
    for (const KeyName& key : kKeyNames)
        if (strcasecmp(key.name, name.c_str()) == 0)
            return key.vk;
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        long long n = 0;
        if (ParseNumber(name.substr(1), &n) && n >= 1 && n <= 24)
            return static_cast<UINT>(VK_F1 + n - 1);
    }
    long long vk = 0;
    if (ParseNumber(name, &vk) && vk > 0 && vk < 256)
        return static_cast<UINT>(vk);
    return 0;
}

} // namespace

int DefaultWaitMs()
{
    static const int ms = [] {
        const char* value = std::getenv("YONDA_AUTOMATION_WAIT_MS");
        int parsed = value ? std::atoi(value) : 0;
        return parsed > 0 ? parsed : YONDA_AUTOMATION_DEFAULT_WAIT_MS;
    }();
    return ms;
}

bool SplitArguments(std::string_view line, std::vector<std::string>* args, std::string* why, std::vector<size_t>* ends)
{
    args->clear();
    if (ends)
        ends->clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::string arg;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\'))
                    c = line[i++];
                arg += c;
            }
            if (!closed) {
                *why = "a quote is not closed";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                arg += line[i++];
        }
        args->push_back(std::move(arg));
        if (ends)
            ends->push_back(i);
    }
    return true;
}

std::string QuoteArgument(std::string_view text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string EscapeLine(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::vector<UINT> ParseKeys(const std::string& name)
{
    std::vector<UINT> keys;
    size_t start = 0;
    for (;;) {
        size_t plus = name.find('+', start);
        std::string part = name.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        UINT vk = ParseKey(part);
        if (!vk)
            return {};
        keys.push_back(vk);
        if (plus == std::string::npos)
            return keys;
        start = plus + 1;
    }
}

HWND Session::FindTopLevel(const std::string& name)
{
    auto tops = VisibleTopLevels();
    for (const TopLevel& top : tops)
        if (top.title == name)
            return top.hwnd;
    for (const TopLevel& top : tops)
        if (SameClass(top.className, name))
            return top.hwnd;
    return nullptr;
}

HWND Session::Resolve(const std::string& name, bool visible, std::string* why)
{
    HWND hwnd = nullptr;
    long long number = 0;
    if (name.empty()) {
        *why = "no window named";
        return nullptr;
    }
    bool control = name[0] == '#' && ParseNumber(name.substr(1), &number) && number >= 0;
    if (control && m_last && IsWindow(m_last))
        hwnd = FindChildById(m_last, static_cast<UINT_PTR>(number));
    if (!hwnd && !control && name.size() > 2 && name.compare(0, 2, "0x") == 0 && ParseNumber(name, &number)) {
        hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
        if (!IsWindow(hwnd)) {
            *why = "no window " + name;
            return nullptr;
        }
        if (GetAncestor(hwnd, GA_ROOT) == hwnd)
            m_last = hwnd;
    } else if (!hwnd) {
        // A title or a class; "#N" too when the last window found has no control N (the class
        // of dialogs is "#32770").
        hwnd = FindTopLevel(name);
        if (!hwnd) {
            if (!control)
                *why = "no visible window " + QuoteArgument(name);
            else if (m_last && IsWindow(m_last))
                *why = "no control " + name + " in " + HandleText(m_last);
            else
                *why = "no window found yet for " + name + " (wait-window first)";
            return nullptr;
        }
        m_last = hwnd;
    }
    if (visible && !IsWindowVisible(hwnd)) {
        *why = "the window " + name + " is not visible";
        return nullptr;
    }
    return hwnd;
}

Answer Session::Windows()
{
    Answer answer;
    for (const TopLevel& top : VisibleTopLevels()) {
        char rect[64];
        std::snprintf(rect, sizeof rect, " %d %d %d %d", static_cast<int>(top.rect.left),
                      static_cast<int>(top.rect.top), static_cast<int>(top.rect.right),
                      static_cast<int>(top.rect.bottom));
        answer.items.push_back(HandleText(top.hwnd) + " " + QuoteArgument(top.className) + " " +
                               QuoteArgument(top.title) + rect);
    }
    for (const std::string& item : answer.items)
        answer.text += (answer.text.empty() ? "" : " | ") + item;
    answer.print = true;
    return answer;
}

Answer Session::WaitWindow(const std::vector<std::string>& args, bool gone)
{
    std::string why;
    int ms = 0;
    if (!ParseMs(args, 2, &ms, &why))
        return Error(why);
    auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        std::string unused;
        HWND found = Resolve(args[1], true, &unused);
        if (found && !gone) {
            // A window is found once what made it is done: children made after it was shown are
            // there too.
            auto queue = QueueOfWindow(found);
            Answer settled = queue ? Settle(*queue) : Ok();
            return settled.ok ? Ok(HandleText(found)) : settled;
        }
        if (!found && gone)
            return Ok();
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kPollInterval);
    }
    if (gone)
        return Error("the window " + QuoteArgument(args[1]) + " is still there after " + std::to_string(ms) + " ms");
    return Error("no visible window " + QuoteArgument(args[1]) + " after " + std::to_string(ms) + " ms");
}

Answer Session::Click(const std::vector<std::string>& args, int button, int count)
{
    long long x = 0, y = 0;
    if (!ParseNumber(args[2], &x) || !ParseNumber(args[3], &y))
        return Error("not a point: " + args[2] + " " + args[3]);
    std::string why;
    HWND hwnd = Resolve(args[1], true, &why);
    if (!hwnd)
        return Error(why);
    std::string name = args[1];
    return ActThenSettle(hwnd, [hwnd, name, x, y, button, count]() -> Answer {
        RECT client;
        GetClientRect(hwnd, &client);
        POINT pt{static_cast<LONG>(x), static_cast<LONG>(y)};
        if (!PtInRect(&client, pt)) {
            return Error(std::to_string(x) + "," + std::to_string(y) + " lies outside " + name + " (" +
                         std::to_string(client.right) + "x" + std::to_string(client.bottom) + ")");
        }
        ClientToScreen(hwnd, &pt);
        HWND hit = HitTest(pt);
        if (hit != hwnd && !IsChild(hwnd, hit)) {
            HWND cover = hit ? GetAncestor(hit, GA_ROOT) : nullptr;
            return Error(std::to_string(x) + "," + std::to_string(y) + " of " + name + " is covered by " +
                         (cover ? HandleText(cover) + " " + QuoteArgument(TextOf(cover)) : std::string("nothing")));
        }
        HWND root = GetAncestor(hwnd, GA_ROOT);
        if (!IsWindowEnabled(root))
            return Error("the window " + HandleText(root) + " is disabled (a modal window is open?)");
        {
            // Each command's clicks stand alone: a click soon after the last one's at the same
            // place is not taken for the second half of a double click.
            std::lock_guard lock(UserLock());
            Input().lastClickWindow = nullptr;
        }
        YondaInjectMouseMove(pt.x, pt.y);
        for (int i = 0; i < count; ++i) {
            YondaInjectMouseButton(button, TRUE, pt.x, pt.y);
            YondaInjectMouseButton(button, FALSE, pt.x, pt.y);
        }
        return Ok();
    });
}

Answer Session::Key(const std::vector<std::string>& args)
{
    std::vector<UINT> keys = ParseKeys(args[2]);
    if (keys.empty())
        return Error("not a key: " + args[2]);
    std::string why;
    HWND hwnd = Resolve(args[1], true, &why);
    if (!hwnd)
        return Error(why);
    return TypeInto(hwnd, [keys] {
        for (UINT vk : keys)
            YondaInjectKey(vk, TRUE);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            YondaInjectKey(*it, FALSE);
    });
}

Answer Session::Type(const std::vector<std::string>& args, std::string_view rest)
{
    std::string text(rest);
    if (!rest.empty() && rest.front() == '"') {
        if (args.size() != 3)
            return Error("type takes one quoted text or the rest of the line");
        text = args[2];
    }
    if (text.empty())
        return Error("nothing to type");
    if (YondaCodePageToUtf8(YondaUtf8ToCodePage(text, 0), 0) != text)
        return Error("code page " + std::to_string(GetACP()) + " cannot hold " + QuoteArgument(text));
    std::string why;
    HWND hwnd = Resolve(args[1], true, &why);
    if (!hwnd)
        return Error(why);
    return TypeInto(hwnd, [text] { YondaInjectTextUtf8(text.c_str()); });
}

Answer Session::Text(const std::vector<std::string>& args)
{
    std::string why;
    HWND hwnd = Resolve(args[1], false, &why);
    if (!hwnd)
        return Error(why);
    Answer answer = OnWindowThread(hwnd, [hwnd]() -> Answer { return Ok(TextOf(hwnd)); });
    if (answer.ok) {
        answer.text = EscapeLine(answer.text);
        answer.print = true;
    }
    return answer;
}

Answer Session::WaitText(const std::vector<std::string>& args)
{
    std::string why;
    int ms = 0;
    if (!ParseMs(args, 3, &ms, &why))
        return Error(why);
    auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    std::string seen;
    for (;;) {
        if (HWND hwnd = Resolve(args[1], false, &why)) {
            Answer text = OnWindowThread(hwnd, [hwnd]() -> Answer { return Ok(TextOf(hwnd)); });
            if (text.ok && text.text.find(args[2]) != std::string::npos)
                return Ok(EscapeLine(text.text));
            why = text.ok ? "its text is " + QuoteArgument(EscapeLine(text.text)) : text.text;
        }
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kPollInterval);
    }
    return Error("no text " + QuoteArgument(args[2]) + " in " + args[1] + " after " + std::to_string(ms) +
                 " ms: " + why);
}

Answer Session::Capture(const std::vector<std::string>& args)
{
    std::string why;
    HWND hwnd = Resolve(args[1], true, &why);
    if (!hwnd)
        return Error(why);
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(args[2], error);
    if (error)
        return Error("no path " + args[2]);
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    Answer settled = ActThenSettle(hwnd, [] { return Ok(); });
    if (!settled.ok)
        return settled;
    std::string file = path.string();
    Answer answer = OnWindowThread(hwnd, [hwnd, file]() -> Answer {
        RedrawWindow(GetAncestor(hwnd, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!YondaCaptureWindowToPng(hwnd, file.c_str()))
            return Error("cannot write " + file);
        return Ok(file);
    });
    answer.print = answer.ok;
    return answer;
}

Answer Session::Execute(std::string_view line)
{
    std::vector<std::string> args;
    std::vector<size_t> ends;
    std::string why;
    if (!SplitArguments(line, &args, &why, &ends))
        return Error(why);
    if (args.empty())
        return Error("no command");
    const std::string& command = args[0];
    auto usage = [&](size_t least, size_t most, const char* form) -> std::optional<Answer> {
        if (args.size() < least || args.size() > most)
            return Error(std::string("usage: ") + form);
        return std::nullopt;
    };
    if (command == "windows") {
        if (auto bad = usage(1, 1, "windows"))
            return *bad;
        return Windows();
    }
    if (command == "wait-window" || command == "wait-gone") {
        if (auto bad = usage(2, 3, "wait-window|wait-gone NAME [MS]"))
            return *bad;
        return WaitWindow(args, command == "wait-gone");
    }
    if (command == "click" || command == "double-click" || command == "right-click") {
        if (auto bad = usage(4, 4, "click|double-click|right-click WINDOW X Y"))
            return *bad;
        return Click(args, command == "right-click" ? 1 : 0, command == "double-click" ? 2 : 1);
    }
    if (command == "key") {
        if (auto bad = usage(3, 3, "key WINDOW KEY"))
            return *bad;
        return Key(args);
    }
    if (command == "type") {
        if (auto bad = usage(3, SIZE_MAX, "type WINDOW TEXT"))
            return *bad;
        // The text is the line after the window argument and one blank, as written.
        size_t end = ends[1];
        std::string_view rest = end < line.size() ? line.substr(end + 1) : std::string_view();
        return Type(args, rest);
    }
    if (command == "text") {
        if (auto bad = usage(2, 2, "text WINDOW"))
            return *bad;
        return Text(args);
    }
    if (command == "wait-text") {
        if (auto bad = usage(3, 4, "wait-text WINDOW TEXT [MS]"))
            return *bad;
        return WaitText(args);
    }
    if (command == "capture") {
        if (auto bad = usage(3, 3, "capture WINDOW FILE.png"))
            return *bad;
        return Capture(args);
    }
    if (command == "sleep") {
        if (auto bad = usage(2, 2, "sleep MS"))
            return *bad;
        int ms = 0;
        if (!ParseMs(args, 1, &ms, &why))
            return Error(why);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return Ok();
    }
    if (command == "quit") {
        if (auto bad = usage(1, 1, "quit"))
            return *bad;
        Answer answer;
        answer.quit = true;
        return answer;
    }
    return Error("unknown command " + QuoteArgument(command));
}

} // namespace yonda::user::automation

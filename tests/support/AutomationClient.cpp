#include "AutomationClient.h"

#include <png.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace yonda::testing {
namespace {

AutomationAnswer Failed(const std::string& why)
{
    return {false, why, "error " + why};
}

// The next argument of a `windows` answer: a quoted string or a bare word.
bool NextToken(std::string_view text, size_t* at, std::string* token, bool* quoted)
{
    while (*at < text.size() && text[*at] == ' ')
        ++*at;
    if (*at >= text.size())
        return false;
    token->clear();
    *quoted = text[*at] == '"';
    if (!*quoted) {
        while (*at < text.size() && text[*at] != ' ')
            *token += text[(*at)++];
        return true;
    }
    for (++*at; *at < text.size(); ++*at) {
        char c = text[*at];
        if (c == '"') {
            ++*at;
            return true;
        }
        if (c == '\\' && *at + 1 < text.size())
            c = text[++*at];
        *token += c;
    }
    return false;
}

} // namespace

std::optional<Picture> ReadPng(const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    Picture picture;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return std::nullopt;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_read_update_info(png, info);
    picture.width = static_cast<int>(png_get_image_width(png, info));
    picture.height = static_cast<int>(png_get_image_height(png, info));
    std::vector<png_byte> row(png_get_rowbytes(png, info));
    picture.pixels.reserve(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back((uint32_t(row[x * 3]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3 + 2]);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return picture;
}

std::string Quote(std::string_view text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string UnescapeLine(std::string_view text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        char c = text[++i];
        plain += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return plain;
}

std::vector<WindowInfo> ParseWindows(std::string_view text)
{
    std::vector<WindowInfo> windows;
    size_t at = 0;
    std::string token;
    bool quoted = false;
    for (;;) {
        std::vector<std::string> fields;
        while (NextToken(text, &at, &token, &quoted) && !(token == "|" && !quoted))
            fields.push_back(token);
        if (fields.size() == 7) {
            WindowInfo w{fields[0], fields[1], fields[2]};
            w.left = std::atoi(fields[3].c_str());
            w.top = std::atoi(fields[4].c_str());
            w.right = std::atoi(fields[5].c_str());
            w.bottom = std::atoi(fields[6].c_str());
            windows.push_back(std::move(w));
        }
        if (at >= text.size())
            return windows;
    }
}

AutomationClient::~AutomationClient()
{
    Close();
}

bool AutomationClient::Connect(const std::string& socketPath, std::chrono::milliseconds timeout,
                               const std::function<bool()>& keepTrying)
{
    Close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            m_fd = fd;
            return true;
        }
        if (fd >= 0)
            close(fd);
        if (std::chrono::steady_clock::now() >= deadline || (keepTrying && !keepTrying()))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void AutomationClient::Close()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    m_pending.clear();
}

AutomationAnswer AutomationClient::Send(const std::string& command, std::chrono::milliseconds timeout)
{
    if (m_fd < 0)
        return Failed("not connected (" + command + ")");
    std::string line = command + "\n";
    for (size_t sent = 0; sent < line.size();) {
        ssize_t n = send(m_fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Failed("the connection is gone (" + command + ")");
        sent += static_cast<size_t>(n);
    }
    auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t newline;
    while ((newline = m_pending.find('\n')) == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Failed("no answer within " + std::to_string(timeout.count()) + " ms (" + command + ")");
        pollfd p{m_fd, POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        char buffer[4096];
        ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Failed("the program closed the connection (" + command + ")");
        m_pending.append(buffer, static_cast<size_t>(n));
    }
    AutomationAnswer answer;
    answer.line = m_pending.substr(0, newline);
    m_pending.erase(0, newline + 1);
    answer.ok = answer.line == "ok" || answer.line.rfind("ok ", 0) == 0;
    size_t space = answer.line.find(' ');
    answer.text = space == std::string::npos ? "" : answer.line.substr(space + 1);
    return answer;
}

AutomationAnswer AutomationClient::Wait(const std::string& command, int ms)
{
    return Send(command + " " + std::to_string(ms), std::chrono::milliseconds(ms) + kCommandTimeout);
}

std::vector<WindowInfo> AutomationClient::Windows()
{
    AutomationAnswer answer = Send("windows");
    return answer.ok ? ParseWindows(answer.text) : std::vector<WindowInfo>();
}

AutomationAnswer AutomationClient::WaitWindow(const std::string& name, int ms)
{
    return Wait("wait-window " + Quote(name), ms);
}

AutomationAnswer AutomationClient::WaitGone(const std::string& name, int ms)
{
    return Wait("wait-gone " + Quote(name), ms);
}

AutomationAnswer AutomationClient::Click(const std::string& window, int x, int y)
{
    return Send("click " + Quote(window) + " " + std::to_string(x) + " " + std::to_string(y));
}

AutomationAnswer AutomationClient::DoubleClick(const std::string& window, int x, int y)
{
    return Send("double-click " + Quote(window) + " " + std::to_string(x) + " " + std::to_string(y));
}

AutomationAnswer AutomationClient::RightClick(const std::string& window, int x, int y)
{
    return Send("right-click " + Quote(window) + " " + std::to_string(x) + " " + std::to_string(y));
}

AutomationAnswer AutomationClient::Key(const std::string& window, const std::string& key)
{
    return Send("key " + Quote(window) + " " + key);
}

AutomationAnswer AutomationClient::Type(const std::string& window, const std::string& text)
{
    return Send("type " + Quote(window) + " " + Quote(text));
}

std::optional<std::string> AutomationClient::Text(const std::string& window, std::string* error)
{
    AutomationAnswer answer = Send("text " + Quote(window));
    if (!answer.ok) {
        if (error)
            *error = answer.line;
        return std::nullopt;
    }
    return UnescapeLine(answer.text);
}

AutomationAnswer AutomationClient::WaitText(const std::string& window, const std::string& text, int ms)
{
    AutomationAnswer answer = Wait("wait-text " + Quote(window) + " " + Quote(text), ms);
    if (answer.ok)
        answer.text = UnescapeLine(answer.text);
    return answer;
}

std::optional<Picture> AutomationClient::Capture(const std::string& window, const std::string& file, std::string* error)
{
    AutomationAnswer answer = Send("capture " + Quote(window) + " " + Quote(file));
    if (!answer.ok) {
        if (error)
            *error = answer.line;
        return std::nullopt;
    }
    auto picture = ReadPng(answer.text);
    if (!picture && error)
        *error = "cannot read " + answer.text;
    return picture;
}

AutomationAnswer AutomationClient::Quit()
{
    return Send("quit");
}

} // namespace yonda::testing

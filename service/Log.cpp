#include "Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace yonda::service {

namespace {

std::atomic<LogLevel> g_level{LogLevel::Info};

void write(LogLevel level, const char* label, const char* format, va_list args)
{
    if (level > g_level.load())
        return;
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm parts{};
    gmtime_r(&now.tv_sec, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &parts);
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    // What members typed (IDs) may hold control characters: one event stays one line.
    for (char* c = text; *c; ++c) {
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F)
            *c = '?';
    }
    // The stream's lock keeps the lines of different threads whole.
    std::fprintf(stderr, "%s.%03dZ yonda-service %s: %s\n", stamp, static_cast<int>(now.tv_usec / 1000), label, text);
}

} // namespace

void setLogLevel(LogLevel level)
{
    g_level = level;
}

std::optional<LogLevel> logLevelNamed(std::string_view name)
{
    if (name == "quiet")
        return LogLevel::Quiet;
    if (name == "error")
        return LogLevel::Error;
    if (name == "warning")
        return LogLevel::Warning;
    if (name == "info")
        return LogLevel::Info;
    return std::nullopt;
}

#define YONDA_LOG_AT(function, level, label)                                                                           \
    void function(const char* format, ...)                                                                             \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        write(level, label, format, args);                                                                             \
        va_end(args);                                                                                                  \
    }
YONDA_LOG_AT(logError, LogLevel::Error, "error")
YONDA_LOG_AT(logNotice, LogLevel::Error, "notice")
YONDA_LOG_AT(logWarning, LogLevel::Warning, "warning")
YONDA_LOG_AT(logInfo, LogLevel::Info, "info")
#undef YONDA_LOG_AT

} // namespace yonda::service

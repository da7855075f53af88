#include "Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace yonda::service {

namespace {
std::atomic<bool> g_enabled{true};
}

void setLogEnabled(bool enabled)
{
    g_enabled = enabled;
}

void logLine(const char* format, ...)
{
    if (!g_enabled)
        return;
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &parts);
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(stderr, "%s yonda-service: %s\n", stamp, text);
}

} // namespace yonda::service

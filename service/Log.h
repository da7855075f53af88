// The service's log: one line per event worth a person's attention, with the time and its level,
// to standard error. Errors and notices (the service starting and stopping) are always worth it;
// warnings are refusals (limits, failed logins); information is connections, logins and logouts.
#pragma once

#include <optional>
#include <string_view>

namespace yonda::service {

enum class LogLevel { Quiet, Error, Warning, Info };

void setLogLevel(LogLevel level);
// "quiet", "error", "warning" or "info"; nothing for another word.
std::optional<LogLevel> logLevelNamed(std::string_view name);

void logError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace yonda::service

// The service's log: one line per event worth a person's attention, to standard error.
#pragma once

namespace yonda::service {

void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void setLogEnabled(bool enabled);

} // namespace yonda::service

// The kernel's one clock, as the other parts of the platform read it.
#pragma once

#include <cstdint>

namespace yonda::kernel {

// Milliseconds on the clock behind GetTickCount, without its 32-bit wrap.
uint64_t ClockMilliseconds();
// Called (on the advancing thread) whenever YondaClockAdvance moves the clock, so that waits
// measured on it can look again; null removes it.
void SetClockAdvanceListener(void (*listener)());

} // namespace yonda::kernel

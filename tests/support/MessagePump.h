// Delivering what waits in the calling thread's message queue, as a program's loop would.
#pragma once

namespace yonda::testing {

// Translates and dispatches every message waiting now, then returns (it never waits).
void Pump();

} // namespace yonda::testing

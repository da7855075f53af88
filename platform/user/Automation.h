// The automation hook's start (internal); yonda_automation.h describes what it does.
#pragma once

namespace yonda::user {

// Called by CreateWindowExA on the creating thread for each top-level window it makes: the first
// one starts the automation the environment asks for.
void AutomationNoticeTopLevel();

} // namespace yonda::user

// Steps every member takes in the real program before the part a test is about.
#pragma once

#include "EndToEndTest.h"

namespace yonda::testing {

// Types the ID and the password into the login dialog and presses Enter.
inline void LogInAs(DrivenProgram& program, const std::string& id, const std::string& password)
{
    ASSERT_TRUE(IsOk(program.WaitWindow("Yonda Alpha")));
    ASSERT_TRUE(IsOk(program.Click("#202", 20, 8)));
    ASSERT_TRUE(IsOk(program.Type("#202", id)));
    ASSERT_TRUE(IsOk(program.Click("#203", 20, 8)));
    ASSERT_TRUE(IsOk(program.Type("#203", password)));
    ASSERT_TRUE(IsOk(program.Key("#203", "RETURN")));
}

// Logs in and waits for the main frame.
inline void LogInToFrame(DrivenProgram& program, const std::string& id, const std::string& password = "pw")
{
    LogInAs(program, id, password);
    ASSERT_TRUE(IsOk(program.WaitWindow("VelmoraMain", 30000)));
}

} // namespace yonda::testing

// The standard control classes, registered on first use of any class.
#include "WindowClass.h"

namespace yonda::user {

void EnsureSystemClasses() {}

}  // namespace yonda::user

// The runtime's thread functions, where programs look for them.
#pragma once

#include "yonda_crt.h"

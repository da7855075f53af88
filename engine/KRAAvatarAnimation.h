// The avatar's own small animations that drawing asks for each frame: the blink of the eyes and
// the bounce of the breasts, each a short run started by chance or by the host.
#pragma once

#include "KRAAvatar.h"

// Blinks start by chance (one in 200 each time the value is asked) and last 0.2 s; the value
// grows from 0 by 5 per second meanwhile, and is 0 otherwise.
float KRABlinkValue(CKRAAvatar& avatar, double fNow);

// A bounce started by FireBreastAnimation lasts 0.5 s; the value grows from 0 by 2 per second
// meanwhile, and is 0 otherwise.
float KRABreastBounceValue(CKRAAvatar& avatar, double fNow);

// The public interface of the Kravex engine library: the host creates the engine with its
// Direct3D device (KRACreate), works through the manager and the classes below, and ends with
// KRADestroy. Every operation answers an engine status (0, or negative for a failure).
#pragma once

#include "KRADefs.h"
#include "KRAManager.h"
#include "KRAObjectFile.h"
#include "KRAScene.h"

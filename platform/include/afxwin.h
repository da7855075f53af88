// The MFC subset: strings, collections and geometry, then windows, dialogs, controls and DCs.
#pragma once

#include "afx.h"
#include "afxcoll.h"
#include "atltypes.h"

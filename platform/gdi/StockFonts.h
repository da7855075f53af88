// The logical fonts behind the stock font objects.
#pragma once

#include <wingdi.h>

namespace yonda::gdi {

LOGFONTA StockFontLog(int index);

} // namespace yonda::gdi

#include "StockFonts.h"

#include <cstring>

namespace yonda::gdi {

LOGFONTA StockFontLog(int index)
{
    LOGFONTA log{};
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfWeight = FW_NORMAL;
    // ASCII face names: they reach the same fonts whatever the code page is.
    const char* face = "Gulim";
    switch (index) {
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        log.lfHeight = 16;
        log.lfWeight = FW_BOLD;
        break;
    case SYSTEM_FIXED_FONT:
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
        log.lfHeight = 16;
        log.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        face = "GulimChe";
        break;
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
    default:
        log.lfHeight = -12;
        log.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        break;
    }
    std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return log;
}

} // namespace yonda::gdi

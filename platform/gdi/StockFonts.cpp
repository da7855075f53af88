#include "StockFonts.h"

#include <winnls.h>

#include <cstring>

namespace yonda::gdi {

LOGFONTA StockFontLog(int index)
{
    LOGFONTA log{};
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfWeight = FW_NORMAL;
    // ASCII face names, so the name reads the same in every code page: the Korean system's face
    // in the Korean mode, the Latin one otherwise.
    const bool korean = GetACP() == 949;
    const char* face = korean ? "Gulim" : "MS Sans Serif";
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
        face = korean ? "GulimChe" : "Courier New";
        break;
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
    default:
        log.lfHeight = korean ? -12 : -11;
        log.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        break;
    }
    std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return log;
}

} // namespace yonda::gdi

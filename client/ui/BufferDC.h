#pragma once
// A device context that gathers drawing off-screen and puts it on the target in one copy when it
// goes away, so a control that paints in layers never shows a half-drawn state.
#include <afxwin.h>

class CBufferDC : public CDC {
public:
    // Drawing in the target's own coordinates lands in a bitmap covering the target's clip box.
    // A printing target, or one with nothing visible to draw on, is drawn on directly.
    explicit CBufferDC(CDC* target);
    ~CBufferDC() override;
    CBufferDC(const CBufferDC&) = delete;
    CBufferDC& operator=(const CBufferDC&) = delete;

    BOOL IsBuffering() const { return m_bBuffering; }
    const CRect& Bounds() const { return m_rcBounds; }

private:
    CDC* m_pTarget = nullptr;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    CRect m_rcBounds;
    BOOL m_bBuffering = FALSE;
};

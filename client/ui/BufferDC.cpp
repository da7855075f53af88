#include "BufferDC.h"

CBufferDC::CBufferDC(CDC* target) : m_pTarget(target)
{
    if (!target || !target->GetSafeHdc()) {
        return;
    }
    if (!target->IsPrinting()) {
        target->GetClipBox(&m_rcBounds);
        // An empty clip box would ask for a bitmap without pixels; drawing straight on the target
        // shows the same nothing.
        if (!m_rcBounds.IsRectEmpty() && CreateCompatibleDC(target)) {
            if (m_bitmap.CreateCompatibleBitmap(target, m_rcBounds.Width(), m_rcBounds.Height())) {
                m_hOldBitmap = SelectObject(m_bitmap.GetSafeHandle());
                SetWindowOrg(m_rcBounds.left, m_rcBounds.top);
                m_bBuffering = TRUE;
                return;
            }
            DeleteDC();
        }
    }
    // Not buffering: this object is only another name for the target.
    Attach(target->GetSafeHdc());
}

CBufferDC::~CBufferDC()
{
    if (m_bBuffering) {
        m_pTarget->BitBlt(m_rcBounds.left, m_rcBounds.top, m_rcBounds.Width(), m_rcBounds.Height(), this,
                          m_rcBounds.left, m_rcBounds.top, SRCCOPY);
        SelectObject(m_hOldBitmap);
        DeleteDC();
    } else {
        Detach();
    }
    m_bitmap.DeleteObject();
}

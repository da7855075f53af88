#pragma once
// A skinned window with the shared font and cursor and a close button (command 9999). A shown
// popup frame is modal over the main frame's other child windows unless it is modeless.
#include "SkinWnd.h"
#include "SoundButton.h"

constexpr UINT kFrameCloseCommand = 9999;

class CSkinFrame : public CSkinWnd {
public:
    explicit CSkinFrame(CSkinBase* skin = nullptr) : CSkinWnd(skin) {}

    // Loads the derived window's further pictures once its controls exist; 1 in the base.
    virtual int LoadSubBitmaps() { return 1; }
    virtual void FreeSubBitmaps() {}

    CSoundButton m_btnClose;
    int m_bCloseDestroys = 0; // the close command closes (1) or only hides (0) the frame
    int m_bModeless = 0;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnShowWindow(BOOL show, UINT status) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
};

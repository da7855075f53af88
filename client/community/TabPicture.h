#pragma once
// The picture of a tabbed window's current tab (its headings or options), kept selected into a
// memory DC so painting is one copy. Its area starts at the skin's "Common" TabAreaRect and takes
// the picture's size.
#include <SkinBase.h>

#include <afxwin.h>

class CTabPicture {
public:
    CTabPicture() = default;
    ~CTabPicture() { Release(); }
    CTabPicture(const CTabPicture&) = delete;
    CTabPicture& operator=(const CTabPicture&) = delete;

    // The memory DC, compatible with the window's.
    BOOL Create(CWnd* window);
    // The picture "TabImage<tab + 1>" of the skin's "Common" section, when one is named and loads;
    // the previous one is kept otherwise.
    BOOL Load(const CSkinBase& skin, int tab);
    void Draw(CDC* dc);
    // Frees the picture and the DC.
    void Release();
    BOOL HasPicture() const { return m_bmp.GetSafeHandle() != nullptr; }
    const RECT& Area() const { return m_rcArea; }

private:
    void FreePicture();

    CDC m_dc;
    CBitmap m_bmp;
    CBitmap* m_pOld = nullptr;
    RECT m_rcArea{0, 0, 0, 0};
};

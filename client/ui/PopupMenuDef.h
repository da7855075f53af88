#pragma once
// One menu of a popup-menu ini file: its size keys, its two pictures and the text and tag of every
// item. A definition stays loaded after its popup window is gone, so the owner can still ask
// what was chosen.
#include "IniFile.h"

#include <afxwin.h>

class CPopupMenuDef {
public:
    // Definitions beyond this many items are cut: a menu is a short list, and a damaged file must
    // not make thousands of windows.
    static constexpr int kMaxItems = 256;

    CPopupMenuDef() = default;
    ~CPopupMenuDef() { Free(); }
    CPopupMenuDef(const CPopupMenuDef&) = delete;
    CPopupMenuDef& operator=(const CPopupMenuDef&) = delete;

    // Reads the section of the file. False, and the previous definition kept, when the file
    // cannot be read or has no such section.
    BOOL Load(LPCSTR iniPath, LPCSTR section);
    void Free();
    BOOL IsLoaded() const { return m_bLoaded; }

    // Empty for an index outside the menu.
    CString GetText(int index) const;
    CString GetTag(int index) const;

    CString m_strFolder;
    int m_nCount = 0;
    int m_nVisibleItem = 0;
    int m_nItemWidth = 0;
    int m_nItemHeight = 0;
    POINT m_ptMenuSize{0, 0};
    CBitmap m_bmpItem;
    CBitmap m_bmpBack;
    // One text and one tag per item, kept side by side: an item without a tag has an empty one,
    // so a single missing tag never shifts the others onto the wrong items.
    CStringArray m_arrText;
    CStringArray m_arrTag;
    CIniFile m_ini;

private:
    BOOL m_bLoaded = FALSE;
};

// The tag that marks a heading: drawn bold and underlined, never taken by a selector.
constexpr char kPopupHeadingTag[] = "97";

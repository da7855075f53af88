#include "PopupMenuDef.h"

#include "ImageFile.h"

#include <algorithm>
#include <cstdio>

namespace {

BOOL FileReadable(LPCSTR path)
{
    FILE* file = YondaOpenFile(path, "rb");
    if (!file) {
        return FALSE;
    }
    std::fclose(file);
    return TRUE;
}

void LoadPicture(CBitmap& slot, const CString& folder, const CString& name)
{
    slot.DeleteObject();
    if (name.IsEmpty()) {
        return;
    }
    LoadBitmapFile(folder + "\\" + name, &slot, nullptr);
}

} // namespace

BOOL CPopupMenuDef::Load(LPCSTR iniPath, LPCSTR section)
{
    if (!iniPath || !section || !FileReadable(iniPath)) {
        return FALSE;
    }
    CIniFile ini;
    ini.Load(iniPath);
    if (ini.FindSection(section) < 0) {
        return FALSE;
    }
    Free();
    m_ini = ini;
    const CString path(iniPath);
    const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    m_strFolder = slash >= 0 ? path.Left(slash) : CString();

    m_ini.GetInt(section, "Count", &m_nCount);
    m_nCount = std::clamp(m_nCount, 0, kMaxItems);
    m_ini.GetPoint(section, "MenuSize", &m_ptMenuSize);
    m_ini.GetInt(section, "ItemWidth", &m_nItemWidth);
    m_ini.GetInt(section, "VisibleItem", &m_nVisibleItem);
    m_nVisibleItem = std::max(m_nVisibleItem, 0);
    m_ini.GetInt(section, "ItemHeight", &m_nItemHeight);
    m_nItemHeight = std::max(m_nItemHeight, 0);
    CString back;
    CString item;
    m_ini.GetString(section, "BkImage", &back);
    m_ini.GetString(section, "Item", &item);
    LoadPicture(m_bmpBack, m_strFolder, back);
    LoadPicture(m_bmpItem, m_strFolder, item);

    for (int i = 0; i < m_nCount; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "Text%d", i);
        CStringList parts;
        m_ini.GetList(section, key, &parts);
        POSITION at = parts.GetHeadPosition();
        const CString text = at ? parts.GetNext(at) : CString();
        const CString tag = at ? parts.GetNext(at) : CString();
        m_arrText.Add(text);
        m_arrTag.Add(tag);
    }
    m_bLoaded = TRUE;
    return TRUE;
}

void CPopupMenuDef::Free()
{
    m_bmpItem.DeleteObject();
    m_bmpBack.DeleteObject();
    m_arrText.RemoveAll();
    m_arrTag.RemoveAll();
    m_nCount = m_nVisibleItem = m_nItemWidth = m_nItemHeight = 0;
    m_ptMenuSize = POINT{0, 0};
    m_bLoaded = FALSE;
}

CString CPopupMenuDef::GetText(int index) const
{
    return index >= 0 && index < m_arrText.GetSize() ? m_arrText.GetAt(index) : CString();
}

CString CPopupMenuDef::GetTag(int index) const
{
    return index >= 0 && index < m_arrTag.GetSize() ? m_arrTag.GetAt(index) : CString();
}

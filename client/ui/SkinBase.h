#pragma once
// A skin is a folder of ini files and bitmaps. Every skinned window pairs with one layout object
// derived from CSkinBase: it reads the window's ini file and fills named skin elements (control
// id, caption, picture, placement, the ini file of a child's own skin).
#include "IniFile.h"

#include <afxwin.h>

// One named section of a skin ini.
struct CSkinElement {
    CSkinElement() = default;
    ~CSkinElement() { bmpImage.DeleteObject(); }
    CSkinElement(const CSkinElement&) = delete;
    CSkinElement& operator=(const CSkinElement&) = delete;

    int nID = 0;
    int nTitle = 0; // the caption read as a number (0 unless it begins with digits)
    CString strTitle;
    CString strImage; // <skin folder>\<Image>, or <skin folder>\ without a picture
    CBitmap bmpImage; // loaded when Image is not empty
    RECT rcRect{0, 0, 0, 0};
    CString strIniFile; // <skin folder>\<IniFile>, empty without one
};

class CSkinBase {
public:
    CSkinBase() = default;
    virtual ~CSkinBase() = default;
    CSkinBase(const CSkinBase&) = delete;
    CSkinBase& operator=(const CSkinBase&) = delete;

    // 1 when the file exists, was read and LoadElements succeeded. A missing file is told to the
    // user (it means a broken installation).
    virtual int LoadIni(const char* iniPath);
    // <basePath>\Skin\<skinName>\default.ini.
    virtual int LoadSkin(CString basePath, CString skinName);
    // Deletes the pictures of every element and of the layout's own bitmaps.
    virtual void FreeSkin() = 0;
    // Reads the layout's sections from m_Ini; nonzero when every picture loaded.
    virtual int LoadElements() = 0;

    void SetSkinPath(CString folder) { m_strSkinFolder = folder; }
    void SetSkinFolder(CString basePath, CString skinName);

    // Missing sections and keys leave the fields as they were; only a picture that does not load
    // fails (and then IniFile is not read).
    int LoadElement(const char* section, CSkinElement* element);
    int FreeElementBitmap(CSkinElement* element);

    BOOL GetRect(const char* section, const char* key, RECT* rect) const { return m_Ini.GetRect(section, key, rect); }
    BOOL GetInt(const char* section, const char* key, int* value) const { return m_Ini.GetInt(section, key, value); }
    BOOL GetString(const char* section, const char* key, CString* value) const
    {
        return m_Ini.GetString(section, key, value);
    }
    int GetList(const char* section, const char* key, CStringList* list) const
    {
        return m_Ini.GetList(section, key, list);
    }
    BOOL GetPoint(const char* section, const char* key, POINT* point) const
    {
        return m_Ini.GetPoint(section, key, point);
    }
    // <skin folder>\<value>, or empty when the value is missing or empty.
    CString GetFilePath(const char* section, const char* key) const;

    CIniFile m_Ini;
    CString m_strSkinFolder;
    CString m_strSkinName;
    int m_nReserved = 0;
};

// Whether a file exists (the name as the skins write it, '\' separated, any letter case).
BOOL SkinFileExists(LPCSTR path);

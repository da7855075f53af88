#include "SkinBase.h"

#include "ImageFile.h"
#include "ToolkitShared.h"

#include <cstdio>

namespace {

// String resource 61204, used when the program's resources do not carry it.
constexpr char kMissingFileResourceUtf8[] = "다음 파일을 찾을 수 없습니다.\n%s\n\n프로그램을 다시 설치하세요";
constexpr UINT kMissingFileResource = 61204;

} // namespace

BOOL SkinFileExists(LPCSTR path)
{
    if (!path || !*path) {
        return FALSE;
    }
    FILE* file = YondaOpenFile(path, "rb");
    if (!file) {
        return FALSE;
    }
    std::fclose(file);
    return TRUE;
}

void CSkinBase::SetSkinFolder(CString basePath, CString skinName)
{
    m_strSkinName = skinName;
    m_strSkinFolder = basePath + "\\Skin\\" + skinName;
}

int CSkinBase::LoadIni(const char* iniPath)
{
    if (!SkinFileExists(iniPath)) {
        CString format;
        if (!format.LoadString(kMissingFileResource) || format.IsEmpty()) {
            format = CString(YondaUtf8ToCodePage(kMissingFileResourceUtf8, 949));
        }
        AfxMessageBox(ToolkitFormatText(format, iniPath ? iniPath : ""), MB_OK, 0);
        return 0;
    }
    m_Ini.Load(iniPath);
    return LoadElements() ? 1 : 0;
}

int CSkinBase::LoadSkin(CString basePath, CString skinName)
{
    SetSkinFolder(basePath, skinName);
    return LoadIni(m_strSkinFolder + "\\default.ini");
}

int CSkinBase::LoadElement(const char* section, CSkinElement* element)
{
    if (!element) {
        return 0;
    }
    m_Ini.GetInt(section, "ID", &element->nID);
    m_Ini.GetString(section, "Title", &element->strTitle);
    m_Ini.GetInt(section, "Title", &element->nTitle);
    CString image;
    m_Ini.GetString(section, "Image", &image);
    element->strImage = m_strSkinFolder + "\\" + image;
    m_Ini.GetRect(section, "Rect", &element->rcRect);
    if (!image.IsEmpty() && !LoadBitmapFile(element->strImage, &element->bmpImage, nullptr)) {
        return 0;
    }
    CString iniFile;
    if (m_Ini.GetString(section, "IniFile", &iniFile)) {
        element->strIniFile = iniFile.IsEmpty() ? CString() : m_strSkinFolder + "\\" + iniFile;
    }
    return 1;
}

int CSkinBase::FreeElementBitmap(CSkinElement* element)
{
    return element && DeleteGdiObject(&element->bmpImage) ? 1 : 0;
}

CString CSkinBase::GetFilePath(const char* section, const char* key) const
{
    CString value;
    if (!m_Ini.GetString(section, key, &value) || value.IsEmpty()) {
        return CString();
    }
    return m_strSkinFolder + "\\" + value;
}

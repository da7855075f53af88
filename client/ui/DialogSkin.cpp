#include "DialogSkin.h"

#include "ImageFile.h"
#include "NotifyDlg.h"

#include <cstring>

const char* const CDialogSkin::kButtonSections[BUTTON_COUNT] = {
    "OKBTN", "CANCELBTN", "YESBTN", "NOBTN", "SINGLEBTN", "OKBTN2", "CANCELBTN2", "YESBTN2", "NOBTN2", "SINGLEBTN2",
};

const char* const CDialogSkin::kLayoutSections[LAYOUT_COUNT] = {
    "ExitConfirmDlg", "LoginFailDlg", "AvatarSaveDlg", "NetworkFailDlg", "AvatarSaveFailDlg", "ErrorMakeRoom",
};

void CDialogSkin::FreeSkin()
{
    CWndSkin::FreeSkin();
    for (CSkinElement& element : m_elButtons) {
        FreeElementBitmap(&element);
    }
    for (CSkinElement& element : m_elLayouts) {
        FreeElementBitmap(&element);
    }
    DeleteGdiObject(&m_bmpBase);
}

int CDialogSkin::LoadElements()
{
    int result = CWndSkin::LoadElements();
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        result &= LoadElement(kButtonSections[i], &m_elButtons[i]);
    }
    for (int i = 0; i < LAYOUT_COUNT; ++i) {
        result &= LoadElement(kLayoutSections[i], &m_elLayouts[i]);
    }
    const CString base = GetFilePath("COMMON", "DEFAULT_BASE_BITMAP");
    if (!base.IsEmpty() && !LoadBitmapFile(base, &m_bmpBase, nullptr)) {
        ShowFileReadError(base);
        return 0;
    }
    return result;
}

CSkinElement* CDialogSkin::Element(LPCSTR section)
{
    if (!section) {
        return nullptr;
    }
    if (std::strcmp(section, "CloseBtn") == 0) {
        return &m_elCloseBtn;
    }
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (std::strcmp(section, kButtonSections[i]) == 0) {
            return &m_elButtons[i];
        }
    }
    for (int i = 0; i < LAYOUT_COUNT; ++i) {
        if (std::strcmp(section, kLayoutSections[i]) == 0) {
            return &m_elLayouts[i];
        }
    }
    return nullptr;
}

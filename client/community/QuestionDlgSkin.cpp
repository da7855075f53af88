#include "QuestionDlgSkin.h"

void CQuestionDlgSkin::FreeSkin()
{
    CDialogSkin::FreeSkin();
    FreeElementBitmap(&m_elRandomBtn);
    FreeElementBitmap(&m_elQuestionEdit);
}

int CQuestionDlgSkin::LoadElements()
{
    int result = CDialogSkin::LoadElements();
    result &= LoadElement("RANDOM_BTN", &m_elRandomBtn);
    result &= LoadElement("QuesionEdit", &m_elQuestionEdit);
    return result;
}

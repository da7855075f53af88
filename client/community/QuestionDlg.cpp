#include "QuestionDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ToolkitShared.h>

#include <cstdlib>

CQuestionDlg::CQuestionDlg(CSkinElement* element, CWnd* parent) : CRoomDialog(element, parent, new CQuestionDlgSkin) {}

int CQuestionDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CRoomDialog::OnCreate(cs) == -1) {
        return -1;
    }
    const CSkinElement& edit = QuestionSkin()->m_elQuestionEdit;
    m_editQuestion.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL,
                          edit.rcRect, this, static_cast<UINT>(edit.nID));
    m_editQuestion.LimitText(kQuestionLimit);
    if (ToolkitGuiFont()) {
        m_editQuestion.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitGuiFont()), 0);
    }
    CreateSkinButton(&m_btnRandom, &QuestionSkin()->m_elRandomBtn, this, TRUE);
    CreateCommonButtons();
    return 0;
}

BOOL CQuestionDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kCommandRandom && HIWORD(wParam) == BN_CLICKED) {
        DrawQuestion();
        return TRUE;
    }
    return CRoomDialog::OnCommand(wParam, lParam);
}

void CQuestionDlg::DrawQuestion()
{
    m_bRandom = TRUE;
    const int count = g_pSession ? g_pSession->GetQuestionCount() : 0;
    const int index = count > 0 ? std::rand() % count : kNoQuestion;
    if (g_pSession) {
        m_editQuestion.SetWindowText(g_pSession->GetQuestion(index));
    }
}

void CQuestionDlg::OnSkinOk()
{
    m_strResult = WindowText(m_editQuestion);
    m_strResult.Trim();
    if (m_strResult.IsEmpty()) {
        m_editQuestion.SetFocus();
        return;
    }
    EndDialog(IDOK);
}

#pragma once
// A conversation subject for the room: typed, or drawn from the skin's question list. The
// result is the subject, trimmed; a subject of blanks is not one.
#include "QuestionDlgSkin.h"
#include "RoomDialog.h"

class CQuestionDlg : public CRoomDialog {
public:
    static constexpr UINT kCommandRandom = 193;
    static constexpr int kQuestionLimit = 200;
    // The question number drawn when the list is empty (the string table's "missing" text).
    static constexpr int kNoQuestion = 100;

    CQuestionDlg(CSkinElement* element, CWnd* parent);

    void OnSkinOk() override;
    void DrawQuestion();
    CString GetResult() const { return m_strResult; }
    BOOL IsRandom() const { return m_bRandom; }

    CEdit m_editQuestion;
    CSoundButton m_btnRandom;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    CQuestionDlgSkin* QuestionSkin() const { return static_cast<CQuestionDlgSkin*>(m_pSkin); }

    CString m_strResult;
    BOOL m_bRandom = FALSE;
};

#pragma once
// The question dialog's layout: the common dialog buttons, the button that draws a question
// (RANDOM_BTN) and the question's edit (QuesionEdit).
#include <DialogSkin.h>

class CQuestionDlgSkin : public CDialogSkin {
public:
    CQuestionDlgSkin() = default;
    ~CQuestionDlgSkin() override { CQuestionDlgSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement m_elRandomBtn;
    CSkinElement m_elQuestionEdit;
};

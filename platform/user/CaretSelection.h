// The caret and the selection of the text controls (internal), and what the edit and the rich edit
// do alike with them: selecting with the mouse, focus, the dialog code, EM_GETSEL/EM_SETSEL, the
// clipboard, typing (double-byte characters arrive as two WM_CHARs) and the Delete and Insert
// keys. Each control derives from it and answers the few questions that depend on how it keeps and
// lays out its text: where a point falls, where the caret may stand, how the selection is replaced.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace yonda::user {

class CaretSelection {
public:
    virtual ~CaretSelection() = default;

    HWND hwnd = nullptr;
    std::string text;
    size_t anchor = 0; // where the selection began
    size_t caret = 0;  // the selection's other end, where the caret is
    bool focused = false;
    bool modified = false;

    std::pair<size_t, size_t> Selection() const;
    DWORD Style() const;
    bool ReadOnly() const;

    // Answers the messages both controls answer the same way (text length, typing, focus, mouse
    // selection, dialog code, clipboard, selection, modify flag, undo); false for the others.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    LRESULT OnMouseDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnMouseUp();
    LRESULT OnCaptureChanged();
    LRESULT OnSetFocus();
    LRESULT OnKillFocus();
    LRESULT DialogCode(LPARAM lParam) const;
    LRESULT GetSel(WPARAM wParam, LPARAM lParam) const;
    // (0, -1) selects everything, a negative start drops the selection and leaves the caret where
    // it is, a negative end means the end of the text.
    void SetSel(LONG start, LONG end);
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void OnChar(WPARAM wParam);
    // Delete (with Shift: cut) and Insert (with Ctrl: copy, with Shift: paste); false for others.
    bool OnEditingKey(WPARAM key);

    // Replaces the selection with what the user typed or pasted (or EM_REPLACESEL gave).
    virtual void ReplaceSelection(std::string insert) = 0;

protected:
    // The caret place nearest to a point of the client area.
    virtual size_t PositionFromPoint(POINT pt) = 0;
    // Moves the caret (the selection's end) to a place, keeping the anchor when extending.
    virtual void MoveCaret(size_t pos, bool extend) = 0;
    // The caret place at or before `pos`, and the ones before and after a place.
    virtual size_t CaretPlace(size_t pos) const = 0;
    virtual size_t PrevCaretPlace(size_t pos) const = 0;
    virtual size_t NextCaretPlace(size_t pos) const = 0;
    // Called after EM_SETSEL moved the selection.
    virtual void SelectionSet() = 0;
    // Whether the selection may go to the clipboard (a password's may not).
    virtual bool MayCopy() const { return true; }
    virtual bool TakesTab() const { return true; }
    // A typed single-byte character as the control's style lets it in (false: refused).
    virtual bool Filter(char*) const { return true; }

private:
    bool m_tracking = false;
    BYTE m_pendingLead = 0; // first byte of a double-byte character typed as two WM_CHARs
};

} // namespace yonda::user

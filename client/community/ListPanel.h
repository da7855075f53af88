#pragma once
// A list panel: a child window that draws a short table of rows (one picture column and text
// columns) with a skinned scroll bar at its right edge and, for most kinds, a "Go" button beside
// each visible row. The kinds (friends, rooms, room users, search results) differ in their rows,
// columns, pictures and Go rule; the panel reads its keys from the owner's skin ini in the
// section named by its caption.
#include "ListRows.h"

#include <SkinScrollBar.h>
#include <SkinWnd.h>
#include <SoundButton.h>

#include <afxwin.h>

#include <memory>
#include <vector>

// Panel -> owner: a right click on a row. wParam (screen y << 16) | (screen x & 0xFFFF), lParam
// the row index & 0xFFFF.
constexpr UINT UM_LIST_POPUP = 0xC98;

class CListPanel : public CWnd {
public:
    static constexpr int kMaxGoButtons = 16;
    static constexpr int kScrollBarWidth = 18;

    // How a kind's rows are freed: also while the panel itself goes, when the kind is gone already.
    using RowDeleter = void (*)(void* row);

    CListPanel(int visibleCount, RowDeleter deleter) : m_nVisibleCount(visibleCount), m_pfDeleteRow(deleter) {}
    ~CListPanel() override;

    // A visible child named `caption` (its skin section) of `owner`, whose skin it reads.
    BOOL Create(LPCSTR caption, const RECT& rect, CSkinWnd* owner, UINT id);
    void SetFirstRowRect(int left, int top, int right, int bottom) { m_rcFirstRow = {left, top, right, bottom}; }
    void SetRowHeight(int height) { m_nRowHeight = height; }
    void SetVisibleCount(int count) { m_nVisibleCount = count; }
    // The first row's rectangle ("FirstItemRect") and the row height ("ItemHeight") from a
    // section of a skin; the height stays as it is when the section has none.
    void ReadRowLayout(const CSkinBase& skin, const char* section);

    // Takes the row (the panel owns it from now); the row count.
    int AddItem(void* row);
    // Deletes the rows of `list` (the panel's own without one) and starts at the top again.
    void ClearItems(CPtrList* list = nullptr);
    void DeleteItem(long user);
    BOOL HasItem(long user) const;
    void* FindItem(long user) const;
    long GetItemId(int index) const;
    long GetFirstItemId() const { return GetItemId(0); }
    long GetLastItemId() const { return GetItemId(GetCount() - 1); }
    void SetOnline(long user, char flag);
    BOOL SetNickname(long user, LPCSTR text);
    LPCSTR GetIdText(long user) const;
    LPCSTR GetNicknameText(long user) const;

    int GetCount() const { return static_cast<int>(m_listRows.GetCount()); }
    void* GetRow(int index) const;
    int GetTop() const { return m_nTop; }
    int GetVisibleCount() const { return m_nVisibleCount; }
    int GetRowHeight() const { return m_nRowHeight; }
    int GetGoButtonCount() const { return static_cast<int>(m_goButtons.size()); }
    CSoundButton* GoButton(int slot) const;
    CSkinScrollBar& ScrollBar() { return m_scrollBar; }
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    RECT ColumnRect(int column, int slot) const;
    RECT SlotRect(int slot) const;
    COLORREF GetTextColor() const { return m_crText; }
    BOOL HasColumnPicture() const { return m_bmpColumn.GetSafeHandle() != nullptr; }
    int GetColumnPictureWidth() const { return m_nColumnWidth; }

protected:
    // What the kinds tell the base.
    virtual const char* ColumnPictureKey() const { return "GenderImage"; }
    virtual int ColumnPictureColumns() const { return 4; }
    virtual BOOL HasGoButtons() const { return TRUE; }
    virtual int GoButtonStep() const { return m_nRowHeight; }
    virtual void DrawRow(CDC* dc, int slot, const void* row) = 0;
    virtual BOOL IsGoEnabled(const void* row) const = 0;
    virtual void OnGo(const void* row) = 0;
    // The row's nickname and ID fields (friend and room-user rows unless a kind says otherwise).
    virtual char* NicknameField(void* row, size_t* size) const;
    virtual char* IdField(void* row, size_t* size) const;

    // Helpers for the kinds' drawing: a text centred in a column (or at its left-top with
    // `centred` false), column `index` of the column picture, the room-user number.
    void DrawColumnText(CDC* dc, int column, int slot, LPCSTR text, COLORREF colour, BOOL centred = TRUE);
    void DrawColumnPicture(CDC* dc, int column, int slot, int pictureColumn);
    static CString NumberText(char number);
    // A row's text field up to its terminator, never beyond the field.
    template <size_t N>
    static CString FieldText(const char (&field)[N])
    {
        return CString(field, static_cast<int>(strnlen(field, N)));
    }
    // The message for a member's place, or empty when the member may go there.
    static CString PlaceRefusal(BOOL found, int lobby, int room);
    static BOOL IsConnected();
    // The string-table text of `key` in a one-button box.
    static void ShowTableMessage(LPCSTR key);
    // Asks the main frame to join the room; the frame closes this panel's window on success.
    void PostJoin(int lobby, int room);
    // Request 203 for a member's place, then the refusal or the join.
    void GoToMember(long user, BOOL joinDirectly);

    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CSkinWnd* m_pOwner = nullptr;
    CString m_strCaption;
    CPtrList m_listRows;
    int m_nTop = 0;
    int m_nVisibleCount = 0;
    int m_nRowHeight = 20;
    RECT m_rcFirstRow{0, 0, 0, 0};
    RECT m_rcScrollBar{0, 0, 0, 0};
    BOOL m_bRightButtonDown = FALSE;
    CSkinScrollBar m_scrollBar;

private:
    BOOL LoadPanelSkin();
    void BuildGoButtons();
    void DestroyGoButtons();
    void OnScrollTo(int position);
    void PullTopBack();
    void HideGoButtons();
    void RowOf(long user, POSITION* at, void** row) const;

    RowDeleter m_pfDeleteRow;
    std::vector<std::unique_ptr<CSoundButton>> m_goButtons;
    CBitmap m_bmpColumn;
    int m_nColumnWidth = 0;
    int m_nColumnHeight = 0;
    CString m_strGoImage;
    RECT m_rcGoButton{0, 0, 0, 0};
    std::vector<RECT> m_columns;
    COLORREF m_crText = RGB(0, 0, 0);
};

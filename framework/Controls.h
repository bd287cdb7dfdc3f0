#pragma once
// Thin wrappers of the common controls the frames use. Each is a CWnd, so a control created
// through it is subclassed and its messages pass through WindowProc first.

#include "framework/Wnd.h"

#include <commctrl.h>

#include <vector>

// A parent that reflects notifications sends WM_COMMAND and WM_NOTIFY back to the control
// that sent them as kReflectBase + the message, so that the control's object handles them.
constexpr UINT kReflectBase = 0x2000;
// Reflects WM_COMMAND and WM_NOTIFY of child controls; true (with the result) when reflected.
bool ReflectChildNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The class library's edit commands (clear, copy, cut, paste, select all, undo).
enum EditCommand : UINT {
    kEditClear = 0xE120,
    kEditCopy = 0xE122,
    kEditCut = 0xE123,
    kEditPaste = 0xE125,
    kEditSelectAll = 0xE12A,
    kEditUndo = 0xE12B,
};
// Sends an edit control the message of the edit command; false for other ids.
bool SendEditCommand(HWND target, UINT command);

// A static control; classes derived from it see its messages before the control does.
class CStatic : public CWnd {
  public:
    bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CreateEx(0, "Static", text, style | WS_CHILD, rect, parent, id);
    }
};

class CStatusBarCtrl : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // Right edges of the panes in client coordinates; -1 stretches the last one.
    bool SetParts(const std::vector<int>& rightEdges);
    int GetPartCount() const;
    void SetText(int pane, const char* text, UINT drawType = 0);
    CString GetText(int pane) const;
    void SetIcon(int pane, HICON icon);
    CRect GetRect(int pane) const;
    void SetSimple(bool simple);
    bool IsSimple() const;
};

class CProgressCtrl : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
};

// A toolbar. Its parent reflects its notifications (ReflectChildNotification), so that a
// drop-down button reaches OnDropDown of the toolbar's own object.
class CToolBarCtrl : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // With the extended styles, before any button is added.
    bool CreateEx(DWORD exStyle, DWORD style, DWORD toolbarExStyle, const RECT& rect, HWND parent, UINT id);
    bool AddButtons(const TBBUTTON* buttons, int count);
    int GetButtonCount() const { return static_cast<int>(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0)); }
    bool IsButtonEnabled(UINT id) const { return ::SendMessageA(m_hWnd, TB_ISBUTTONENABLED, id, 0) != 0; }
    bool IsButtonChecked(UINT id) const { return ::SendMessageA(m_hWnd, TB_ISBUTTONCHECKED, id, 0) != 0; }
    void EnableButton(UINT id, bool on) {
        SendMessage(TB_ENABLEBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
    }
    void CheckButton(UINT id, bool on) { SendMessage(TB_CHECKBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0)); }
    bool GetButton(int index, TBBUTTON& out) const;
    bool DeleteButton(int index) { return SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index)) != 0; }
    // Position of the button with the command, or -1.
    int CommandToIndex(UINT id) const {
        return static_cast<int>(::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, id, 0));
    }
    CString GetButtonText(UINT id) const;
    void SetButtonWidth(int least, int most) { SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(least, most)); }
    CRect GetItemRect(int index) const;
    // Width and height the buttons need.
    CSize GetNeededSize() const;
    void SetImageList(HIMAGELIST images) {
        SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    }
    // Normal, hot and disabled images; the toolbar object owns them from now on (null: none).
    void SetImageLists(HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    // A drop-down button was pressed; the answer (TBDDRET_...) goes back to the toolbar.
    virtual LRESULT OnDropDown(const NMTOOLBARA* info) {
        (void)info;
        return TBDDRET_NODEFAULT;
    }

  private:
    HIMAGELIST m_hImages[3] = {};
    // Takes the lists; those given before and no longer among them are destroyed.
    void OwnImages(const HIMAGELIST (&lists)[3]);
};

class CTabCtrl : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    int InsertItem(int index, const char* text, LPARAM param);
    int GetItemCount() const { return static_cast<int>(::SendMessageA(m_hWnd, TCM_GETITEMCOUNT, 0, 0)); }
    CString GetItemText(int index) const;
    bool SetItemText(int index, const char* text);
    LPARAM GetItemParam(int index) const;
    bool SetItemParam(int index, LPARAM param);
    int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, TCM_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index)));
    }
    // larger: the window rectangle around a display area; else the display area of a window.
    void AdjustRect(bool larger, RECT& rect) const {
        ::SendMessageA(m_hWnd, TCM_ADJUSTRECT, larger ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect));
    }
};

class CComboBox : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    int AddString(const char* text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text))); }
    int InsertString(int index, const char* text) {
        return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
    }
    int DeleteString(int index) {
        return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    CString GetLBText(int index) const;
    // First item from after `start` (-1: from the top) whose text begins with the prefix
    // (case-insensitive); CB_ERR when none.
    int FindString(int start, const char* prefix) const {
        return static_cast<int>(
            ::SendMessageA(m_hWnd, CB_FINDSTRING, static_cast<WPARAM>(start), Text(prefix)));
    }
    int FindStringExact(int start, const char* text) const {
        return static_cast<int>(
            ::SendMessageA(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), Text(text)));
    }
    void SetItemData(int index, LPARAM data) {
        SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }
    LPARAM GetItemData(int index) const {
        return ::SendMessageA(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    }
    void SetRedraw(bool on) { SendMessage(WM_SETREDRAW, on ? TRUE : FALSE); }

  private:
    static LPARAM Text(const char* s) { return reinterpret_cast<LPARAM>(s ? s : ""); }
};

class CComboBoxEx : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    int InsertItem(int index, const char* text);
    bool DeleteItem(int index) { return SendMessage(CBEM_DELETEITEM, static_cast<WPARAM>(index)) != CB_ERR; }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }
    CString GetItemText(int index) const;
    // Index of the item with exactly this text, or -1.
    int FindExact(const char* text) const;
    HWND GetComboBoxCtrl() const {
        return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, CBEM_GETCOMBOCONTROL, 0, 0));
    }
    HWND GetEditCtrl() const {
        return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, CBEM_GETEDITCONTROL, 0, 0));
    }
};

class CListCtrl : public CWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    int InsertColumn(int index, const char* heading, int width = 100);
    int InsertItem(int index, const char* text, int image = -1);
    bool SetItemText(int item, int subItem, const char* text);
    CString GetItemText(int item, int subItem) const;
    int GetItemCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }
    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    bool DeleteItem(int item) { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
    bool SetItemData(int item, LPARAM data);
    LPARAM GetItemData(int item) const;
    // The next item after start (-1: from the top) with the LVNI_ flags; -1 when none.
    int GetNextItem(int start, UINT flags) const {
        return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
    }
    bool SetItemPosition(int item, POINT pt) {
        return SendMessage(LVM_SETITEMPOSITION32, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&pt)) !=
               0;
    }
    CPoint GetItemPosition(int item) const;
    void SetImageList(HIMAGELIST images, int kind) {
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(images));
    }
    void SetTextColor(COLORREF c) { SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(c)); }
    void SetTextBkColor(COLORREF c) { SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(c)); }
    void SetBkColor(COLORREF c) { SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(c)); }
};

class CButton : public CWnd {
  public:
    bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id);
};

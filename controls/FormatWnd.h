#pragma once
// The form's rich-text field: a format toolbar over a rich edit control inside a frame. The
// form exchanges its text as RTF or plain text through the window-text messages; the field
// itself asks the server only for its default font.

#include "controls/FormatLogic.h"
#include "framework/Gdi.h"
#include "framework/RichEdit.h"
#include "framework/ToolBarEx.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <functional>
#include <string>

class CFormatWnd;

// The format toolbar: font and size boxes over its first two buttons, then bold, italic,
// underline and the three alignments as check buttons.
class CToolBarRichEdit : public CToolBarEx {
  public:
    static constexpr int kHeight = 28;

    // The owner's toolbar with the given font (null: Tahoma 8.5 points); false when the bar
    // could not be made.
    bool Create(CFormatWnd* owner, HFONT font);
    CComboBox& FontBox() { return m_wndFont; }
    CComboBox& SizeBox() { return m_wndSize; }

    bool PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    bool PlaceBox(CComboBox& box, int index, int width, UINT id, DWORD style);
    void FillFonts();
    void FillSizes();
    LRESULT OnBoxCommand(UINT id, UINT code, HWND box);

    CComboBox m_wndFont;
    CComboBox m_wndSize;
    CFont m_font;
    CFormatWnd* m_pOwner = nullptr;
};

// The frame of the rich edit control; it reports the edit's focus to the form and its
// selection changes to the field.
class CFormatEdit : public CWnd {
  public:
    static constexpr UINT kEditId = 1;

    // The road to the server: one M line in, what it wrote out.
    using Executor = std::function<std::string(const std::string&)>;
    static void SetExecutor(Executor executor);

    bool Create(CFormatWnd* owner, DWORD exStyle, DWORD style, const RECT& rect);
    CRichEditCtrl& Edit() { return m_wndEdit; }

    // In front of the rich edit's own procedure: the Tab jump to the next placeholder.
    static LRESULT CALLBACK RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnCreate();
    void OnEditSetFocus();
    void OnEditKillFocus();
    // The edit's focus change as the field's, unless the focus only moved within the field.
    void TellForm(UINT code);
    void SetDefaultFont();
    static bool OnTab(HWND edit);

    CRichEditCtrl m_wndEdit;
    CFormatWnd* m_pOwner = nullptr;
    // The other window of the edit's last focus change (the one that lost or gained it).
    HWND m_hFocusOther = nullptr;
};

class CFormatWnd : public CWnd {
  public:
    // A child of the form; the object deletes itself with its window. When creation fails the
    // object stays for the caller to delete.
    bool Create(const RECT& rect, HWND parent, UINT id);

    // The toolbar's state from the selection's formats.
    void SelChange();
    void TextBold();
    void TextItalic();
    void TextUnderline();
    void TextFont();
    void TextSize();
    void TextCenter();
    void TextLeft();
    void TextRight();
    // Character format on the selection, or on the word at the caret without one; a face
    // (may be null) and a height (twips; negative: none) join the mask when given.
    void SetText(DWORD mask, DWORD effects, const char* face, long height);
    // The paragraph alignment from the alignment buttons.
    void SetPara();

    CToolBarRichEdit& ToolBar() { return m_wndToolBar; }
    CFormatEdit& Frame() { return m_wndEdit; }
    CRichEditCtrl& Edit() { return m_wndEdit.Edit(); }
    int StreamFormat() const { return m_nFormat; }
    // The form that holds the field.
    HWND Form() const { return ::GetParent(m_hWnd); }

    bool PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PostNcDestroy() override;

  private:
    LRESULT OnCreate();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus();
    LRESULT OnSetWindowText(const char* text);
    LRESULT OnGetWindowText(WPARAM size, char* buffer);
    LRESULT OnGetTextLength();
    LRESULT OnCommand(UINT id, UINT code);
    void OnContextMenu();
    bool IsChecked(UINT id) { return m_wndToolBar.IsButtonChecked(id); }
    void Check(UINT id, bool on) { m_wndToolBar.CheckButton(id, on); }
    richtext::Alignment AlignButtons();
    void SetAlignButtons(const richtext::Alignment& a);
    // Streams the text out in the current format into the sink.
    void StreamOut(richtext::StreamSink& sink);

    int m_nFormat = SF_RTF;
    CToolBarRichEdit m_wndToolBar;
    CFormatEdit m_wndEdit;
};

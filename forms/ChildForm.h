#pragma once
// The form base window: every server-described form is built on it. It creates the form's
// controls, one operation per kind, with the ids, styles and fonts the form asks for; it
// paints the form's background (plain, through the frame under visual styles, or a picture);
// and it owns the window classes of the form's own controls with their window procedures:
// the picture field with its loader thread and zoom, the static picture, the tooltip and the
// tab-edit field with its drop button.

#include "framework/Gdi.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <string>
#include <vector>

class CHtmlStatic;
class ImgWinBitmap;

class CChildForm : public CWnd {
  public:
    static constexpr const char* kStaticBitmapClass = "VORLAN Bitmap";
    static constexpr const char* kChartClass = "Diagramm";
    static constexpr const char* kPictureClass = "VORLAN Zoomable Bitmap";
    static constexpr const char* kToolTipClass = "VORLAN ToolTip";

    CChildForm();
    ~CChildForm() override;

    // What the application knows of the system's looks; told before the classes are registered.
    struct Looks {
        bool menuShadow = false;   // popups cast a shadow
        bool visualStyles = false; // the frame paints its themed background behind forms
    };
    static void SetLooks(const Looks& looks);
    static const Looks& GetLooks();

    // Window classes of the form's controls: registered by the application at start-up and
    // removed at exit (the tooltip class stays).
    static void RegisterTabEdit();
    static void UnRegisterTabEdit();

    // The form window, a child of parent, clip siblings, no text, id 0.
    bool Create(const RECT& rect, HWND parent);

    // ---- insertion: each returns the control's window, or null when it could not be made.
    // The text of an edit that InsertEdit (tabEdit: InsertTabEdit) made, at most `limit`
    // characters, read from the edit's own procedure: the procedures in front of it pass the
    // request on unchanged, and a tooltip's subclassing among them asks the window system for
    // its data on every message.
    static std::string EditText(HWND edit, bool tabEdit, int limit);
    // Text fields in `font` (null: the form font).
    HWND InsertEdit(UINT id, const RECT& rect, DWORD exStyle, DWORD style, const char* text,
                    HFONT font = nullptr);
    HWND InsertTabEdit(UINT id, const RECT& rect, DWORD exStyle, DWORD style, const char* text,
                       HFONT font = nullptr);
    HWND InsertButton(UINT id, const RECT& rect, DWORD style, const char* text);
    HWND InsertBitmap(UINT id, const RECT& rect, DWORD style, const char* path);
    HWND InsertStatic(const RECT& rect, UINT id, const char* text, DWORD style);
    // A label made where it ends up: at the size its text takes in `font`, its top at y, its
    // left edge at x (with SS_RIGHT its right edge). A text that measures nothing takes the
    // size of `blank` instead (null: what DrawText makes of the text). out: its size.
    HWND InsertFittedStatic(int x, int y, UINT id, const char* text, DWORD style, HFONT font, SIZE* size,
                            const char* blank = nullptr);
    // Kind 1: a data explorer over the array reference (its window text); other kinds make
    // nothing and return null.
    // Kind 0: the record explorer (array unused); kind 1: the data explorer over the array.
    HWND InsertExplorer(int kind, const RECT& rect, UINT id, const char* array);
    HWND InsertRecordExplorer(const RECT& rect, UINT id);
    HWND InsertListField(UINT id, const RECT& rect);
    HWND InsertDiagramm(UINT id, const RECT& rect);
    // The rich-text field; it becomes the form's one rich-text field.
    HWND InsertRichEdit(UINT id, const RECT& rect);
    // The common step of the window-class insertions; oldProc is the one place shared by
    // every control subclassed with newProc (null: no subclassing). The control gets `font`
    // (null: the form font).
    HWND InsertControl(const char* className, UINT id, const RECT& rect, const char* text, DWORD exStyle,
                       DWORD style, WNDPROC* oldProc, WNDPROC newProc, HFONT font = nullptr);

    // Sets a label's text and sizes it to its natural size (out: that size; may be null).
    void SetStaticText(SIZE* size, HWND label, const char* text);
    // While set, a label whose text changes is painted with the form's next paint instead of
    // at once: a refresh that changes many paints them together.
    bool m_bLabelPaintDeferred = false;
    // Sizes a tooltip window to its text, kept on the screen.
    static void ToolTipSetSize(HWND tip, const char* text);
    // Picture number text: empty clears; a number n other than 0 is the program's bitmap
    // resource n + 99 of type "DIALOGBACK"; anything else a picture file. Returns the colour
    // of the top-left pixel (CLR_INVALID without a picture).
    COLORREF SetBitmap(const char* picture, CBitmap& bitmap);
    // Without a window only answers whether the file can be read (non-null 1). Else the
    // decoded picture as a bitmap for the window's display, or null.
    static HBITMAP LoadBitmap(const char* path, HWND window, const volatile LONG* cancel);

    // ---- the controls that stretch with the frame: id and rectangle after layout.
    struct StretchEntry {
        UINT id;
        RECT rect;
    };
    std::vector<StretchEntry> m_stretch;
    // Controls left out when the background is painted.
    std::vector<UINT> m_excluded;

    HWND m_hRichEdit = nullptr;  // the form's rich-text field (at most one)
    HWND m_hMultiEdit = nullptr; // the form's multi-line edit
    HFONT m_hFont = nullptr;     // sent to every inserted control
    HFONT m_hLabelFont = nullptr;
    CBitmap m_background; // drawn centred

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Window procedures of the form's own controls.
    static LRESULT CALLBACK WndProcStaticBitmap(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WndProcBitmap(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WndProcToolTip(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WndSuperProcEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WndSuperProcTabEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // True when it handled the message (the result is then in result); the grid's in-place
    // drop-button edit offers it every message first.
    static bool WndProcTabEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result,
                               WNDPROC oldProc);
    // The text-box part of WndSuperProcEdit, as WndProcTabEdit; the edit's user data is its
    // search-list state. The search list's own procedure:
    static bool WndProcTextBox(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result,
                               WNDPROC oldProc);
    static LRESULT CALLBACK WndSuperProcList(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The picture field's loader thread; its parameter is the load request.
    static DWORD WINAPI LoadBitmapThr(void* request);
    // The picture field on the desktop at the picture's size (kept on the screen), and back.
    static void ZoomWindow(HWND picture, SIZE size);
    static void RestoreWindow(HWND picture);
    // Tells every picture field's running loader to stop and waits for it (serving what the
    // loaders send meanwhile). A stopped field forgets its path, so that the next refresh
    // loads it again.
    void StopPictureLoads();

  protected:
    LRESULT OnEraseBackground(HDC dc);

  private:
    // The label's window on the form (the object is deleted when it cannot be made).
    HWND MakeLabel(CHtmlStatic* label, const RECT& rect, UINT id, const char* text, DWORD style);
    // The picture drawn into a new bitmap compatible with the device context; topLeft (may
    // be null) receives its top-left pixel.
    static HBITMAP CompatibleBitmapOf(const ImgWinBitmap& image, HDC like, COLORREF* topLeft);
    void TellParent(int code);
};

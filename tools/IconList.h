#pragma once
// The icon desktop: a large-icon list control on the main frame's client area that also
// serves as its MDI client, so that the user's icons lie under the form frames. Each icon
// starts a function as a menu entry does (caption, memo, parameter); icons come from the
// menu tree by drag and drop or are made new, and the desktop has a look of its own:
// background colour and picture in four placements, text colour and font.

#include "framework/MDIClient.h"
#include "framework/OleDragDrop.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

class CIconList;

// Takes "VORLAN.Icon" drops: the desktop's own icons (moved) and menu entries (new icons).
class CIconDropTarget : public COleDropTarget {
  public:
    explicit CIconDropTarget(CIconList* owner) : m_pOwner(owner) {}
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;

  private:
    CIconList* m_pOwner;
};

class CIconList : public CMDIClientWnd {
  public:

    CIconList();
    ~CIconList() override;

    // A list control in icon view on the frame (style plus clip-siblings and clip-children),
    // with the columns "Beschreibung", "Memo" and "Parameter". Once it stands, the object
    // goes with its window.
    bool Create(DWORD style, const RECT& rect, HWND frame, UINT id, UINT firstChildId);

    // Removes all icons and resets the look: white text in "Tahoma" 9, transparent item
    // backgrounds, the first built-in background, placement 3; then applies it.
    void SetStandard();
    // Applies the look: font, picture, text colour (the workspace colour as background when
    // the picture does not load and resetColour is set).
    void Set(int resetColour);
    // Tells the server the desktop's and the screen's sizes (when the frame wants them).
    void SetSizesToKVX();
    void SetMemoBoxHandle(HWND memoBox) { m_hMemoBox = memoBox; }
    // What the frame decides: whether the options may open, and storing the desktop.
    void SetFrameHooks(std::function<bool()> optionsAllowed, std::function<void()> save) {
        m_optionsAllowed = std::move(optionsAllowed);
        m_save = std::move(save);
    }

    // Loads the picture: "" none, a built-in name (strings 32000-32009), else a file. False
    // when it does not load (no picture then). The picture's top-left pixel becomes the
    // background colour.
    bool SetBitmap(const char* name);
    // Draws the background into rect of dc: mode 0 tile, 1 centre, 2 stretch, 3 bottom right;
    // without a picture the background colour alone.
    static void DrawBitmap(HDC dc, const RECT& rect, int mode, COLORREF background, HBITMAP picture);
    // Loads a picture by name as SetBitmap does; null when it does not load.
    static HBITMAP LoadPicture(const char* name);
    HBITMAP GetPicture() const { return m_hPicture; }

    // Icons: caption, memo, parameter, image and place.
    int AddIcon(const char* caption, const char* memo, const char* parameter, int image, POINT at);
    std::string GetIconText(int item, int column) const;
    int GetIconImage(int item) const;
    void SetIcon(int item, const char* caption, const char* memo, const char* parameter, int image);
    int GetIconCount() const;
    // Starts the selected icons in order: their parameter, then their function.
    void StartSelected();
    // Reads a "VORLAN.Icon" block and does what it asks at the point (client coordinates).
    bool DropIconData(const void* data, size_t size, POINT at);
    COleDropTarget& GetDropTarget() { return m_dropTarget; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The list's notifications, which reach the frame: it hands them back here.
    LRESULT OnNotifyReflect(NMHDR* header);

    COLORREF m_crBackground = 0;
    COLORREF m_crText = RGB(255, 255, 255);
    int m_nTextSize = 9;
    CString m_strFontFace = "Tahoma";
    CString m_strPicture;
    int m_nPictureKind = 3;
    int m_bPerClient = 0;
    // Set by the main frame while a user is logged in: size changes are then reported.
    bool m_bReportSizes = false;
    // Where the last right click was (client coordinates): new icons go there.
    POINT m_ptContext{20, 20};
    UINT m_cfIcon = 0;

  private:
    friend class CIconDropTarget;

    void OnSize(UINT type);
    bool OnEraseBackground(HDC dc);
    LRESULT OnPaint(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(POINT screen);
    bool OnCommand(UINT id);
    bool OnKeyDown(UINT key);
    void OnChar(UINT ch);
    void OnDoubleClick(POINT at);
    void OnBeginDrag(const NMLISTVIEW* info);
    bool OnEndLabelEdit(const NMLVDISPINFOA* info);

    void OnNewIcon();
    void OnOptions();
    void OnDeleteSelected();
    void OnRename();
    void OnAutoArrange();
    void OnSnapToGrid();
    void ToggleBrowserChildren();
    void FocusMemoBox();
    bool OpenProperties(int item);
    void MoveSelected(int dx, int dy);

    HFONT m_hFont = nullptr;
    HWND m_hMemoBox = nullptr;
    HBITMAP m_hPicture = nullptr;
    HIMAGELIST m_hImages = nullptr;
    CIconDropTarget m_dropTarget;
    // The drag out: the item (-1 none), the hot spot, whether its image is shown.
    int m_nDragItem = -1;
    POINT m_ptDragHotSpot{0, 0};
    bool m_bDragImageShown = false;
    std::function<bool()> m_optionsAllowed;
    std::function<void()> m_save;
};

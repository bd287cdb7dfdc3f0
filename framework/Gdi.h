#pragma once
// Owning wrappers of fonts, bitmaps, image lists and device contexts.

#include <windows.h>
#include <commctrl.h>

class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    bool DeleteObject();
    void Attach(HGDIOBJ obj) {
        DeleteObject();
        m_hObject = obj;
    }
    HGDIOBJ Detach() {
        HGDIOBJ h = m_hObject;
        m_hObject = nullptr;
        return h;
    }
};

class CFont : public CGdiObject {
  public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    bool CreateFontIndirect(const LOGFONTA& lf);
    // Size in tenths of a point, converted for the screen (or the given device).
    bool CreatePointFont(int tenthsOfPoint, const char* face, HDC dc = nullptr, bool bold = false);
    bool GetLogFont(LOGFONTA& out) const;
};

class CBitmap : public CGdiObject {
  public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    // Loads a bitmap resource as a DIB section (colours as stored, no mapping to the screen).
    bool LoadDIB(HINSTANCE module, const char* name);
    bool LoadDIB(HINSTANCE module, UINT id) { return LoadDIB(module, MAKEINTRESOURCEA(id)); }
    bool GetBitmap(BITMAP& out) const;
};

class CImageList {
  public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    int Add(HBITMAP bitmap, HBITMAP mask = nullptr);
    int AddMasked(HBITMAP bitmap, COLORREF maskColour);
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    bool Destroy();
    HIMAGELIST Detach() {
        HIMAGELIST h = m_hImageList;
        m_hImageList = nullptr;
        return h;
    }
};

// Device contexts, selections and saved states that give themselves back on every way out.
class CPaintDC {
  public:
    explicit CPaintDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(::BeginPaint(hwnd, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }

  private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};

// The window's client area, or with wholeWindow its non-client area too; null: the screen.
class CClientDC {
  public:
    explicit CClientDC(HWND hwnd, bool wholeWindow = false)
        : m_hWnd(hwnd), m_hDC(wholeWindow ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
    ~CClientDC() {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_hDC; }

  private:
    HWND m_hWnd;
    HDC m_hDC;
};

class CCompatibleDC {
  public:
    explicit CCompatibleDC(HDC like) : m_hDC(::CreateCompatibleDC(like)) {}
    ~CCompatibleDC() {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
    CCompatibleDC(const CCompatibleDC&) = delete;
    CCompatibleDC& operator=(const CCompatibleDC&) = delete;
    operator HDC() const { return m_hDC; }

  private:
    HDC m_hDC;
};

class CSelectObject {
  public:
    CSelectObject(HDC dc, HGDIOBJ obj) : m_hDC(dc), m_hOld(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~CSelectObject() {
        if (m_hOld) ::SelectObject(m_hDC, m_hOld);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

  private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

class CSelectPalette {
  public:
    CSelectPalette(HDC dc, HPALETTE palette)
        : m_hDC(dc), m_hOld(palette ? ::SelectPalette(dc, palette, FALSE) : nullptr) {}
    ~CSelectPalette() {
        if (m_hOld) ::SelectPalette(m_hDC, m_hOld, FALSE);
    }
    CSelectPalette(const CSelectPalette&) = delete;
    CSelectPalette& operator=(const CSelectPalette&) = delete;

  private:
    HDC m_hDC;
    HPALETTE m_hOld;
};

// Clip region, modes and colours come back as they were.
class CSaveDC {
  public:
    explicit CSaveDC(HDC dc) : m_hDC(dc), m_nSaved(::SaveDC(dc)) {}
    ~CSaveDC() {
        if (m_nSaved) ::RestoreDC(m_hDC, m_nSaved);
    }
    CSaveDC(const CSaveDC&) = delete;
    CSaveDC& operator=(const CSaveDC&) = delete;

  private:
    HDC m_hDC;
    int m_nSaved;
};

namespace fw {
// Stretches the source picture into the rectangle with averaged (half-tone) pixels: a
// shrunken photo stays readable where plain stretching drops whole lines.
void StretchHalftone(HDC target, const RECT& to, HDC source, int sourceWidth, int sourceHeight);
// A palette from a DIB section's colour table: the used entries, else 2 to the power of its
// depth; null without a table or with more than 256 entries.
HPALETTE CreatePaletteFromDIB(HBITMAP bitmap);
// Size of the text in the window's font, lines broken at line ends, tabs expanded.
SIZE TextExtentInWindowFont(HWND window, const char* text);
} // namespace fw

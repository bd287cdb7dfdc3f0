#pragma once
// Owning wrappers of fonts, bitmaps and image lists, guards of device contexts and of the
// objects selected into them, and text measuring.

#include "framework/DC.h"

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

// The client-area device context of a window (of the screen for a null window), or with
// wholeWindow its non-client area too; released on every way out.
class CClientDC : public CDC {
  public:
    explicit CClientDC(HWND wnd, bool wholeWindow = false)
        : CDC(wholeWindow ? ::GetWindowDC(wnd) : ::GetDC(wnd)), m_hWnd(wnd) {}
    ~CClientDC() override {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }

  private:
    HWND m_hWnd;
};

// The whole window's device context, non-client area included.
class CWindowDC : public CClientDC {
  public:
    explicit CWindowDC(HWND wnd) : CClientDC(wnd, true) {}
};

// The device context of a WM_PAINT, ended on every way out.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(HWND wnd) : m_hWnd(wnd) { m_hDC = ::BeginPaint(wnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    const PAINTSTRUCT& PaintStruct() const { return m_ps; }

  private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
};

// An enhanced metafile being recorded (in memory); Close hands out the picture, which the
// caller then owns. Not closed: the recording is thrown away.
class CEnhMetaFileDC : public CDC {
  public:
    CEnhMetaFileDC(HDC reference, const RECT* frame, const char* description)
        : CDC(::CreateEnhMetaFileA(reference, nullptr, frame, description)) {}
    ~CEnhMetaFileDC() override {
        if (m_hDC) ::DeleteEnhMetaFile(::CloseEnhMetaFile(m_hDC));
    }
    HENHMETAFILE Close() {
        HENHMETAFILE picture = m_hDC ? ::CloseEnhMetaFile(m_hDC) : nullptr;
        m_hDC = nullptr;
        return picture;
    }
};

class CPen : public CGdiObject {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { Attach(::CreatePen(style, width, colour)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { Attach(::CreateSolidBrush(colour)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CRgn : public CGdiObject {
  public:
    CRgn() = default;
    explicit CRgn(const RECT& r) { Attach(::CreateRectRgnIndirect(&r)); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

// A memory device context like the given one (like the screen for null), deleted on every way
// out. Whatever is still selected into it is not deleted with it.
class CMemoryDC {
  public:
    explicit CMemoryDC(HDC like = nullptr) : m_hDC(::CreateCompatibleDC(like)) {}
    ~CMemoryDC() {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return m_hDC; }

  private:
    HDC m_hDC;
};

// Selects an object into a device context and puts the one it replaced back on every way out.
// A null object (a font not set) selects nothing, so the context's own stays in use.
class CSelectedObject {
  public:
    CSelectedObject(HDC dc, HGDIOBJ object)
        : m_hDC(dc), m_hOld(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectedObject() {
        if (m_hOld && m_hOld != HGDI_ERROR) ::SelectObject(m_hDC, m_hOld);
    }
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;

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
// The same in the given font, measured in a context of the screen as a window on it measures,
// without taking a window's context from the window system.
SIZE TextExtentInFont(HFONT font, const char* text);
// One line of text in the font (a null font: the context's own), measured as above.
SIZE LineExtentInFont(HFONT font, const char* text, int length);
} // namespace fw

// How large `text` is, and the metrics of `font`, on `wnd`'s client area (the screen's for a
// null window); a null font measures with the context's own.
SIZE TextExtent(HWND wnd, HFONT font, const char* text, int length);
TEXTMETRICA TextMetrics(HWND wnd, HFONT font);

// Calls `add` with the face name of every installed font family, as the screen knows them.
void EnumFontFamilyNames(void (*add)(const char* face, void* data), void* data);

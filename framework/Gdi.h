#pragma once
// Owning wrappers of fonts, bitmaps and image lists, guards of device contexts and of the
// objects selected into them, and text measuring.

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

// The client-area device context of a window (of the screen for a null window), released on
// every way out.
class CClientDC {
  public:
    explicit CClientDC(HWND wnd) : m_hWnd(wnd), m_hDC(::GetDC(wnd)) {}
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

// The device context of a WM_PAINT, ended on every way out.
class CPaintDC {
  public:
    explicit CPaintDC(HWND wnd) : m_hWnd(wnd), m_hDC(::BeginPaint(wnd, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }

  private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
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

// How large `text` is, and the metrics of `font`, on `wnd`'s client area (the screen's for a
// null window); a null font measures with the context's own.
SIZE TextExtent(HWND wnd, HFONT font, const char* text, int length);
TEXTMETRICA TextMetrics(HWND wnd, HFONT font);

#pragma once
// Owning wrappers of fonts, bitmaps and image lists.

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

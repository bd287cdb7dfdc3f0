#pragma once
// The picture viewer: one picture file, fitted into the window, at natural size with scroll
// bars and drag panning, or zoomed with the mouse buttons. It also draws thumbnails into a
// caller's device context and keeps them as JPEG files in a hidden "Thumbs" cache folder.

#include "framework/Wnd.h"
#include "imaging/ImgWinBitmap.h"

#include <cstdint>
#include <string>

class CImageViewer : public CWnd {
  public:
    CImageViewer();
    ~CImageViewer() override;

    // Window class: the framework's default; window name "ImageViewer".
    bool Create(const RECT& rect, DWORD style, DWORD exStyle, HWND parent, UINT id);

    // Decodes the file at its own depth. 1 on success; 0 (type -1, the old picture kept on
    // screen, no message) when it cannot be read. No path: only repaints (unless noRedraw).
    int LoadImage(const char* path, bool noRedraw = false);
    // Draws the picture fitted into rect of dc with a sunken edge. With a cache folder (its
    // trailing backslash included) the thumbnail is read from "<cache>Thumbs" when it is there
    // and can be decoded, else made from "<pictureFolder><fileName>" and written there. A
    // thumbnail that cannot be written is reported by a message box, or, when writeFailed is
    // given, there instead (the caller reports it once). 1 when something was drawn.
    int LoadThumbnail(const char* cacheFolder, const char* pictureFolder, const char* fileName, HDC dc,
                      const RECT& rect, bool* writeFailed = nullptr);

    void SetFitToWindow(bool on);
    void SetStretch(bool on);

    int32_t GetDetectedType() const { return m_nType; }
    int GetPictureWidth() const { return m_nWidth; }
    int GetPictureHeight() const { return m_nHeight; }
    double GetZoom() const { return m_dZoom; }
    bool IsFitToWindow() const { return m_bFit; }
    bool IsStretch() const { return m_bStretch; }
    bool IsDragging() const { return m_bDragging; }
    bool HasPicture() const { return m_hScreenCopy != nullptr; }

    // The decoded picture, and a second one the viewer never touches (its owner's).
    ImgWinBitmap m_picture;
    ImgWinBitmap m_second;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // Fitted into rect of dc (margins in the window colour, half-tone stretched), and the whole
    // rect copied into copyTo when given.
    void DrawFitted(HDC dc, const RECT& rect, HDC copyTo = nullptr) const;
    void DrawScrolled(HDC dc, const RECT& client) const;
    void UpdateScrollBars();
    void SetScrollBarsShown(bool shown);
    void ZoomAt(double factor, int x, int y);
    bool CanPan() const;
    void ShowCursor() const;
    SIZE ClientSize() const;
    bool WriteThumbnail(HDC dc, const RECT& rect, const std::string& folder, const std::string& thumbnail,
                        bool* writeFailed);

    LRESULT OnCreate();
    void OnPaint();
    void Paint(HDC dc) const;
    void OnSize();
    void OnScroll(int bar, int code);
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLButtonUp();
    void OnRButtonDown(int x, int y);
    bool OnSetCursor(LPARAM lParam);

    HBITMAP m_hScreenCopy = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int32_t m_nType = -1;
    bool m_bStretch = false;
    double m_dZoom = 1.0;
    bool m_bFit = false;
    bool m_bDragging = false;
    POINT m_anchor{};
    HCURSOR m_hPan = nullptr;
    HCURSOR m_hDragging = nullptr;
    HCURSOR m_hStretch = nullptr;
};

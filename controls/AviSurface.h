#pragma once
// Plays the video stream of an AVI file into a window, frame by frame and without sound:
// the platform's AVI file reading and installable decompressors, a multimedia timer, and a
// bitmap section that every frame passes through.

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

// The bitmap section the frames are drawn through, for one window.
class CAviFrameDib {
  public:
    CAviFrameDib() = default;
    ~CAviFrameDib();
    CAviFrameDib(const CAviFrameDib&) = delete;
    CAviFrameDib& operator=(const CAviFrameDib&) = delete;

    // A top-down 24-bit section of the size.
    bool Create(HWND window, int width, int height);
    // Pending drawing flushed, the window's and a memory context taken, the section selected.
    bool Lock();
    void Unlock();
    // Copies the section to the window at (0, 0).
    void Show(int width, int height);
    uint8_t* Bits() const { return static_cast<uint8_t*>(m_pBits); }
    const BITMAPINFO& Info() const { return m_info.header; }
    HBITMAP Section() const { return m_hSection; }

  private:
    HWND m_hWnd = nullptr;
    HBITMAP m_hSection = nullptr;
    void* m_pBits = nullptr;
    HDC m_hMemDC = nullptr;
    HDC m_hWindowDC = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    struct {
        BITMAPINFO header;
        RGBQUAD colours[255];
    } m_info{};
    HPALETTE m_hPalette = nullptr;
};

class CAviSurface {
  public:
    CAviSurface();
    virtual ~CAviSurface();
    CAviSurface(const CAviSurface&) = delete;
    CAviSurface& operator=(const CAviSurface&) = delete;

    // 1 when the file's first video stream is open for the window with a decompressor to the
    // depth (24 only: the section is 24-bit), else 0. The repeat flag has no effect.
    int OpenFile(const char* path, HWND window, int repeat, int depth);
    // The source frame's size; 0 and 0 while nothing is open.
    void GetFrameSize(int& width, int& height) const;

    virtual int Play();
    // Returns once the timer's last callback has ended.
    virtual int Stop();
    virtual int DecodeFrame(int frame);
    virtual void OnTimer();

    bool IsOpen() const { return m_hDecompressor != nullptr; }
    bool IsPlaying() const { return m_bPlaying; }
    UINT Period() const { return m_nPeriod; }
    long FrameCount() const { return m_nFrameCount; }
    long CurrentFrame() const { return m_nCurrentFrame; }
    // Playback returns to frame 0 after the last one while set.
    bool m_bLoop = true;

  private:
    static void CALLBACK TimerProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    void ShowFrame();
    void Close();

    volatile bool m_bPlaying = false;
    long m_nFrameCount = 0;
    double m_dFrameRate = 0;
    UINT m_nTimer = 0;
    UINT m_nPeriod = 0;
    volatile long m_nCurrentFrame = 0;
    int m_nOutWidth = 0, m_nOutHeight = 0;
    CAviFrameDib* m_pFrame = nullptr;
    PAVISTREAM m_pStream = nullptr;
    AVISTREAMINFOA m_info{};
    HIC m_hDecompressor = nullptr;
    std::vector<uint8_t> m_source, m_output; // formats
    std::vector<uint8_t> m_sourceBuffer, m_outputBuffer;
    size_t m_nOutRow = 0;
    size_t m_nSurfaceRow = 0;
    CRITICAL_SECTION m_lock;
    HWND m_hWnd = nullptr;
};

#include "controls/AviSurface.h"

#include "app/ProtocolLog.h"

#include <algorithm>
#include <cstring>

namespace {

// Frames and buffers beyond these are refused rather than allocated.
constexpr int kMaxSide = 16384;
constexpr uint64_t kMaxBuffer = 256ull << 20;
constexpr int kTimerResolution = 5;

size_t RowBytes(int width, int bits) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32) * 4;
}

class Locked {
  public:
    explicit Locked(CRITICAL_SECTION& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
    ~Locked() { ::LeaveCriticalSection(&m_cs); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    CRITICAL_SECTION& m_cs;
};

} // namespace

// ---- the frame surface

CAviFrameDib::~CAviFrameDib() {
    Unlock();
    if (m_hSection) ::DeleteObject(m_hSection);
    if (m_hPalette) ::DeleteObject(m_hPalette);
}

bool CAviFrameDib::Create(HWND window, int width, int height) {
    m_hWnd = window;
    BITMAPINFOHEADER& h = m_info.header.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    m_hSection = ::CreateDIBSection(screen, &m_info.header, DIB_RGB_COLORS, &m_pBits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    return m_hSection && m_pBits;
}

bool CAviFrameDib::Lock() {
    ::GdiFlush();
    m_hWindowDC = ::GetDC(m_hWnd);
    if (!m_hWindowDC) return false;
    m_hMemDC = ::CreateCompatibleDC(m_hWindowDC);
    if (!m_hMemDC) {
        Unlock();
        return false;
    }
    m_hOldBitmap = ::SelectObject(m_hMemDC, m_hSection);
    return true;
}

void CAviFrameDib::Unlock() {
    if (m_hMemDC) {
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hWindowDC) ::ReleaseDC(m_hWnd, m_hWindowDC);
    m_hMemDC = nullptr;
    m_hWindowDC = nullptr;
    m_hOldBitmap = nullptr;
}

void CAviFrameDib::Show(int width, int height) {
    if (!m_hWindowDC || !m_hMemDC) return;
    if (m_hPalette) {
        ::SelectPalette(m_hWindowDC, m_hPalette, FALSE);
        ::RealizePalette(m_hWindowDC);
    }
    ::BitBlt(m_hWindowDC, 0, 0, width, height, m_hMemDC, 0, 0, SRCCOPY);
}

// ---- the surface

CAviSurface::CAviSurface() {
    ::AVIFileInit();
    ::InitializeCriticalSection(&m_lock);
}

CAviSurface::~CAviSurface() {
    Close();
    ::DeleteCriticalSection(&m_lock);
    ::AVIFileExit();
}

int CAviSurface::OpenFile(const char* path, HWND window, int, int depth) {
    vorlan::TraceFunction("CAviSurface::OpenFile");
    Close();
    if (!path || depth != 24) return 0;
    m_hWnd = window;
    if (::AVIStreamOpenFromFileA(&m_pStream, path, streamtypeVIDEO, 0, OF_READ, nullptr) != 0) {
        m_pStream = nullptr;
        return 0;
    }
    LONG size = 0;
    if (::AVIStreamReadFormat(m_pStream, 0, nullptr, &size) != 0 || size < static_cast<LONG>(sizeof(BITMAPINFOHEADER)) ||
        size > 0x10000) {
        Close();
        return 0;
    }
    m_source.assign(static_cast<size_t>(size), 0);
    if (::AVIStreamReadFormat(m_pStream, 0, m_source.data(), &size) != 0) {
        Close();
        return 0;
    }
    m_nFrameCount = ::AVIStreamLength(m_pStream);
    ::AVIStreamInfoA(m_pStream, &m_info, sizeof m_info);
    auto* src = reinterpret_cast<BITMAPINFOHEADER*>(m_source.data());
    int width = src->biWidth, height = src->biHeight < 0 ? -src->biHeight : src->biHeight;
    // A rate or scale of 0 has no period; sides out of reach have no buffers.
    if (m_info.dwRate == 0 || m_info.dwScale == 0 || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide) {
        Close();
        return 0;
    }
    m_pFrame = new CAviFrameDib;
    if (!m_pFrame->Create(window, width, height)) {
        Close();
        return 0;
    }

    size_t outSize = std::max<size_t>(108, m_source.size());
    m_output.assign(outSize, 0);
    std::memcpy(m_output.data(), m_source.data(), m_source.size());
    auto* out = reinterpret_cast<BITMAPV4HEADER*>(m_output.data());
    out->bV4Size = static_cast<DWORD>(outSize);
    out->bV4BitCount = static_cast<WORD>(depth);
    out->bV4V4Compression = depth == 24 ? BI_RGB : BI_BITFIELDS;
    DIBSECTION section{};
    ::GetObjectA(m_pFrame->Section(), sizeof section, &section);
    out->bV4RedMask = section.dsBitfields[0];
    out->bV4GreenMask = section.dsBitfields[1];
    out->bV4BlueMask = section.dsBitfields[2];
    out->bV4SizeImage = static_cast<DWORD>(((width + 3) & ~3) * static_cast<uint64_t>(height) * depth / 8);

    m_hDecompressor = ::ICLocate(ICTYPE_VIDEO, m_info.fccHandler, reinterpret_cast<BITMAPINFOHEADER*>(m_source.data()),
                                 reinterpret_cast<BITMAPINFOHEADER*>(m_output.data()), ICMODE_DECOMPRESS);
    if (!m_hDecompressor) {
        Close();
        return 0;
    }
    uint64_t sourceSize = m_info.dwSuggestedBufferSize
                              ? m_info.dwSuggestedBufferSize
                              : static_cast<uint64_t>(width) * height * std::max<WORD>(1, src->biBitCount / 8);
    uint64_t outputSize = std::max<uint64_t>(out->bV4SizeImage, RowBytes(width, depth) * static_cast<uint64_t>(height));
    if (sourceSize > kMaxBuffer || outputSize > kMaxBuffer) {
        Close();
        return 0;
    }
    m_sourceBuffer.assign(static_cast<size_t>(sourceSize), 0);
    m_outputBuffer.assign(static_cast<size_t>(outputSize), 0);
    if (::ICDecompressBegin(m_hDecompressor, m_source.data(), m_output.data()) != ICERR_OK) {
        Close();
        return 0;
    }
    m_dFrameRate = static_cast<double>(m_info.dwRate) / m_info.dwScale;
    uint64_t period = (static_cast<uint64_t>(m_info.dwScale) * 1000 + m_info.dwRate / 2) / m_info.dwRate;
    m_nPeriod = static_cast<UINT>(std::clamp<uint64_t>(period, 1, 60000));
    m_nOutWidth = width;
    m_nOutHeight = height;
    m_nOutRow = RowBytes(width, depth);
    m_nSurfaceRow = RowBytes(width, 24);
    return 1;
}

void CAviSurface::GetFrameSize(int& width, int& height) const {
    width = height = 0;
    if (m_source.size() < sizeof(BITMAPINFOHEADER)) return;
    const auto* src = reinterpret_cast<const BITMAPINFOHEADER*>(m_source.data());
    width = src->biWidth;
    height = src->biHeight < 0 ? -src->biHeight : src->biHeight;
}

int CAviSurface::Play() {
    vorlan::TraceFunction("CAviSurface::Play");
    if (!IsOpen()) return 0;
    Stop();
    m_nCurrentFrame = 0;
    DecodeFrame(0);
    ShowFrame();
    m_bPlaying = true;
    m_nTimer = ::timeSetEvent(m_nPeriod, kTimerResolution, &CAviSurface::TimerProc, reinterpret_cast<DWORD_PTR>(this),
                              TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    m_bPlaying = m_nTimer != 0;
    return m_bPlaying ? 1 : 0;
}

int CAviSurface::Stop() {
    vorlan::TraceFunction("CAviSurface::Stop");
    {
        Locked lock(m_lock);
        m_bPlaying = false;
    }
    // Synchronous: no callback runs once this returns.
    if (m_nTimer) ::timeKillEvent(m_nTimer);
    m_nTimer = 0;
    return 1;
}

int CAviSurface::DecodeFrame(int frame) {
    if (!IsOpen()) return 0;
    if (frame < 0 || frame >= m_nFrameCount) return 1;
    LONG bytes = 0, samples = 0;
    HRESULT read = ::AVIStreamRead(m_pStream, frame, 1, m_sourceBuffer.data(), static_cast<LONG>(m_sourceBuffer.size()),
                                   &bytes, &samples);
    if (read == AVIERR_BUFFERTOOSMALL) {
        LONG needed = 0;
        ::AVIStreamRead(m_pStream, frame, 1, nullptr, 0, &needed, nullptr);
        if (needed <= 0 || static_cast<uint64_t>(needed) > kMaxBuffer) return 1;
        m_sourceBuffer.assign(static_cast<size_t>(needed), 0);
        read = ::AVIStreamRead(m_pStream, frame, 1, m_sourceBuffer.data(), needed, &bytes, &samples);
    }
    if (read != 0 || bytes <= 0) return 1;
    auto* src = reinterpret_cast<BITMAPINFOHEADER*>(m_source.data());
    src->biSizeImage = static_cast<DWORD>(bytes);
    Locked lock(m_lock);
    ::ICDecompress(m_hDecompressor, 0, src, m_sourceBuffer.data(), reinterpret_cast<BITMAPINFOHEADER*>(m_output.data()),
                   m_outputBuffer.data());
    return 1;
}

void CAviSurface::ShowFrame() {
    if (!m_pFrame || !::IsWindow(m_hWnd) || !m_pFrame->Lock()) return;
    {
        Locked lock(m_lock);
        int rows = m_nOutHeight;
        size_t bytes = std::min(m_nOutRow, m_nSurfaceRow);
        uint8_t* surface = m_pFrame->Bits();
        // The decoded frame is bottom-up, the section top-down.
        for (int row = 0; row < rows; ++row) {
            size_t from = static_cast<size_t>(rows - 1 - row) * m_nOutRow;
            if (from + bytes > m_outputBuffer.size()) continue;
            std::memcpy(surface + static_cast<size_t>(row) * m_nSurfaceRow, m_outputBuffer.data() + from, bytes);
        }
    }
    m_pFrame->Show(m_nOutWidth, m_nOutHeight);
    m_pFrame->Unlock();
}

void CAviSurface::OnTimer() {
    long frame;
    {
        Locked lock(m_lock);
        if (!m_bPlaying) return;
        frame = m_nCurrentFrame + 1;
        if (frame >= m_nFrameCount && m_bLoop) frame = 0;
        // Past the last frame the counter stays: the last frame stays on screen.
        m_nCurrentFrame = std::min(frame, m_nFrameCount);
    }
    DecodeFrame(static_cast<int>(frame));
    if (m_bPlaying && ::IsWindow(m_hWnd)) ShowFrame();
}

void CALLBACK CAviSurface::TimerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<CAviSurface*>(user)->OnTimer();
}

void CAviSurface::Close() {
    if (m_bPlaying || m_nTimer) Stop();
    if (m_hDecompressor) {
        ::ICDecompressEnd(m_hDecompressor);
        ::ICClose(m_hDecompressor);
        m_hDecompressor = nullptr;
    }
    m_source.clear();
    m_output.clear();
    m_sourceBuffer.clear();
    m_outputBuffer.clear();
    delete m_pFrame;
    m_pFrame = nullptr;
    if (m_pStream) ::AVIStreamRelease(m_pStream);
    m_pStream = nullptr;
    m_nFrameCount = 0;
}

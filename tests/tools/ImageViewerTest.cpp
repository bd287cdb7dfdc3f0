// The picture viewer on real windows: the image layer's formats, fitted, scrolled and zoomed
// drawing by pixels, panning, the thumbnail cache; the picture dialog with preview, scripted
// scripted; the large picture window with a picture, the DICOM control's double and neither.
#include "framework/App.h"
#include "framework/DibSection.h"
#include "framework/TestMode.h"
#include "imaging/ImgAnyDecoder.h"
#include "tests/harness/Harness.h"
#include "tests/imaging/BmpBytes.h"
#include "tests/imaging/Surface.h"
#include "tools/DlgBigImage.h"
#include "tools/FileDialogPreview.h"
#include "tools/ImageViewer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using imgtest::Surface;

namespace {

const char kNotAPicture[] = "Bitte w\xe4hlen Sie eine g\xfcltige Bilddatei!";

std::string WritePicture(const std::string& path, int width, int height, const imgtest::Colour& colour) {
    std::vector<uint8_t> bytes = imgtest::MakeBmp(width, height, 24, colour);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string Solid(const std::string& path, int width, int height, uint32_t rgb) {
    return WritePicture(path, width, height, [rgb](int, int) { return rgb; });
}

using harness::Exists;

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool Near(uint32_t rgb, uint32_t wanted, int tolerance = 40) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((rgb >> shift) & 0xFF), b = static_cast<int>((wanted >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

uint32_t WindowColour() {
    return Surface::Rgb(::GetSysColor(COLOR_WINDOW));
}

class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "ImageViewerTest");
        ASSERT_NE(m_language.Handle(), nullptr);
        folder = harness::NewFolder("viewer");
    }
    void TearDown() override {
        if (m_host) ::DestroyWindow(m_host);
        fw::TestMode::Disable();
    }
    // A visible top-level window to put a viewer in.
    HWND Host() {
        if (!m_host) {
            m_host = ::CreateWindowExA(0, "STATIC", "Viewer", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                       nullptr, nullptr, nullptr);
        }
        return m_host;
    }
    // The viewer's client area as it paints it.
    static void Print(const CImageViewer& viewer, Surface& into) {
        ::SendMessageA(viewer.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(into.dc()), PRF_CLIENT);
    }

    CWinApp m_app{"ImageViewerTest"};
    harness::LanguageLibrary m_language;
    HWND m_host = nullptr;
    std::string folder;
};

} // namespace

TEST_F(ViewerTest, LoadsEveryFormatOfTheImageLayerAtItsOwnDepth) {
    const std::string pictures = VIEWER_PICTURES "\\";
    const struct {
        const char* file;
        int32_t type;
    } formats[] = {{"bild.bmp", 1},  {"bild.pict", 2}, {"bild.tga", 3},  {"bild.tif", 4},
                   {"bild.jpg", 5},  {"bild.png", 6},  {"bild.eps", 7},  {"bild.pcx", 10},
                   {"bild.pgm", 11}, {"bild.gif", 12}, {"bild.ppm", 13}, {"bild.psd", 14}};
    CImageViewer viewer;
    for (const auto& format : formats) {
        EXPECT_EQ(viewer.LoadImage((pictures + format.file).c_str(), true), 1) << format.file;
        EXPECT_EQ(viewer.GetDetectedType(), format.type) << format.file;
        EXPECT_EQ(viewer.GetPictureWidth(), 140) << format.file;
        EXPECT_EQ(viewer.GetPictureHeight(), 92) << format.file;
        if (format.type == 11) {
            EXPECT_EQ(viewer.m_picture.GetBitsPerPixel(), 8) << "its own depth";
        }
    }

    // A metafile of our own.
    std::string emf = folder + "zeichnung.emf";
    HDC meta = ::CreateEnhMetaFileA(nullptr, emf.c_str(), nullptr, nullptr);
    ::Rectangle(meta, 0, 0, 50, 30);
    ::DeleteEnhMetaFile(::CloseEnhMetaFile(meta));
    EXPECT_EQ(viewer.LoadImage(emf.c_str(), true), 1);
    EXPECT_EQ(viewer.GetDetectedType(), 9);

    // What cannot be read: 0, type -1, the last picture still there, no message.
    harness::WriteTextFile(folder + "text.txt", "kein Bild");
    for (std::string bad : {pictures + "kaputt.bmp", folder + "text.txt", folder + "fehlt.png"}) {
        EXPECT_EQ(viewer.LoadImage(bad.c_str(), true), 0) << bad;
        EXPECT_EQ(viewer.GetDetectedType(), -1) << bad;
        EXPECT_TRUE(viewer.HasPicture());
    }
    EXPECT_EQ(viewer.LoadImage(nullptr, true), 0);
    EXPECT_TRUE(fw::TestMode::Shown().empty());
}

TEST_F(ViewerTest, FittedAndScrolledDrawingByPixels) {
    // 40 x 20: left half red, right half blue.
    std::string halves = WritePicture(folder + "haelften.bmp", 40, 20,
                                      [](int x, int) { return x < 20 ? 0xFF0000u : 0x0000FFu; });
    CImageViewer viewer;
    ASSERT_TRUE(viewer.Create(CRect(0, 0, 200, 200), WS_CHILD | WS_VISIBLE, 0, Host(), 7));
    char name[32] = {};
    ::GetWindowTextA(viewer.m_hWnd, name, sizeof name);
    EXPECT_STREQ(name, "ImageViewer");
    ASSERT_EQ(viewer.LoadImage(halves.c_str()), 1);

    viewer.SetFitToWindow(true);
    EXPECT_FALSE(::GetWindowLongA(viewer.m_hWnd, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    RECT client;
    ::GetClientRect(viewer.m_hWnd, &client);
    ASSERT_EQ(client.right, 200);
    Surface fitted(200, 200);
    Print(viewer, fitted);
    // Fitted: 200 x 100, centred vertically, margins in the window colour.
    EXPECT_EQ(fitted.At(100, 20), WindowColour());
    EXPECT_EQ(fitted.At(100, 180), WindowColour());
    EXPECT_TRUE(Near(fitted.At(20, 100), 0xFF0000)) << std::hex << fitted.At(20, 100);
    EXPECT_TRUE(Near(fitted.At(180, 100), 0x0000FF)) << std::hex << fitted.At(180, 100);
    EXPECT_TRUE(Near(fitted.At(5, 55), 0xFF0000)) << "the picture starts 50 down";

    // At natural size: a small picture is centred and cannot be panned.
    viewer.SetFitToWindow(false);
    ::GetClientRect(viewer.m_hWnd, &client);
    Surface natural(client.right, client.bottom);
    Print(viewer, natural);
    int cx = client.right / 2, cy = client.bottom / 2;
    EXPECT_TRUE(Near(natural.At(cx - 10, cy), 0xFF0000));
    EXPECT_TRUE(Near(natural.At(cx + 10, cy), 0x0000FF));
    EXPECT_EQ(natural.At(cx - 30, cy), WindowColour());
    ::SendMessageA(viewer.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
    EXPECT_FALSE(viewer.IsDragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(::SendMessageA(viewer.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(viewer.m_hWnd),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        << "the default cursor";

    // Stretch mode: clicks zoom at the cursor, the point under it stays.
    viewer.SetStretch(true);
    EXPECT_TRUE(::SendMessageA(viewer.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(viewer.m_hWnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    for (int i = 0; i < 3; ++i)
        ::SendMessageA(viewer.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx - 10, cy));
    EXPECT_EQ(viewer.GetZoom(), 8.0);
    Surface zoomed(client.right, client.bottom);
    ::GetClientRect(viewer.m_hWnd, &client);
    Print(viewer, zoomed);
    EXPECT_TRUE(Near(zoomed.At(cx - 10, cy), 0xFF0000)) << "still red under the cursor";
    for (int i = 0; i < 10; ++i)
        ::SendMessageA(viewer.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
    EXPECT_EQ(viewer.GetZoom(), 32.0) << "at most 32";
    for (int i = 0; i < 12; ++i)
        ::SendMessageA(viewer.m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cx, cy));
    EXPECT_EQ(viewer.GetZoom(), 1.0 / 32) << "at least 1/32";
    viewer.SetFitToWindow(true);
    EXPECT_FALSE(viewer.IsStretch());
    EXPECT_EQ(viewer.GetZoom(), 1.0);
}

TEST_F(ViewerTest, LargePicturesScrollAndPanByDragging) {
    // 600 x 400: the colour tells the column band (red below 300, green from there).
    std::string big = WritePicture(folder + "gross.bmp", 600, 400, [](int x, int y) {
        return y < 200 ? (x < 300 ? 0xFF0000u : 0x00FF00u) : 0x0000FFu;
    });
    CImageViewer viewer;
    ASSERT_TRUE(viewer.Create(CRect(0, 0, 200, 150), WS_CHILD | WS_VISIBLE, 0, Host(), 7));
    ASSERT_EQ(viewer.LoadImage(big.c_str()), 1);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(viewer.m_hWnd, SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 600);
    RECT client;
    ::GetClientRect(viewer.m_hWnd, &client);
    EXPECT_EQ(static_cast<LONG>(info.nPage), client.right);

    ::SendMessageA(viewer.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
    EXPECT_TRUE(viewer.IsDragging());
    EXPECT_EQ(::GetCapture(), viewer.m_hWnd);
    ::SendMessageA(viewer.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 0)); // 140 left, 100 up
    EXPECT_EQ(::GetScrollPos(viewer.m_hWnd, SB_HORZ), 140);
    EXPECT_EQ(::GetScrollPos(viewer.m_hWnd, SB_VERT), 100);
    ::SendMessageA(viewer.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 0));
    EXPECT_FALSE(viewer.IsDragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    Surface panned(client.right, client.bottom);
    Print(viewer, panned);
    EXPECT_TRUE(Near(panned.At(300 - 140 - 5, 10), 0xFF0000));
    EXPECT_TRUE(Near(panned.At(300 - 140 + 5, 10), 0x00FF00)) << "the column band moved with the drag";
    EXPECT_TRUE(Near(panned.At(10, 200 - 100 + 5), 0x0000FF));
    EXPECT_TRUE(Near(panned.At(10, 200 - 100 - 5), 0xFF0000));

    ::SendMessageA(viewer.m_hWnd, WM_HSCROLL, SB_RIGHT, 0);
    EXPECT_EQ(::GetScrollPos(viewer.m_hWnd, SB_HORZ), 600 - client.right + 1) << "as far as the bar goes";
    ::SendMessageA(viewer.m_hWnd, WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(::GetScrollPos(viewer.m_hWnd, SB_HORZ), 0);
    ::SendMessageA(viewer.m_hWnd, WM_VSCROLL, SB_TOP, 0);
    ::SendMessageA(viewer.m_hWnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(::GetScrollPos(viewer.m_hWnd, SB_VERT), client.bottom);
}

TEST_F(ViewerTest, ThumbnailsAreWrittenOnceReusedAndRemadeWhenBroken) {
    std::string pictures = folder + "Akte\\";
    ::CreateDirectoryA(pictures.c_str(), nullptr);
    Solid(pictures + "foto.bmp", 64, 32, 0xFF0000); // fitted: 100 x 50, 15 down
    std::string cache = folder + "Cache\\";
    std::string thumbnail = cache + "Thumbs\\foto.bmp(110x90).jpg";
    const RECT target{10, 10, 110, 90};
    CImageViewer viewer;

    Surface first(120, 100, RGB(1, 2, 3));
    ASSERT_EQ(viewer.LoadThumbnail(cache.c_str(), pictures.c_str(), "foto.bmp", first.dc(), target), 1);
    ASSERT_TRUE(Exists(thumbnail)) << "named after the rectangle's right and bottom";
    EXPECT_TRUE(::GetFileAttributesA((cache + "Thumbs").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(Near(first.At(60, 50), 0xFF0000));
    EXPECT_EQ(first.At(5, 5), 0x010203u) << "nothing outside the rectangle";
    EXPECT_EQ(first.At(50, 20), WindowColour()) << "the margin above the fitted picture";
    ImgWinBitmap written;
    ImgAnyDecoder().DecodeFile(thumbnail.c_str(), &written);
    EXPECT_EQ(written.GetWidth(), 100);
    EXPECT_EQ(written.GetHeight(), 80) << "the whole rectangle";

    // The picture changes; the thumbnail, whatever its age, is used as it is.
    Solid(pictures + "foto.bmp", 64, 32, 0x0000FF);
    FILETIME before = WriteTime(thumbnail);
    Surface second(120, 100);
    ASSERT_EQ(viewer.LoadThumbnail(cache.c_str(), pictures.c_str(), "foto.bmp", second.dc(), target), 1);
    EXPECT_TRUE(Near(second.At(60, 50), 0xFF0000)) << "from the cache";
    FILETIME after = WriteTime(thumbnail);
    EXPECT_EQ(::CompareFileTime(&before, &after), 0) << "not written again";

    // A cached thumbnail that cannot be decoded is made again from the picture.
    harness::WriteTextFile(thumbnail, "kaputt");
    Surface third(120, 100);
    ASSERT_EQ(viewer.LoadThumbnail(cache.c_str(), pictures.c_str(), "foto.bmp", third.dc(), target), 1);
    EXPECT_TRUE(Near(third.At(60, 50), 0x0000FF));
    ImgWinBitmap remade;
    EXPECT_NO_THROW(ImgAnyDecoder().DecodeFile(thumbnail.c_str(), &remade));

    // Without a cache: drawn, nothing written. A missing picture: 0.
    Surface plain(120, 100);
    EXPECT_EQ(viewer.LoadThumbnail(nullptr, pictures.c_str(), "foto.bmp", plain.dc(), target), 1);
    EXPECT_TRUE(Near(plain.At(60, 50), 0x0000FF));
    EXPECT_EQ(viewer.LoadThumbnail(cache.c_str(), pictures.c_str(), "fehlt.bmp", plain.dc(), target), 0);
    EXPECT_TRUE(fw::TestMode::Shown().empty());

    // A cache that cannot be written: drawn all the same, reported once by the caller or by a box.
    std::string blocked = folder + "Gesperrt\\";
    ::CreateDirectoryA(blocked.c_str(), nullptr);
    harness::WriteTextFile(blocked + "Thumbs", "eine Datei, kein Ordner");
    bool failed = false;
    Surface unwritten(120, 100);
    EXPECT_EQ(
        viewer.LoadThumbnail(blocked.c_str(), pictures.c_str(), "foto.bmp", unwritten.dc(), target, &failed),
        1);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(Near(unwritten.At(60, 50), 0x0000FF));
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    EXPECT_EQ(viewer.LoadThumbnail(blocked.c_str(), pictures.c_str(), "foto.bmp", unwritten.dc(), target), 1);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Bild konnte nicht angezeigt werden! 3");
}

TEST_F(ViewerTest, ThumbnailsForAnEightBitDisplayAreWrittenInTrueColour) {
    // A memory DC holding an 8-bit picture stands for a display of 256 colours: bitmaps made
    // compatible with it have 8 bits too.
    std::vector<uint8_t> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
    info->bmiHeader = {sizeof(BITMAPINFOHEADER), 120, 100, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    for (int i = 0; i < 256; ++i) // 3-3-2 colours
        info->bmiColors[i] = {static_cast<BYTE>((i & 3) * 85), static_cast<BYTE>((i >> 2 & 7) * 36),
                              static_cast<BYTE>((i >> 5) * 36), 0};
    void* bits = nullptr;
    CBitmap screen;
    screen.Attach(::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(screen.m_hObject, nullptr);
    CBitmapDC display(nullptr, screen);
    CBitmap compatible;
    compatible.Attach(::CreateCompatibleBitmap(display, 4, 4));
    BITMAP made{};
    ASSERT_TRUE(compatible.GetBitmap(made));
    ASSERT_EQ(made.bmBitsPixel, 8) << "the stand-in display makes 8-bit bitmaps";

    std::string pictures = folder + "Acht\\";
    ::CreateDirectoryA(pictures.c_str(), nullptr);
    Solid(pictures + "foto.bmp", 64, 32, 0xFF0000);
    std::string cache = folder + "AchtCache\\";
    const RECT target{10, 10, 110, 90};
    CImageViewer viewer;
    bool failed = false;
    ASSERT_EQ(viewer.LoadThumbnail(cache.c_str(), pictures.c_str(), "foto.bmp", display, target, &failed), 1);
    EXPECT_FALSE(failed) << "the JPEG writer was handed an 8-bit thumbnail";
    std::string thumbnail = cache + "Thumbs\\foto.bmp(110x90).jpg";
    ASSERT_TRUE(Exists(thumbnail));
    ImgWinBitmap written;
    ImgAnyDecoder().DecodeFile(thumbnail.c_str(), &written);
    EXPECT_EQ(written.GetBitsPerPixel(), 32);
    const uint8_t* middle = written.GetLine(40) + 4 * 50;
    EXPECT_TRUE(Near(uint32_t(middle[2]) << 16 | uint32_t(middle[1]) << 8 | middle[0], 0xFF0000))
        << "the picture's colour";
}

TEST_F(ViewerTest, PictureDialogScriptedTakesPicturesAndRefusesOthers) {
    std::string picture = Solid(folder + "foto.bmp", 30, 20, 0x00FF00);
    harness::WriteTextFile(folder + "brief.txt", "kein Bild");
    fw::TestMode::PushAnswer("dialog open path:" + picture);
    CFileDialogPreview accepted(true, nullptr, nullptr, 0x1808, "Bilder|*.bmp;*.jpg||");
    EXPECT_EQ(accepted.DoModal(), IDOK);
    EXPECT_EQ(accepted.GetPathName(), picture);
    EXPECT_EQ(accepted.GetPreviewCaption(), "\nWindows Bitmap\r\n30 x 20");

    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog open path:" + folder + "brief.txt");
    CFileDialogPreview refused(true, nullptr, nullptr, 0x1808, "Bilder|*.bmp||");
    EXPECT_EQ(refused.DoModal(), IDCANCEL);
    EXPECT_EQ(refused.GetPreviewCaption(), "\nKeine Vorschau m\xf6glich");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, "open");
    EXPECT_EQ(shown[1].text, kNotAPicture);
}

namespace {

// The window as it stood after its initialisation.
class ProbeBigImage : public CDlgBigImage {
  public:
    bool OnInitDialog() override {
        bool result = CDlgBigImage::OnInitDialog();
        viewerShows = m_viewer.m_hWnd && (::GetWindowLongA(m_viewer.m_hWnd, GWL_STYLE) & WS_VISIBLE) &&
                      m_viewer.HasPicture();
        dicom = ::FindWindowExA(m_hWnd, nullptr, nullptr, "DICOM");
        if (dicom) {
            dicomId = ::GetDlgCtrlID(dicom);
            HWND view = ::GetWindow(dicom, GW_CHILD);
            char name[MAX_PATH] = {};
            ::GetWindowTextA(view, name, sizeof name);
            shownName = name;
        }
        RECT r;
        ::GetWindowRect(m_hWnd, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        left = r.left;
        icon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_BIG, 0));
        return result;
    }
    bool viewerShows = false;
    HWND dicom = nullptr;
    int dicomId = 0, width = 0, height = 0, left = -1;
    HICON icon = nullptr;
    std::string shownName;
};

using Unregister = HRESULT(WINAPI*)();

} // namespace

class BigImageTest : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        log = folder + "dicom.log";
        ::SetEnvironmentVariableA("DICOM_DOUBLE_LOG", log.c_str());
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("DICOM_DOUBLE_LOG", nullptr);
        ViewerTest::TearDown();
    }
    std::string Dicom(const std::string& name) {
        std::string bytes(128, '\0');
        bytes += "DICM";
        bytes += std::string(64, '\x01');
        harness::WriteTextFile(folder + name, bytes);
        return folder + name;
    }
    std::string log;
};

TEST_F(BigImageTest, PicturesShowInTheViewerAtHalfTheScreen) {
    ProbeBigImage dialog;
    dialog.m_strPath = Solid(folder + "foto.bmp", 30, 20, 0x00FF00);
    EXPECT_NE(dialog.DoModal(), CDlgBigImage::kNotShown);
    EXPECT_TRUE(dialog.viewerShows);
    EXPECT_EQ(dialog.dicom, nullptr);
    EXPECT_EQ(dialog.width, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(dialog.height, ::GetSystemMetrics(SM_CYSCREEN) / 2);
    EXPECT_EQ(dialog.left, 0);
    EXPECT_NE(dialog.icon, nullptr) << "icon 128";
    EXPECT_FALSE(Exists(log)) << "the control is not asked";
}

TEST_F(BigImageTest, DicomFilesShowInTheControlAndTheWindowIsCentred) {
    ProbeBigImage dialog;
    dialog.m_strPath = Dicom("aufnahme.dcm");
    EXPECT_NE(dialog.DoModal(), CDlgBigImage::kNotShown);
    EXPECT_FALSE(dialog.viewerShows);
    ASSERT_NE(dialog.dicom, nullptr);
    EXPECT_EQ(dialog.dicomId, 1);
    EXPECT_EQ(dialog.shownName, "aufnahme.dcm") << "the control shows the file";
    EXPECT_GT(dialog.left, 0) << "centred";
    std::string calls = harness::ReadTextFile(log);
    EXPECT_NE(calls.find("get 260 " + dialog.m_strPath + " -> 0\nput 259 " + dialog.m_strPath + "\n"),
              std::string::npos)
        << calls;
}

TEST_F(BigImageTest, NeitherPictureNorDicomEndsWithThree) {
    ProbeBigImage dialog;
    dialog.m_strPath = folder + "brief.txt";
    harness::WriteTextFile(dialog.m_strPath, std::string(200, 'x'));
    EXPECT_EQ(dialog.DoModal(), CDlgBigImage::kNotShown);
    std::string calls = harness::ReadTextFile(log);
    EXPECT_NE(calls.find("get 260 " + dialog.m_strPath + " -> 1\n"), std::string::npos) << calls;
    EXPECT_EQ(calls.find("put 259"), std::string::npos);
}

TEST_F(BigImageTest, WithoutTheControlADicomFileEndsWithThree) {
    HMODULE dll = ::LoadLibraryA((harness::ExeFolder() + "DicomDouble.dll").c_str());
    ASSERT_NE(dll, nullptr);
    auto unregister =
        reinterpret_cast<Unregister>(reinterpret_cast<void*>(::GetProcAddress(dll, "DllUnregisterServer")));
    auto reregister =
        reinterpret_cast<Unregister>(reinterpret_cast<void*>(::GetProcAddress(dll, "DllRegisterServer")));
    ASSERT_EQ(unregister(), S_OK);
    ProbeBigImage dialog;
    dialog.m_strPath = Dicom("aufnahme.dcm");
    int result = dialog.DoModal();
    EXPECT_EQ(reregister(), S_OK);
    EXPECT_EQ(result, CDlgBigImage::kNotShown);
    EXPECT_EQ(dialog.dicom, nullptr);
}

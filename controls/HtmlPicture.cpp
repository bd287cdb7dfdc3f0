#include "controls/HtmlPicture.h"

#include "framework/App.h"
#include "framework/DibSection.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

// The image module's two picture strips have short numbers in label text.
UINT ImageModuleBitmap(uint32_t idres) {
    if (idres == 1) return 514;
    if (idres == 2) return 511;
    return idres;
}

// Resources of a module named in label text, loaded so that none of its code runs.
class CDataModule {
  public:
    explicit CDataModule(const std::string& path)
        : m_module(path.empty() ? nullptr
                                : ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~CDataModule() {
        if (m_module) ::FreeLibrary(m_module);
    }
    CDataModule(const CDataModule&) = delete;
    CDataModule& operator=(const CDataModule&) = delete;
    operator HMODULE() const { return m_module; }

  private:
    HMODULE m_module;
};

// Resource pictures do not change while the program runs, and a form's labels show the same
// few again and again: each is loaded once and shared (no one who draws it deletes it). When
// the cache is full, owned tells the caller that the picture is its own.
HANDLE SharedResourceImage(HINSTANCE module, UINT id, UINT type, int cx, int cy, bool& owned) {
    struct Entry {
        HINSTANCE module;
        UINT id, type;
        int cx, cy;
        HANDLE image;
    };
    constexpr size_t kMost = 64;
    static std::mutex lock;
    static std::vector<Entry> images;
    std::lock_guard<std::mutex> guard(lock);
    owned = false;
    for (const Entry& e : images)
        if (e.module == module && e.id == id && e.type == type && e.cx == cx && e.cy == cy) return e.image;
    HANDLE image = ::LoadImageA(module, MAKEINTRESOURCEA(id), type, cx, cy,
                                type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0);
    if (!image) return nullptr;
    if (images.size() >= kMost)
        owned = true;
    else
        images.push_back(Entry{module, id, type, cx, cy, image});
    return image;
}

bool IsLiveBitmap(HANDLE handle) {
    return handle && ::GetObjectType(handle) == OBJ_BITMAP;
}

bool IsLiveIcon(HANDLE handle) {
    CIconInfo info;
    return handle && info.Get(static_cast<HICON>(handle));
}

} // namespace

HtmlPictureSources ApplicationPictureSources(HIMAGELIST imageList) {
    HtmlPictureSources sources;
    HINSTANCE self = ::GetModuleHandleA(nullptr);
    CWinApp* app = AfxGetApp();
    sources.imageModule = app ? app->ImageModule() : self;
    sources.program = app && app->m_hInstance ? app->m_hInstance : self;
    sources.imageList = imageList;
    return sources;
}

void CHtmlPicture::Release() {
    if (m_bOwned) {
        if (m_hBitmap) ::DeleteObject(m_hBitmap);
        if (m_hIcon) ::DestroyIcon(m_hIcon);
    }
    m_hBitmap = nullptr;
    m_hIcon = nullptr;
    m_bOwned = false;
}

bool CHtmlPicture::TakeBitmap(HANDLE loaded) {
    m_hBitmap = static_cast<HBITMAP>(loaded);
    m_bOwned = true;
    return m_hBitmap != nullptr;
}

bool CHtmlPicture::TakeIcon(HANDLE loaded) {
    m_hIcon = static_cast<HICON>(loaded);
    m_bOwned = true;
    return m_hIcon != nullptr;
}

bool CHtmlPicture::Load(const html::Picture& picture, SIZE iconSize, const HtmlPictureSources& sources) {
    Release();
    const bool icon = picture.kind == html::kTagIcon;
    const UINT type = icon ? IMAGE_ICON : IMAGE_BITMAP;
    const int cx = icon ? iconSize.cx : 0, cy = icon ? iconSize.cy : 0;
    auto take = [&](HANDLE loaded) { return icon ? TakeIcon(loaded) : TakeBitmap(loaded); };

    if (picture.hasIdres) {
        if (picture.idres > 0xFFFF) return false;
        HANDLE image = icon
                           ? SharedResourceImage(sources.program, picture.idres, IMAGE_ICON, cx, cy, m_bOwned)
                           : SharedResourceImage(sources.imageModule, ImageModuleBitmap(picture.idres),
                                                 IMAGE_BITMAP, 0, 0, m_bOwned);
        if (icon)
            m_hIcon = static_cast<HICON>(image);
        else
            m_hBitmap = static_cast<HBITMAP>(image);
        return image != nullptr;
    }
    if (!picture.file.empty())
        return take(::LoadImageA(nullptr, picture.file.c_str(), type, cx, cy,
                                 LR_LOADFROMFILE | (icon ? 0 : LR_CREATEDIBSECTION)));
    if (picture.hasIddll && !picture.srcdll.empty()) {
        CDataModule module(picture.srcdll);
        if (!module) return false;
        return take(::LoadImageA(module, MAKEINTRESOURCEA(picture.iddll), type, cx, cy,
                                 icon ? 0 : LR_CREATEDIBSECTION));
    }
    if (picture.hasHandle) {
        // A number from label text: used only when it names a live picture of the tag's kind.
        if (picture.handle > UINTPTR_MAX) return false;
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(picture.handle));
        if (icon ? !IsLiveIcon(handle) : !IsLiveBitmap(handle)) return false;
        if (icon)
            m_hIcon = static_cast<HICON>(handle);
        else
            m_hBitmap = static_cast<HBITMAP>(handle);
        return true;
    }
    if (picture.kind == html::kTagImageList && sources.imageList) {
        return TakeIcon(ImageList_GetIcon(sources.imageList, static_cast<int>(picture.index), ILD_NORMAL));
    }
    return false;
}

bool CHtmlPicture::LoadBackground(const html::BackgroundPicture& picture, const HtmlPictureSources& sources) {
    Release();
    switch (picture.kind) {
    case html::BackgroundPicture::Resource:
        if (picture.number > 0xFFFF) return false;
        m_hBitmap = static_cast<HBITMAP>(SharedResourceImage(
            sources.imageModule, ImageModuleBitmap(picture.number), IMAGE_BITMAP, 0, 0, m_bOwned));
        return m_hBitmap != nullptr;
    case html::BackgroundPicture::File:
        return TakeBitmap(::LoadImageA(nullptr, picture.path.c_str(), IMAGE_BITMAP, 0, 0,
                                       LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    default:
        // A module number without the module's name names no picture.
        return false;
    }
}

SIZE CHtmlPicture::Size() const {
    if (m_hBitmap) {
        BITMAP bm{};
        if (::GetObjectA(m_hBitmap, sizeof bm, &bm)) return SIZE{bm.bmWidth, std::abs(bm.bmHeight)};
    } else if (m_hIcon) {
        CIconInfo info;
        if (info.Get(m_hIcon)) return info.Size();
    }
    return SIZE{0, 0};
}

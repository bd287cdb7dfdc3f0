#pragma once
// A picture of a label, found where its tag says: a resource of the image module or of the
// program, a file, a module loaded only as data, a live handle, or the drawer's image list.

#include "controls/HtmlMarkup.h"

#include <windows.h>
#include <commctrl.h>

// Where pictures without a path come from.
struct HtmlPictureSources {
    HINSTANCE imageModule = nullptr; // bitmaps by number
    HINSTANCE program = nullptr;     // icons by number
    HIMAGELIST imageList = nullptr;  // strips without any source
};

// The image module and the program of the running application.
HtmlPictureSources ApplicationPictureSources(HIMAGELIST imageList);

class CHtmlPicture {
  public:
    CHtmlPicture() = default;
    ~CHtmlPicture() { Release(); }
    CHtmlPicture(const CHtmlPicture&) = delete;
    CHtmlPicture& operator=(const CHtmlPicture&) = delete;

    // The first source the tag names (idres, file, iddll with srcdll, handle); icons are loaded
    // at iconSize. False, holding nothing, when that source gives no picture.
    bool Load(const html::Picture& picture, SIZE iconSize, const HtmlPictureSources& sources);
    bool LoadBackground(const html::BackgroundPicture& picture, const HtmlPictureSources& sources);

    HBITMAP Bitmap() const { return m_hBitmap; }
    HICON Icon() const { return m_hIcon; }
    bool IsEmpty() const { return !m_hBitmap && !m_hIcon; }
    // Of the bitmap, or of the icon's picture.
    SIZE Size() const;

  private:
    void Release();
    bool TakeBitmap(HANDLE loaded);
    bool TakeIcon(HANDLE loaded);

    HBITMAP m_hBitmap = nullptr;
    HICON m_hIcon = nullptr;
    bool m_bOwned = false; // handles named in the text belong to someone else
};

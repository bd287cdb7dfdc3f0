#include "framework/Clipboard.h"

#include <cstring>

namespace fw {

HGLOBAL MakeGlobalText(const std::string& text) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) return nullptr;
    void* p = ::GlobalLock(block);
    if (!p) {
        ::GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, text.c_str(), text.size() + 1);
    ::GlobalUnlock(block);
    return block;
}

std::string ReadGlobalText(HGLOBAL block) {
    if (!block) return std::string();
    SIZE_T size = ::GlobalSize(block);
    const char* p = static_cast<const char*>(::GlobalLock(block));
    if (!p) return std::string();
    std::string text(p, ::strnlen(p, size));
    ::GlobalUnlock(block);
    return text;
}

bool SetClipboardText(HWND owner, const std::string& text) {
    HGLOBAL block = MakeGlobalText(text);
    if (!block) return false;
    {
        OpenedClipboard clipboard(owner);
        if (clipboard && ::EmptyClipboard() && ::SetClipboardData(CF_TEXT, block)) return true;
    }
    ::GlobalFree(block);
    return false;
}

bool SetClipboardEnhMetaFile(HWND owner, HENHMETAFILE picture) {
    if (!picture) return false;
    {
        OpenedClipboard clipboard(owner);
        if (clipboard && ::EmptyClipboard() && ::SetClipboardData(CF_ENHMETAFILE, picture)) return true;
    }
    ::DeleteEnhMetaFile(picture);
    return false;
}

bool GetClipboardText(HWND owner, std::string& text) {
    text.clear();
    OpenedClipboard clipboard(owner);
    if (!clipboard) return false;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (!data) return false;
    text = ReadGlobalText(data);
    return true;
}

} // namespace fw

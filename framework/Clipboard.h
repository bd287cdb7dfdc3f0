#pragma once
// Text in global memory blocks, on the clipboard and in dragged data.

#include <windows.h>

#include <string>

namespace fw {

// A movable block with the text and its terminator; null when memory is short.
HGLOBAL MakeGlobalText(const std::string& text);
// The text of a block up to its first NUL, never read past the block's size.
std::string ReadGlobalText(HGLOBAL block);

// Places the text as CF_TEXT, an empty text too; false when a step failed. Once the
// clipboard took the block it owns it; otherwise it is freed here.
bool SetClipboardText(HWND owner, const std::string& text);
// The clipboard's CF_TEXT; false when there is none or the clipboard could not be opened.
bool GetClipboardText(HWND owner, std::string& text);
// Places an enhanced metafile as the clipboard's only content; the clipboard owns it once
// taken, otherwise it is deleted here.
bool SetClipboardEnhMetaFile(HWND owner, HENHMETAFILE picture);

// The clipboard opened for the owner while this lives; false when it could not be opened.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) : m_open(::OpenClipboard(owner) != 0) {}
    ~OpenedClipboard() {
        if (m_open) ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return m_open; }

  private:
    bool m_open;
};

} // namespace fw

#include "framework/RichEdit.h"
#include "framework/FileHandle.h"

#include <algorithm>
#include <vector>

namespace {

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE out, LONG room, LONG* got) {
    auto* reader = reinterpret_cast<const CRichEditCtrl::StreamReader*>(cookie);
    size_t n = room > 0 ? (*reader)(reinterpret_cast<char*>(out), static_cast<size_t>(room)) : 0;
    *got = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WritePiece(DWORD_PTR cookie, LPBYTE data, LONG n, LONG* taken) {
    auto* writer = reinterpret_cast<const CRichEditCtrl::StreamWriter*>(cookie);
    if (n > 0) (*writer)(reinterpret_cast<const char*>(data), static_cast<size_t>(n));
    *taken = n;
    return 0;
}

bool LoadControl() {
    static HMODULE module = ::LoadLibraryA("riched20.dll");
    return module != nullptr;
}

} // namespace

bool CRichEditCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!LoadControl()) return false;
    return CreateEx(0, RICHEDIT_CLASSA, "", style | WS_CHILD, rect, parent, id);
}

long CRichEditCtrl::StreamIn(int format, const StreamReader& reader) {
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&reader);
    stream.pfnCallback = ReadPiece;
    return static_cast<long>(
        SendMessage(EM_STREAMIN, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream)));
}

bool CRichEditCtrl::StreamInFile(const std::string& path, bool rich) {
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    StreamIn(rich ? SF_RTF : SF_TEXT, [&file](char* out, size_t room) -> size_t {
        DWORD got = 0;
        if (!::ReadFile(file, out, static_cast<DWORD>(std::min<size_t>(room, 0x7FFFFFFF)), &got, nullptr))
            return 0;
        return got;
    });
    return true;
}

long CRichEditCtrl::StreamOut(int format, const StreamWriter& writer) {
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&writer);
    stream.pfnCallback = WritePiece;
    return static_cast<long>(
        SendMessage(EM_STREAMOUT, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream)));
}

long CRichEditCtrl::GetTextLength() const {
    GETTEXTLENGTHEX ask{GTL_DEFAULT, CP_ACP};
    return static_cast<long>(::SendMessageA(m_hWnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&ask), 0));
}

CString CRichEditCtrl::GetText() const {
    long n = GetTextLength();
    std::vector<char> text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    GETTEXTEX ask{};
    ask.cb = static_cast<DWORD>(text.size());
    ask.flags = GT_DEFAULT;
    ask.codepage = CP_ACP;
    ::SendMessageA(m_hWnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&ask),
                   reinterpret_cast<LPARAM>(text.data()));
    return CString(text.data());
}

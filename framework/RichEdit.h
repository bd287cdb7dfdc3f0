#pragma once
// The rich edit control (version 2 and later, loaded on first use and kept for the process).

#include "framework/Wnd.h"

#include <richedit.h>

#include <cstddef>
#include <functional>
#include <string>

class CRichEditCtrl : public CWnd {
  public:
    // False when the control's library is missing.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void LimitText(long limit) { SendMessage(EM_EXLIMITTEXT, 0, limit); }
    // Fills `room` bytes at most and answers how many; 0 ends the text.
    using StreamReader = std::function<size_t(char* out, size_t room)>;
    // Reads the whole text (format SF_RTF or SF_TEXT) from the reader; the bytes taken.
    long StreamIn(int format, const StreamReader& reader);
    // The whole file as rich text or plain text; false when it cannot be opened.
    bool StreamInFile(const std::string& path, bool rich);
    // Gives the whole text (format SF_RTF or SF_TEXT, SFF_SELECTION for the selection only)
    // to the writer piece by piece; the bytes given.
    using StreamWriter = std::function<void(const char* data, size_t n)>;
    long StreamOut(int format, const StreamWriter& writer);
    bool SetDefaultCharFormat(CHARFORMATA& format) {
        return SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)) != 0;
    }
    bool SetSelectionCharFormat(CHARFORMATA& format) {
        return SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)) != 0;
    }
    void SetSel(long start, long end) {
        CHARRANGE range{start, end};
        SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    void Copy() { SendMessage(WM_COPY); }
    long GetTextLength() const;
    CString GetText() const;
};

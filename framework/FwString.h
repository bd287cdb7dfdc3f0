#pragma once
// Byte string of the program (code page 1252), with printf-style formatting and loading
// from the resource module.

#include "framework/TextFill.h"

#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
  public:
    CString() = default;
    CString(const char* s) : m_s(s ? s : "") {}
    CString(const char* s, size_t n) : m_s(s, n) {}
    CString(const std::string& s) : m_s(s) {}
    CString(size_t n, char c) : m_s(n, c) {}

    operator const char*() const { return m_s.c_str(); }
    const char* c_str() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }
    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }
    char operator[](int i) const { return GetAt(i); }

    CString& operator=(const char* s) {
        m_s = s ? s : "";
        return *this;
    }
    CString& operator+=(const char* s) {
        m_s += s ? s : "";
        return *this;
    }
    CString& operator+=(const CString& s) {
        m_s += s.m_s;
        return *this;
    }
    CString& operator+=(char c) {
        m_s += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_s + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_s); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_s != b.m_s; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

    void Format(const char* fmt, ...);
    void FormatV(const char* fmt, va_list args);
    // The text of a string resource (empty when it is missing) filled with the values: a
    // translated text only places them (fw::FillText), it is never a format of its own.
    template <class... Values> void FormatId(unsigned formatId, const Values&... values) {
        CString text;
        text.LoadString(formatId);
        m_s = fw::FillText(text.m_s, {fw::TextValue(values)...});
    }
    // Loads a string resource from the framework's resource module; false when it is missing.
    bool LoadString(unsigned id);
    // Same, from a given module (the program's own, for instance).
    bool LoadString(void* module, unsigned id);

    CString Left(int n) const;
    CString Mid(int first, int n = -1) const;
    CString Right(int n) const;
    int Find(char c, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char c) const;
    void MakeUpper();
    void MakeLower();
    void TrimRight();
    void TrimLeft();
    void Trim() {
        TrimRight();
        TrimLeft();
    }
    int Replace(const char* from, const char* to);
    int CompareNoCase(const char* other) const;

    // Writable buffer of at least n bytes plus the terminator; ReleaseBuffer cuts at the NUL.
    char* GetBuffer(int n);
    void ReleaseBuffer();

  private:
    std::string m_s;
};

namespace fw {
// The program's code page 1252 to and from UTF-16, for interfaces that take wide text only.
std::wstring WidenCp1252(const std::string& text);
std::string NarrowCp1252(const std::wstring& text);
} // namespace fw

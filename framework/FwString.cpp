#include "framework/FwString.h"
#include "framework/App.h"
#include "common/TextChars.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>

void CString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    FormatV(fmt, args);
    va_end(args);
}

void CString::FormatV(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) {
        m_s.clear();
        return;
    }
    m_s.assign(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&m_s[0], m_s.size(), fmt, args);
    m_s.resize(static_cast<size_t>(n));
}

bool CString::LoadString(unsigned id) {
    return LoadString(AfxGetResourceHandle(), id);
}

bool CString::LoadString(void* module, unsigned id) {
    // A string resource may be longer than any fixed buffer; grow until it fits.
    for (int cap = 256; cap <= 65536; cap *= 4) {
        std::string buf(static_cast<size_t>(cap), '\0');
        int n = ::LoadStringA(static_cast<HINSTANCE>(module), id, &buf[0], cap);
        if (n <= 0) {
            m_s.clear();
            return false;
        }
        if (n < cap - 1) {
            buf.resize(static_cast<size_t>(n));
            m_s = buf;
            return true;
        }
    }
    return !m_s.empty();
}

CString CString::Left(int n) const {
    if (n <= 0) return CString();
    return CString(m_s.substr(0, static_cast<size_t>(n)));
}

CString CString::Mid(int first, int n) const {
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= m_s.size()) return CString();
    return CString(
        m_s.substr(static_cast<size_t>(first), n < 0 ? std::string::npos : static_cast<size_t>(n)));
}

CString CString::Right(int n) const {
    if (n <= 0) return CString();
    if (static_cast<size_t>(n) >= m_s.size()) return *this;
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(n)));
}

int CString::Find(char c, int start) const {
    auto p = m_s.find(c, static_cast<size_t>(start < 0 ? 0 : start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* sub, int start) const {
    auto p = m_s.find(sub, static_cast<size_t>(start < 0 ? 0 : start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char c) const {
    auto p = m_s.rfind(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

void CString::MakeUpper() {
    // Code page 1252 whatever the system's ANSI page or locale.
    m_s = vorlan::TextUpper(m_s);
}

void CString::MakeLower() {
    m_s = vorlan::TextLower(m_s);
}

void CString::TrimRight() {
    while (!m_s.empty() && vorlan::IsTextSpace(static_cast<unsigned char>(m_s.back())))
        m_s.pop_back();
}

void CString::TrimLeft() {
    size_t i = 0;
    while (i < m_s.size() && vorlan::IsTextSpace(static_cast<unsigned char>(m_s[i])))
        ++i;
    m_s.erase(0, i);
}

int CString::Replace(const char* from, const char* to) {
    size_t flen = std::strlen(from);
    if (flen == 0) return 0;
    int count = 0;
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = m_s.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(m_s, pos, hit - pos);
        out += to;
        pos = hit + flen;
        ++count;
    }
    out.append(m_s, pos, std::string::npos);
    m_s = out;
    return count;
}

int CString::CompareNoCase(const char* other) const {
    return ::lstrcmpiA(m_s.c_str(), other ? other : "");
}

char* CString::GetBuffer(int n) {
    if (n < 0) n = 0;
    if (m_s.size() < static_cast<size_t>(n)) m_s.resize(static_cast<size_t>(n));
    m_s.reserve(m_s.size() + 1);
    return &m_s[0];
}

void CString::ReleaseBuffer() {
    m_s.resize(std::strlen(m_s.c_str()));
}

namespace fw {

std::wstring WidenCp1252(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string NarrowCp1252(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = ::WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace fw

#include "imaging/ImgObject.h"
#include "imaging/ImgTrace.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

char* CopyText(const char* text) {
    size_t length = text ? std::strlen(text) : 0;
    char* copy = new char[length + 1];
    if (length) std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

} // namespace

ImgTextException::ImgTextException(int32_t code, const char* text)
    : m_nCode(code), m_pszText(CopyText(text)) {
#ifdef _WIN32
    ::SetErrorMode(0);
#endif
}

ImgTextException::ImgTextException(const ImgTextException& other)
    : ImgObject(other), m_nCode(other.m_nCode), m_pszText(CopyText(other.m_pszText)) {}

ImgTextException& ImgTextException::operator=(const ImgTextException& other) {
    if (this != &other) {
        char* text = CopyText(other.m_pszText);
        delete[] m_pszText;
        m_pszText = text;
        m_nCode = other.m_nCode;
    }
    return *this;
}

ImgTextException::~ImgTextException() {
    delete[] m_pszText;
}

int32_t g_nImgTraceLevel = 0;
std::string g_strImgTracePath;

void ImgTrace(int32_t level, const char* format, ...) {
    if (level > g_nImgTraceLevel || g_strImgTracePath.empty()) return;
    FILE* file = std::fopen(g_strImgTracePath.c_str(), "a+t");
    if (!file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
}

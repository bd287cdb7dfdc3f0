#include "tests/harness/PrintedPages.h"
#include "tests/harness/Harness.h"

#include <cstdlib>

namespace harness {

namespace {

std::string UnixPrintFile() {
    char path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("VORLAN_PRINT_FILE", path, sizeof path)) return std::string();
    return path;
}

std::string WinePath(const std::string& unix) {
    std::string path = "Z:" + unix;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Ghostscript writes UTF-8, and the printer driver's blanks and hyphens come back as other signs:
// the text as the program wrote it, in code page 1252 with plain blanks.
std::string ProgramText(const std::string& utf8) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    for (wchar_t& c : wide) {
        if (c == 0xA0) c = L' ';
        if (c == 0xAD) c = L'-'; // the driver's hyphen glyph reads as a soft hyphen
    }
    int m = ::WideCharToMultiByte(1252, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(m), '\0');
    ::WideCharToMultiByte(1252, 0, wide.data(), n, text.data(), m, nullptr, nullptr);
    return text;
}

} // namespace

std::string PrintFile() {
    std::string unix = UnixPrintFile();
    return unix.empty() ? unix : WinePath(unix);
}

void ClearPrintFile() {
    std::string file = PrintFile();
    if (!file.empty()) WriteTextFile(file, "");
}

std::vector<std::string> PrintedPages(DWORD timeoutMs) {
    std::string unix = UnixPrintFile();
    if (unix.empty()) return {};
    std::string file = WinePath(unix);
    // The scheduler writes the job in pieces; it is whole once it ends with the trailer and
    // stops growing.
    long long last = -1;
    bool whole = WaitUntil(
        [&] {
            long long size = FileSize(file);
            bool steady = size > 0 && size == last;
            last = size;
            return steady && ReadTextFile(file).find("%%EOF") != std::string::npos;
        },
        timeoutMs);
    if (!whole) return {};
    std::string pattern = unix + ".page%d.txt";
    for (int i = 1; i < 1000; ++i) {
        std::string page = WinePath(unix + ".page" + std::to_string(i) + ".txt");
        if (::GetFileAttributesA(page.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        ::DeleteFileA(page.c_str());
    }
    // Wine cannot wait for a Unix program: a mark file tells that Ghostscript is done.
    std::string done = WinePath(unix + ".done");
    ::DeleteFileA(done.c_str());
    Process gs;
    if (!gs.Start(
            "Z:\\bin\\sh -c \"/usr/bin/gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=" +
            pattern + " " + unix + "; touch " + unix + ".done\""))
        return {};
    if (!WaitUntil([&] { return ::GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 120000))
        return {};
    std::vector<std::string> pages;
    for (int i = 1;; ++i) {
        std::string page = WinePath(unix + ".page" + std::to_string(i) + ".txt");
        if (::GetFileAttributesA(page.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        pages.push_back(ProgramText(ReadTextFile(page)));
    }
    return pages;
}

std::string UnixPath(const std::string& windows) {
    std::string path = windows;
    if (path.compare(0, 3, "C:\\") == 0) {
        const char* prefix = std::getenv("WINEPREFIX");
        path = std::string(prefix ? prefix : "") + "/drive_c/" + path.substr(3);
    } else if (path.compare(0, 2, "Z:") == 0) {
        path = path.substr(2);
    }
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string PdfText(const std::string& pdf) {
    std::string text = pdf + ".txt", done = pdf + ".done";
    ::DeleteFileA(text.c_str());
    ::DeleteFileA(done.c_str());
    Process tool;
    if (!tool.Start("Z:\\bin\\sh -c \"pdftotext -enc Latin1 '" + UnixPath(pdf) + "' '" + UnixPath(text) +
                    "'; touch '" + UnixPath(done) + "'\""))
        return std::string();
    WaitUntil([&] { return ::GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
    return ReadTextFile(text);
}

} // namespace harness

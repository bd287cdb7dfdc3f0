#include "tests/com/DocumentOutput.h"

#include <windows.h>
#include <winspool.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace docdouble {

namespace {

const char* const kHiddenDestinations[] = {
    "fonttbl",   "colortbl",          "stylesheet", "info",      "pict",     "object",       "themedata",
    "listtable", "listoverridetable", "rsidtbl",    "generator", "xmlnstbl", "latentstyles", "datastore",
};

bool IsHidden(const std::string& word) {
    for (const char* d : kHiddenDestinations)
        if (word == d) return true;
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string RtfText(const std::string& rtf) {
    std::string text;
    std::vector<bool> hidden{false};
    size_t i = 0, n = rtf.size();
    int skipAfterUnicode = 0;
    auto put = [&](char c) {
        if (!hidden.back()) text += c;
    };
    while (i < n) {
        char c = rtf[i];
        if (c == '{') {
            hidden.push_back(hidden.back());
            ++i;
        } else if (c == '}') {
            if (hidden.size() > 1) hidden.pop_back();
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c != '\\') {
            if (skipAfterUnicode > 0)
                --skipAfterUnicode;
            else
                put(c);
            ++i;
        } else if (i + 1 >= n) {
            ++i;
        } else {
            char next = rtf[i + 1];
            if (next == '\\' || next == '{' || next == '}') {
                put(next);
                i += 2;
            } else if (next == '\'') {
                int hi = i + 2 < n ? HexValue(rtf[i + 2]) : -1;
                int lo = i + 3 < n ? HexValue(rtf[i + 3]) : -1;
                if (hi >= 0 && lo >= 0) {
                    if (skipAfterUnicode > 0)
                        --skipAfterUnicode;
                    else
                        put(static_cast<char>(hi * 16 + lo));
                }
                i += 4;
            } else if (next == '*') {
                hidden.back() = true;
                i += 2;
            } else if (next == '~') {
                put(' ');
                i += 2;
            } else if (next == '_') {
                put('-');
                i += 2;
            } else if (!std::isalpha(static_cast<unsigned char>(next))) {
                i += 2;
            } else {
                size_t w = i + 1;
                while (w < n && std::isalpha(static_cast<unsigned char>(rtf[w])))
                    ++w;
                std::string word = rtf.substr(i + 1, w - i - 1);
                size_t p = w;
                if (p < n && (rtf[p] == '-' || std::isdigit(static_cast<unsigned char>(rtf[p])))) ++p;
                while (p < n && std::isdigit(static_cast<unsigned char>(rtf[p])))
                    ++p;
                long param = p > w ? std::strtol(rtf.substr(w, p - w).c_str(), nullptr, 10) : 0;
                if (p < n && rtf[p] == ' ') ++p;
                i = p;
                if (word == "bin") {
                    i += static_cast<size_t>(param > 0 ? param : 0);
                } else if (IsHidden(word)) {
                    hidden.back() = true;
                } else if (word == "par" || word == "line" || word == "sect" || word == "page" ||
                           word == "row") {
                    put('\n');
                } else if (word == "tab" || word == "cell") {
                    put('\t');
                } else if (word == "u") {
                    wchar_t wc = static_cast<wchar_t>(param < 0 ? param + 65536 : param);
                    char out[4] = "?";
                    BOOL lost = FALSE;
                    ::WideCharToMultiByte(1252, 0, &wc, 1, out, 1, "?", &lost);
                    put(out[0]);
                    skipAfterUnicode = 1;
                }
            }
        }
    }
    return text;
}

std::string PdfText(const std::string& line) {
    std::string out;
    for (char c : line) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += u < 32 ? ' ' : c;
    }
    return out;
}

std::string RegistryValue(const char* path, const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key)) return "absent";
    char data[512] = "";
    DWORD type = 0, size = sizeof data - 1;
    LONG rc = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    if (rc) return "absent";
    if (type == REG_DWORD) return "REG_DWORD:" + std::to_string(*reinterpret_cast<DWORD*>(data));
    data[size] = '\0';
    return std::string(type == REG_SZ ? "REG_SZ:" : "type" + std::to_string(type) + ":") + data;
}

} // namespace

std::vector<std::string> DocumentLines(const std::string& bytes) {
    if (bytes.compare(0, 5, "{\\rtf") == 0) return SplitLines(RtfText(bytes));
    return SplitLines(bytes);
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return true;
}

std::string PdfOf(const std::vector<std::string>& lines) {
    const size_t perPage = 50;
    size_t pages = lines.empty() ? 1 : (lines.size() + perPage - 1) / perPage;
    std::vector<std::string> objects;
    std::string kids;
    for (size_t p = 0; p < pages; ++p)
        kids += std::to_string(4 + 2 * p) + " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    for (size_t p = 0; p < pages; ++p) {
        std::string content = "BT /F1 10 Tf 14 TL 50 790 Td\n";
        for (size_t l = p * perPage; l < lines.size() && l < (p + 1) * perPage; ++l)
            content += "(" + PdfText(lines[l]) + ") Tj T*\n";
        content += "ET\n";
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R "
            ">> >> /Contents " +
            std::to_string(5 + 2 * p) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "endstream");
    }
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t o = 0; o < objects.size(); ++o) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(o + 1) + " 0 obj\n" + objects[o] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f\r\n";
    for (size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

std::string DefaultPrinter() {
    DWORD size = 0;
    ::GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return std::string();
    std::string name(size, '\0');
    if (!::GetDefaultPrinterA(name.data(), &size)) return std::string();
    name.resize(std::strlen(name.c_str()));
    return name;
}

bool PrintLines(const std::string& title, const std::vector<std::string>& lines, std::string& printer) {
    printer = DefaultPrinter();
    if (printer.empty()) return false;
    HDC dc = ::CreateDCA("WINSPOOL", printer.c_str(), nullptr, nullptr);
    if (!dc) return false;
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title.c_str();
    bool ok = ::StartDocA(dc, &info) > 0;
    if (ok) {
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        int lineHeight = tm.tmHeight + tm.tmExternalLeading;
        int top = ::GetDeviceCaps(dc, LOGPIXELSY) / 2;
        int bottom = ::GetDeviceCaps(dc, VERTRES) - top;
        int left = ::GetDeviceCaps(dc, LOGPIXELSX) / 2;
        size_t l = 0;
        do {
            ok = ok && ::StartPage(dc) > 0;
            for (int y = top; ok && l < lines.size() && y + lineHeight <= bottom; y += lineHeight, ++l)
                ::TextOutA(dc, left, y, lines[l].c_str(), static_cast<int>(lines[l].size()));
            ok = ok && ::EndPage(dc) > 0;
        } while (ok && l < lines.size() && lineHeight > 0);
        if (ok)
            ok = ::EndDoc(dc) > 0;
        else
            ::AbortDoc(dc);
    }
    ::DeleteDC(dc);
    return ok;
}

std::string PrintContext() {
    std::string line = "printer=" + DefaultPrinter();
    line += " Rufnummer=" + RegistryValue("Software\\AVM\\FRITZ! 2.0\\Fax", "Rufnummer");
    line += " titles=";
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\FRITZ!fax\\Print", 0,
                        KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char name[512] = "";
            char data[512] = "";
            DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
            if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                &dataSize))
                break;
            data[dataSize] = '\0';
            line += std::string(i ? "|" : "") + name + ":" + data;
        }
        ::RegCloseKey(key);
    }
    return line;
}

void LogLine(const std::string& line) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program = path;
    std::ofstream(program.substr(0, program.find_last_of('.')) + ".log", std::ios::app | std::ios::binary)
        << line << "\r\n";
}

std::string BackgroundPrintSeen() {
    return "BackgroundPrint=" +
           RegistryValue("Software\\Microsoft\\Office\\8.0\\Word\\Options", "BackgroundPrint");
}

} // namespace docdouble

#include "tests/harness/Harness.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/PathParts.h"
#include "framework/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace harness {

namespace {

// The folder as the program is given it: a final backslash would end up in its setting key.
std::string TestModeDir(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
}

std::string TestModePath(const std::string& folder, HKEY root, const std::string& path) {
    return fw::RegScratchPath(fw::TestMode::ScratchKeyFor(TestModeDir(folder)), root, path);
}

} // namespace

std::string QuoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string JoinArguments(char** first, char** last) {
    std::string line;
    for (char** arg = first; arg != last; ++arg)
        line += (arg == first ? "" : " ") + QuoteArgument(*arg);
    return line;
}

namespace {

int PortFromEnvironment(const char* name) {
    char buf[16] = {};
    return GetEnvironmentVariableA(name, buf, sizeof buf) ? std::atoi(buf) : 0;
}

} // namespace

int DbServerPort() {
    return PortFromEnvironment("VORLAN_DBSERVER_PORT");
}

int AppServerPort() {
    return PortFromEnvironment("VORLAN_APP_PORT");
}

std::string TestModeCommand(const std::string& program, const std::string& folder, const std::string& args) {
    return QuoteArgument(program) + " -testmode " + QuoteArgument(TestModeDir(folder)) + " " + args;
}

void ClearTestModeSettings(const std::string& folder) {
    RegDeleteTreeA(HKEY_CURRENT_USER, fw::TestMode::ScratchKeyFor(TestModeDir(folder)).c_str());
}

bool SetTestModeValue(const std::string& folder, HKEY root, const std::string& path, const char* name,
                      const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TestModePath(folder, root, path).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::string TestModeValue(const std::string& folder, HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TestModePath(folder, root, path).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return "";
    char buf[512] = {};
    DWORD size = sizeof buf - 1, type = 0;
    std::string value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
        value = buf;
    RegCloseKey(key);
    return value;
}

std::string BinFolder() {
    return VORLAN_BIN_FOLDER;
}

std::string ExeFolder() {
    return fw::FolderOf(fw::ProgramPath()) + "\\";
}

std::string FreshFolder(const std::string& name) {
    std::string folder = "C:\\TEMP\\vorlan-test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += name + "-" + std::to_string(GetCurrentProcessId()) + "\\";
    std::string pattern = folder + "*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool CopyInto(const std::string& file, const std::string& folder) {
    size_t slash = file.find_last_of('\\');
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return CopyFileA(file.c_str(), (folder + name).c_str(), FALSE) != 0;
}

std::string NewFolder(const std::string& name) {
    std::string parent = FreshFolder(name), folder;
    for (int n = 1; n < 100000; ++n) {
        folder = parent + std::to_string(n) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr)) break;
    }
    return folder;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string ReadTextFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

std::string ResourceText(UINT id) {
    CString text;
    text.LoadString(id);
    return text.str();
}

HMODULE UseLanguageLibrary() {
    HMODULE language =
        ::LoadLibraryExA((ExeFolder() + "VORLAND.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (language) AfxSetResourceHandle(language);
    return language;
}

LanguageLibrary::~LanguageLibrary() {
    if (!m_module) return;
    AfxSetResourceHandle(nullptr);
    ::FreeLibrary(m_module);
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Process::Start(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = commandLine;
    return CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) != 0;
}

Process::~Process() {
    if (m_pi.hProcess) {
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_pi.hProcess, 1);
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
    }
}

int Process::Wait(DWORD timeoutMs) {
    if (!m_pi.hProcess) return -3;
    if (WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_pi.hProcess, 1);
        WaitForSingleObject(m_pi.hProcess, 5000);
        return -2;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_pi.hProcess, &code);
    return static_cast<int>(code);
}

bool Process::EndedWhilePumping(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        DWORD r = MsgWaitForMultipleObjects(1, &m_pi.hProcess, FALSE, timeoutMs - spent, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

namespace {
struct FindData {
    DWORD pid; // 0: any process
    const char* cls;
    HWND found;
};
BOOL CALLBACK FindByClass(HWND hwnd, LPARAM param) {
    auto* d = reinterpret_cast<FindData*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if ((d->pid == 0 || pid == d->pid) && ClassOf(hwnd) == d->cls) {
        d->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (done()) return true;
    return done();
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            Pump();
            return done();
        },
        timeoutMs);
}

HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs) {
    FindData d{processId, className, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindByClass, reinterpret_cast<LPARAM>(&d));
            return d.found != nullptr;
        },
        timeoutMs);
    return d.found;
}

HWND FindDescendant(HWND parent, const char* className) {
    FindData d{0, className, nullptr};
    EnumChildWindows(parent, FindByClass, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

std::vector<fw::ShownItem> ReadShown(const std::string& folder) {
    std::vector<fw::ShownItem> out;
    std::ifstream in(folder + "shown.txt", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        fw::ShownItem item;
        if (fw::ParseShownLine(line, item)) out.push_back(item);
    }
    return out;
}

namespace {

// The picture of a device context's w x h pixels as a 24-bit BMP file; false when it holds
// nothing but one colour.
bool SaveDC(HDC source, int w, int h, const std::string& path) {
    if (w <= 0 || h <= 0) return false;
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(h));
    {
        CMemoryDC dc(source);
        CBitmap bmp;
        bmp.Attach(CreateCompatibleBitmap(source, w, h));
        {
            CSelectedObject picture(dc, bmp);
            BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
        }
        GetDIBits(dc, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih),
                  DIB_RGB_COLORS);
    }
    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&bfh, sizeof bfh, 1, f);
    std::fwrite(&bih, sizeof bih, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
    for (size_t i = 3; i < pixels.size(); ++i)
        if (pixels[i] != pixels[i % 3]) return true;
    return false;
}

} // namespace

bool SaveScreen(const std::string& path) {
    CClientDC screen(nullptr);
    return SaveDC(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), path);
}

bool SaveWindow(HWND window, const std::string& path) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    HDC dc = GetWindowDC(window);
    if (!dc) return false;
    bool drawn = SaveDC(dc, r.right - r.left, r.bottom - r.top, path);
    ReleaseDC(window, dc);
    return drawn;
}

} // namespace harness

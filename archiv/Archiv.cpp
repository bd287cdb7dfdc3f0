// ARCHIV.EXE, the launcher of an archive medium: opens the "Archiv" folder beside itself in
// the shell, so that the medium's autorun shows the exported documents.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string ArchiveFolder() {
    char self[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(self, length);
    size_t slash = folder.find_last_of('\\');
    folder.resize(slash == std::string::npos ? 0 : slash + 1);
    return folder + "Archiv";
}

// Tests name a file in VORLAN_ARCHIV_TRACE: the folder is written there instead of opened.
bool WriteTrace(const std::string& folder) {
    char trace[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("VORLAN_ARCHIV_TRACE", trace, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    if (FILE* out = std::fopen(trace, "wb")) {
        std::fputs(folder.c_str(), out);
        std::fclose(out);
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    std::string folder = ArchiveFolder();
    if (WriteTrace(folder)) return 0;
    HINSTANCE opened = ::ShellExecuteA(nullptr, "open", folder.c_str(), nullptr, nullptr, show);
    if (reinterpret_cast<INT_PTR>(opened) > 32) return 0;
    std::string text = "Der Ordner \"" + folder + "\" konnte nicht geöffnet werden.";
    ::MessageBoxA(nullptr, text.c_str(), "Archiv", MB_OK | MB_ICONEXCLAMATION);
    return 1;
}

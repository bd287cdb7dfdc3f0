#include "framework/FileDialog.h"
#include "framework/TestMode.h"

namespace fw {

std::string FileFilterFromBars(const char* filter) {
    std::string out = filter ? filter : "";
    for (char& c : out)
        if (c == '|') c = '\0';
    // The system reads pairs up to an empty part: two terminators whatever the text ended with.
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

} // namespace fw

CFileDialog::CFileDialog(bool open, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, HWND owner)
    : CDialog(kScriptId), m_bOpen(open), m_strDefaultExtension(defaultExtension), m_strFileName(fileName),
      m_dwFlags(flags), m_filter(fw::FileFilterFromBars(filter)), m_hOwner(owner) {}

int CFileDialog::RunModal() {
    char file[MAX_PATH] = {};
    ::lstrcpynA(file, m_strFileName, MAX_PATH);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hOwner;
    ofn.lpstrFilter = m_filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = m_strDefaultExtension.IsEmpty() ? nullptr : m_strDefaultExtension.c_str();
    ofn.Flags = m_dwFlags | OFN_EXPLORER;
    BOOL ok = m_bOpen ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!ok) return IDCANCEL;
    m_strFileName = file;
    return IDOK;
}

int CFileDialog::RunScripted() {
    std::string shown = std::to_string(kFileNameEdit) + "=" + m_strFileName.str();
    int result = IDCANCEL;
    for (const auto& step : fw::TestMode::DialogScript(static_cast<int>(kScriptId))) {
        if (step.kind == fw::DialogStep::SetText && step.control == kFileNameEdit) {
            m_strFileName = step.text.c_str();
        } else if (step.kind == fw::DialogStep::Command &&
                   (step.control == IDOK || step.control == IDCANCEL)) {
            result = step.control;
            break;
        }
    }
    fw::TestMode::RecordDialog(static_cast<int>(kScriptId), m_bOpen ? "open" : "save", shown, result);
    return result;
}

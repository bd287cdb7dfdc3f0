#include "tools/FileDialogPreview.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "resources/ToolsIds.h"
#include "tools/ImageViewerLogic.h"

#include <algorithm>

namespace {

constexpr UINT kViewerId = 0xFFFF;
constexpr char kNotAPicture[] = "Bitte w\xe4hlen Sie eine g\xfcltige Bilddatei!";

RECT ChildRect(HWND parent, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

CFileDialogPreview::CFileDialogPreview(bool openDialog, const char* defaultExt, const char* fileName,
                                       DWORD flags, const char* filter, HWND owner)
    : CFileDialog(openDialog, defaultExt, fileName, flags, filter, owner) {
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FILE_PREVIEW);
}

int CFileDialogPreview::RunScripted() {
    int result = CFileDialog::RunScripted();
    if (result != IDOK) return result;
    // The person would have to choose again or cancel; the script has nothing more to choose.
    return OnFileOK(nullptr) ? IDOK : IDCANCEL;
}

UINT_PTR CFileDialogPreview::OnHookMessage(HWND hook, UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(hook); return 0;
    case WM_SIZE: OnSize(hook); return 0;
    case WM_NOTIFY: {
        const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
        if (notify->hdr.code == CDN_SELCHANGE) {
            OnSelectionChanged(hook);
        } else if (notify->hdr.code == CDN_FILEOK && !OnFileOK(hook)) {
            ::SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
            return 1;
        }
        return 0;
    }
    default: return 0;
    }
}

void CFileDialogPreview::OnInitDialog(HWND hook) {
    vorlan::TraceFunction("CFileDialogPreview::OnInitDialog");
    HWND place = ::GetDlgItem(hook, IDC_PREVIEW_PLACE);
    if (!place) return;
    ::ShowWindow(place, SW_HIDE);
    if (!m_viewer.Create(ChildRect(hook, place), WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE, hook, kViewerId))
        return;
    m_viewer.SetStretch(true);
    m_viewer.SetFitToWindow(false);
}

void CFileDialogPreview::OnSize(HWND hook) {
    HWND place = ::GetDlgItem(hook, IDC_PREVIEW_PLACE);
    HWND caption = ::GetDlgItem(hook, IDC_PREVIEW_CAPTION);
    if (!place || !caption) return;
    RECT below = ChildRect(hook, place), client{};
    ::GetClientRect(hook, &client);
    RECT now = ChildRect(hook, caption);
    int bottom = std::max<int>(below.bottom, client.bottom - 20);
    ::SetWindowPos(caption, nullptr, now.left, below.bottom, now.right - now.left, bottom - below.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int CFileDialogPreview::Preview(const char* path) {
    int loaded = m_viewer.LoadImage(path);
    m_caption = vorlan::PreviewCaption(loaded ? m_viewer.GetDetectedType() : -1, m_viewer.GetPictureWidth(),
                                       m_viewer.GetPictureHeight());
    return loaded;
}

void CFileDialogPreview::OnSelectionChanged(HWND hook) {
    char path[MAX_PATH] = {};
    HWND dialog = ::GetParent(hook);
    LRESULT length = ::SendMessageA(dialog, CDM_GETFILEPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
    if (length <= 0 || length > MAX_PATH) path[0] = '\0';
    Preview(path);
    ::SetDlgItemTextA(hook, IDC_PREVIEW_CAPTION, m_caption.c_str());
}

bool CFileDialogPreview::OnFileOK(HWND hook) {
    vorlan::TraceFunction("CFileDialogPreview::OnFileOK");
    int loaded = Preview(GetPathName());
    if (hook) ::SetDlgItemTextA(hook, IDC_PREVIEW_CAPTION, m_caption.c_str());
    if (loaded && m_viewer.GetDetectedType() >= 1) return true;
    AfxMessageBox(kNotAPicture, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

// The record explorer's window: creation, panes and their layout, the divider, the focus,
// message dispatch, the workers' messages and the scanner's pages.
#include "tools/Explorer.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "controls/FocusedControl.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/ShellFiles.h"
#include "tools/DataExplorer.h"
#include "tools/ExplorerFiles.h"
#include "tools/ExplorerLogic.h"
#include "tools/ScanPage.h"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>

namespace rec = vorlan::record;

namespace {

constexpr int kDividerGap = CPaneDivider::kGap;
constexpr UINT kToolBitmaps[3] = {555, 556, 557};

} // namespace

// ---- the toolbar

bool CExplorerTool::Create(HWND parent, UINT id) {
    vorlan::TraceFunction("CExplorerTool::Create");
    const DWORD style = WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | TBSTYLE_LIST |
                        CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (!CreateEx(0, style, TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_HIDECLIPPEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS,
                  CRect(0, 0, 0, 0), parent, id))
        return false;
    if (CWinApp* app = AfxGetApp()) {
        for (int i = 0; i < 3; ++i)
            m_hImages[i] = app->LoadImageList(kToolBitmaps[i], false);
        app->SetToolbarImages(m_hWnd, m_hImages[0], m_hImages[1], m_hImages[2]);
    }
    struct Button {
        UINT id;
        int image;
        BYTE style;
    } const buttons[] = {
        {kSwap, 0, BTNS_CHECK}, {kBarcodeScan, 1, BTNS_BUTTON}, {kServerMenu, 2, BTNS_WHOLEDROPDOWN},
        {0, 0, BTNS_SEP},       {kStretch, 3, BTNS_CHECK},      {kFit, 4, BTNS_CHECK},
    };
    for (const Button& b : buttons) {
        TBBUTTON tb{};
        tb.idCommand = static_cast<int>(b.id);
        tb.iBitmap = b.image;
        tb.fsStyle = static_cast<BYTE>(b.style | (b.id ? BTNS_SHOWTEXT | BTNS_AUTOSIZE : 0));
        tb.fsState = TBSTATE_ENABLED;
        CString text;
        if (b.id) {
            text.LoadString(b.id);
            text = text.Left(127);
            tb.iString = reinterpret_cast<INT_PTR>(static_cast<const char*>(text));
        }
        if (!AddButtons(&tb, 1)) return false;
    }
    SetButtonWidth(0, 76);
    SendMessage(TB_AUTOSIZE);
    return true;
}

CExplorerTool::~CExplorerTool() {
    for (HIMAGELIST list : m_hImages)
        if (list) ImageList_Destroy(list);
}

LRESULT CExplorerTool::OnDropDown(const NMTOOLBARA* info) {
    if (info->iItem == static_cast<int>(kServerMenu))
        ::SendMessageA(m_hOwner, WM_COMMAND, MAKEWPARAM(kServerMenu, 0), reinterpret_cast<LPARAM>(m_hWnd));
    return TBDDRET_DEFAULT;
}

// ---- construction

namespace {
// The associated program with its default verb.
bool OpenWithAssociation(HWND owner, const std::string& path) {
    fw::CShellProcess process;
    return fw::ShellExecuteProcess(owner, nullptr, path, "", "", SW_SHOWNORMAL, process);
}
CExplorer::ShellOpener g_shellOpener = OpenWithAssociation;
} // namespace

void CExplorer::SetShellOpener(ShellOpener opener) {
    g_shellOpener = opener ? opener : OpenWithAssociation;
}

bool CExplorer::OpenWithShell(HWND owner, const std::string& path) {
    return g_shellOpener && g_shellOpener(owner, path);
}

CExplorer::CExplorer(HWND targetWindow) : m_hTarget(targetWindow) {
    vorlan::TraceFunction("CExplorer::CExplorer");
    CExplorerFiles::AddExplorer();
}

CExplorer::~CExplorer() {
    vorlan::TraceFunction("CExplorer::~CExplorer");
    CExplorerFiles::RemoveExplorer();
}

bool CExplorer::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
    vorlan::TraceFunction("CExplorer::Create");
    if (!RegisterExplorerArea()) return false;
    return CWnd::CreateEx(0, "ExplorerArea", "", style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id);
}

void CExplorer::PostNcDestroy() {
    if (m_hStateImages) ImageList_Destroy(m_hStateImages);
    if (m_hThumbImages) ImageList_Destroy(m_hThumbImages);
    if (m_hTextFont) ::DeleteObject(m_hTextFont);
    delete this;
}

std::string CExplorer::Execute(const std::string& line) const {
    return TheSession().Execute(line).str();
}

void CExplorer::TellPathTooLong() const {
    AfxMessageBox("Der Pfad ist zu lang (260 Zeichen oder mehr) und wird nicht verwendet.",
                  MB_OK | MB_ICONEXCLAMATION);
}

HBITMAP CExplorer::FilledBitmap(int cx, int cy, COLORREF colour) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    ::ReleaseDC(nullptr, screen);
    if (!bitmap) return nullptr;
    CMemoryDC dc;
    CSelectedObject selected(dc, bitmap);
    CRect all(0, 0, cx, cy);
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    return bitmap;
}

ExplorerItem* CExplorer::Record(const CTreeCtrl& tree, HTREEITEM item) {
    return item ? reinterpret_cast<ExplorerItem*>(tree.GetItemData(item)) : nullptr;
}

// ---- messages

LRESULT CExplorer::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool moved = false;
    if (m_divider.OnMessage(m_hWnd, m_tree.m_hWnd, msg, wParam, lParam, result, moved)) {
        if (moved) LayoutPanes();
        return result;
    }
    switch (msg) {
    case WM_CREATE:
        if (CWnd::WindowProc(msg, wParam, lParam) == -1) return -1;
        return OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: OnDestroy(); break;
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_INITDIALOG:
        // The form's contents changed: the record is read again.
        if (!m_bHiddenScan) BeginEdit();
        return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) return 0;
        break;
    case WM_EXPLORER_UPDATETREE: OnUpdateTree(); return 0;
    case WM_EXPLORER_UPDATEWINDOW: OnUpdateWindow(wParam, lParam); return 0;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

bool CExplorer::PreTranslateMessage(MSG* msg) {
    // Return and Escape end a label edit; the form would take them for its own.
    if (IsLabelEditEnd(*msg)) {
        ::TranslateMessage(msg);
        ::DispatchMessageA(msg);
        return true;
    }
    // Return on a file in the tree opens it as a double click does.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && msg->hwnd == m_tree.m_hWnd &&
        IsFileItem(m_tree.GetSelectedItem())) {
        OnDoubleClick(m_tree.GetSelectedItem());
        return true;
    }
    // A source's events reach CTwain::ProcessMessage through its message hook, which every
    // pump offers each message first; offering them here again would hand them over twice.
    return CWnd::PreTranslateMessage(msg);
}

bool CExplorer::IsLabelEditEnd(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) || !msg.hwnd)
        return false;
    return (m_tree.m_hWnd && msg.hwnd == TreeView_GetEditControl(m_tree.m_hWnd)) ||
           (m_list.m_hWnd && msg.hwnd == ListView_GetEditControl(m_list.m_hWnd));
}

int CExplorer::OnCreate(const CREATESTRUCTA* cs) {
    vorlan::TraceFunction("CExplorer::OnCreate");
    if (!(cs->style & WS_VISIBLE)) {
        m_bHiddenScan = true;
        return 0;
    }
    // Not id 1, which names the tree for the form.
    if (!m_band.Create(m_hWnd, kToolId, CSizableReBar::kToolBar, true) ||
        !m_tool.Create(m_band.GetReBar(), kToolId))
        return -1;
    m_tool.SetOwner(m_hWnd);
    m_band.AddToolBar(m_tool, kToolId);
    CRect client = GetClientRect();
    if (Execute(rec::XDefinedLine()) == "0") m_tool.EnableButton(kServerMenu, false);

    if (!m_tree.Create(WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_EDITLABELS |
                           TVS_SHOWSELALWAYS,
                       client, m_hWnd, kTreeId))
        return -1;
    SHFILEINFOA info{};
    m_hSystemImages = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (m_hSystemImages) m_tree.SetImageList(m_hSystemImages, TVSIL_NORMAL);
    ::SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    m_nFolderImage = info.iIcon;
    ::SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | SHGFI_OPENICON);
    m_nFolderOpenImage = info.iIcon;
    BuildStateImages();

    if (!m_list.Create(WS_TABSTOP | WS_BORDER | LVS_ICON | LVS_EDITLABELS | LVS_AUTOARRANGE |
                           LVS_SORTASCENDING | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS,
                       client, m_hWnd, kListId))
        return -1;
    ListView_SetExtendedListViewStyleEx(m_list.m_hWnd,
                                        LVS_EX_UNDERLINEHOT | LVS_EX_UNDERLINECOLD | LVS_EX_BORDERSELECT,
                                        LVS_EX_UNDERLINEHOT | LVS_EX_UNDERLINECOLD | LVS_EX_BORDERSELECT);
    ListView_SetHoverTime(m_list.m_hWnd, 1);
    if (!m_viewer.Create(client, WS_CHILD | WS_BORDER, 0, m_hWnd, kViewerId)) return -1;
    if (!m_text.Create(WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                       client, m_hWnd, kTextId))
        return -1;
    LOGFONTA font{};
    HDC screen = ::GetDC(nullptr);
    font.lfHeight = -::MulDiv(10, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    lstrcpynA(font.lfFaceName, "Courier", LF_FACESIZE);
    m_hTextFont = ::CreateFontIndirectA(&font);
    m_text.SetFont(m_hTextFont, false);

    UpdateButtonState();
    LayoutPanes();
    BeginEdit();
    return 0;
}

void CExplorer::OnDestroy() {
    vorlan::TraceFunction("CExplorer::OnDestroy");
    ReleaseTwain();
    m_preview.Stop();
    m_watch.Stop();
    if (FocusedControlKind == kFocusKindExplorer) FocusedControlKind = kFocusKindNone;
    // The list first, so that no deleted tree item is looked for in it; the tree's selection
    // changes list nothing while its items go.
    if (m_list.m_hWnd) ClearList();
    m_bFilling = true;
    if (m_tree.m_hWnd) m_tree.DeleteAllItems();
}

void CExplorer::OnSize() {
    if (m_band.m_hWnd) m_band.OnParentSize();
    LayoutPanes();
}

void CExplorer::LayoutPanes() {
    if (!m_tree.m_hWnd) return;
    CRect client = GetClientRect();
    int top = m_band.m_hWnd ? m_band.GetHeight() : 0;
    int treeWidth = m_divider.LeftWidth(client.Width());
    m_tree.MoveWindow(CRect(0, top, treeWidth, client.bottom));
    CRect right(treeWidth + kDividerGap, top,
                std::max(treeWidth + kDividerGap, static_cast<int>(client.right)), client.bottom);
    m_list.MoveWindow(right);
    m_viewer.MoveWindow(right);
    m_text.MoveWindow(right);
}

void CExplorer::OnSetFocus() {
    if (m_tree.m_hWnd) ::SetFocus(m_tree.m_hWnd);
}

void CExplorer::ShowPane(HWND pane) {
    for (HWND p : {m_list.m_hWnd, m_viewer.m_hWnd, m_text.m_hWnd})
        if (p && p != pane) ::ShowWindow(p, SW_HIDE);
    if (pane) ::ShowWindow(pane, SW_SHOW);
    UpdateButtonState();
}

void CExplorer::UpdateButtonState() {
    if (!m_tool.m_hWnd) return;
    bool viewer = m_viewer.m_hWnd && ::IsWindowVisible(m_viewer.m_hWnd);
    bool list = m_list.m_hWnd && ::IsWindowVisible(m_list.m_hWnd);
    m_tool.EnableButton(kStretch, viewer);
    m_tool.EnableButton(kFit, viewer || list);
    if (viewer) {
        m_tool.CheckButton(kStretch, m_viewer.IsStretch());
        m_tool.CheckButton(kFit, m_viewer.IsFitToWindow());
    } else if (list) {
        m_tool.CheckButton(kFit, m_bLargeThumbs);
    }
    m_tool.CheckButton(kSwap, m_bSorted);
}

LRESULT CExplorer::OnNotify(NMHDR* hdr) {
    if (!hdr) return 0;
    if (hdr->hwndFrom == m_tree.m_hWnd) return OnTreeNotify(hdr);
    if (hdr->hwndFrom == m_list.m_hWnd) return OnListNotify(hdr);
    return CWnd::WindowProc(WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
}

// ---- workers

void CExplorer::StartPreviewThread() {
    m_bWriteFailureTold = false;
    ::StartPreviewThread(m_preview, m_hWnd, this, m_previewJob);
}

void CExplorer::StartUpdateThread() {
    ::StartWatchThread(m_watch, m_hWnd, this, m_source);
}

// ---- scanning

void CExplorer::OnScanImage(HANDLE dib, const TW_IMAGEINFO& info) {
    vorlan::TraceFunction("CExplorer::OnScanImage");
    (void)info;
    ScanPageTarget target;
    target.barcode = m_bBarcode;
    if (m_bHiddenScan) {
        target.targetWindow = m_hTarget;
        target.windowTextPath = true;
    } else if (!m_bBarcode) {
        std::string folder;
        if (!TargetFolder(folder)) {
            AfxMessageBox("Bild konnte nicht gespeichert werden!", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        target.folder = folder;
    }
    SaveScannedPage(dib, target);
}

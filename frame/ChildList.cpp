#include "frame/ChildList.h"

#include "app/ProtocolLog.h"
#include "app/AppLogic.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "frame/ChildListLogic.h"
#include "frame/FrameLogic.h"
#include "resources/ChildrenIds.h"
#include "services/PrintList.h"

namespace {

constexpr DWORD kEditStyle = 0x503000C4; // visible child, both scroll bars, multi-line, auto scroll
constexpr char kFallbackFace[] = "MS LineDraw";
constexpr LONG kFallbackHeight = 200; // twips

} // namespace

CChildList* CChildList::Open(CMDIFrameWnd* frame, const RECT& rect, bool maximised) {
    auto* child = new CChildList;
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW | (maximised ? WS_MAXIMIZE : 0);
    if (!child->CreateChild(frame, style, rect)) return nullptr;
    child->ShowWindow(maximised ? SW_SHOWMAXIMIZED : SW_SHOW);
    child->MDIActivate();
    return child;
}

int CChildList::OnCreate(CREATESTRUCTA* cs) {
    if (CChildBase::OnCreate(cs) == -1) return -1;
    SetIconOf(IDI_CHILD_LIST);
    OnCreateClient();
    return 0;
}

bool CChildList::OnCreateClient() {
    CString title;
    title.LoadString(IDS_LIST_TITLE);
    CString memo = TheSession().Execute(vorlan::VariableLine("%MEMO"));
    if (!memo.IsEmpty()) title += " (" + memo + ")";
    SetWindowText(title);
    if (!m_wndEdit.Create(kEditStyle, GetClientRect(), m_hWnd, IDC_LIST_EDIT)) return false;
    m_wndEdit.LimitText(0x7FFFFFFF);
    ReadOutput();
    return true;
}

void CChildList::SetListFont() {
    FontSetting setting = theApp.GetFontSetting(vorlan::kFontSlotListWindow);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    bool own = !setting.name.IsEmpty();
    lstrcpynA(format.szFaceName, own ? setting.name.c_str() : kFallbackFace, LF_FACESIZE);
    format.yHeight = own && setting.points > 0 ? setting.points * 20 : kFallbackHeight;
    format.bCharSet = SYMBOL_CHARSET;
    format.bPitchAndFamily = FIXED_PITCH;
    m_wndEdit.SetDefaultCharFormat(format);
    m_wndEdit.SetSel(0, -1);
    m_wndEdit.SetSelectionCharFormat(format);
}

void CChildList::ReadOutput() {
    CSession& session = TheSession();
    vorlan::ListStream stream([&session](int n, std::string& line) {
        line = session.Execute(vorlan::PrintOutputLine(n)).str();
        return session.LastError() == 0;
    });
    m_wndEdit.StreamIn(SF_RTF, [&stream](char* out, size_t room) { return stream.Read(out, room); });
    SetListFont();
    m_wndEdit.SetSel(0, 0);
    ::SetFocus(m_wndEdit.m_hWnd);
}

void CChildList::CopyAll() {
    m_wndEdit.SetSel(0, -1);
    m_wndEdit.Copy();
}

bool CChildList::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F12) {
        CopyAll();
        return true;
    }
    return CChildBase::PreTranslateMessage(msg);
}

bool CChildList::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CChildList> table[] = {
        {ID_CHILD_PRINT, ID_CHILD_PRINT, &CChildList::OnPrint, &CChildList::OnUpdatePrint},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CChildList::OnPrint(UINT) {
    CPrintList(m_hWnd).Print();
}

void CChildList::OnUpdatePrint(CCmdUI* ui) {
    CString text;
    text.LoadString(IDS_CHILD_PRINT);
    ui->SetText(text);
    ui->Enable(true);
}

LRESULT CChildList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CChildList", vorlan::WindowMessageName(msg));
    switch (msg) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && m_wndEdit.m_hWnd)
            ::MoveWindow(m_wndEdit.m_hWnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_SETFOCUS:
        if (m_wndEdit.m_hWnd) ::SetFocus(m_wndEdit.m_hWnd);
        return 0;
    default: break;
    }
    return CChildBase::WindowProc(msg, wParam, lParam);
}

#include "forms/ChildDialog.h"

#include "app/ReplyFields.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "common/MQuote.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "resources/resource.h"

namespace {

// Size of a form without fields, in character cells.
constexpr int kEmptyFormColumns = 60;
constexpr int kEmptyFormRows = 12;

std::string Line(const char* before, const CString& value, const char* after) {
    return before + vorlan::MQuote(value.str()) + after;
}

} // namespace

void CChildDialog::SetFonts(HFONT normal, HFONT bold, HFONT fixed) {
    m_hFonts[0] = normal;
    m_hFonts[1] = bold;
    m_hFonts[2] = fixed;
}

const CString& CChildDialog::GetKeyText(int index) const {
    static const CString none;
    return index >= 0 && index < kKeyCount ? m_strKeys[index] : none;
}

CSize CChildDialog::GetMinSize() const {
    return CSize(vorlan::g_nCharWidthUnit * 10, vorlan::g_nRowHeightUnit * 3);
}

int CChildDialog::Create(const char* opening, UINT formId, int, CWnd* parent, int x, int y, int,
                         const char*) {
    vorlan::TraceFunction("CChildDialog::Create");
    if (!parent || !parent->m_hWnd) return 0;
    m_nFormId = formId;
    m_strFormName = vorlan::PieceOf(opening ? opening : "", 1);
    m_strDescription = vorlan::PieceOf(opening ? opening : "", 2);
    if (formId >= 0xC000) {
        m_strTitle = m_strDescription;
        m_strDescription.Empty();
    }
    if (m_strDescription.IsEmpty()) m_strDescription = m_strFormName;

    CWnd::RegisterWindowClass(kClassName, CS_DBLCLKS, nullptr, nullptr,
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(WS_EX_CONTROLPARENT, kClassName, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                  CRect(x, y, x, y), parent->m_hWnd, 0))
        return 0;
    SetFont(m_hFonts[0], false);
    vorlan::ChildMessageRecord reg{vorlan::kChildRegister, m_hWnd, 0};
    parent->SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&reg));

    if (vorlan::g_strDialogName.IsEmpty()) vorlan::g_strDialogName = "\"\"";
    TheSession().Execute(("S DN=" + vorlan::g_strDialogName.str() +
                          ",MEMO=" + vorlan::MQuote(vorlan::g_strDialogMemo.str()) +
                          ",%DN=" + vorlan::MQuote(m_strFormName.str()))
                             .c_str());
    if (!parent->SendMessage(WM_DIALOGINIT, static_cast<WPARAM>(m_nTabIndex), 0)) EnableWindow(false);

    ReadTitle();
    ReportTitle();
    SetWindowPos(nullptr, 0, 0, kEmptyFormColumns * vorlan::g_nCharWidthUnit + 8,
                 kEmptyFormRows * vorlan::g_nRowHeightUnit + 8, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    vorlan::ChildMessageRecord fit{vorlan::kChildFit, m_hWnd, 0};
    parent->SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&fit));
    return 1;
}

void CChildDialog::ReadTitle() {
    if (m_strTitle.IsEmpty()) {
        CString record = TheSession().Execute(Line("W $G(^QM(", m_strDescription, "))").c_str());
        std::string p2 = vorlan::PieceOf(record.str(), 2), p3 = vorlan::PieceOf(record.str(), 3);
        if (p2.empty() || p3.empty()) {
            m_strTitle = vorlan::PieceOf(record.str(), 1);
        } else {
            std::string node = "^QSYS(\"FET\"," + vorlan::MQuote(p2) + "," + vorlan::MQuote(p3);
            m_strTitle = TheSession().Execute(("W $G(" + node + ",%LAN))").c_str());
            if (m_strTitle.IsEmpty())
                m_strTitle = TheSession().Execute(("W $G(" + node + ",\"D\"))").c_str());
        }
    }
    if (m_strFrameCaption.IsEmpty())
        m_strFrameCaption =
            TheSession().Execute(Line("W $P($G(^QM(", m_strDescription, ",0,\"KARTEI\")),%DL,4)").c_str());
    CString frame = TheSession().Execute("W $G(%TITLE(\"FRAME\"))");
    if (!frame.IsEmpty()) m_strFrameCaption = frame;
    CString dialog = TheSession().Execute("W $G(%TITLE(\"DIALOG\"))");
    if (!dialog.IsEmpty()) m_strTitle = dialog;
}

void CChildDialog::ReportTitle() {
    CString title = TheSession().Execute("W $G(%TITLE)");
    if (m_nFormId == 0) {
        if (!title.IsEmpty()) m_strTitle = title;
    } else if (!title.IsEmpty()) {
        m_strTitle = (m_nFormId & 0x8000) ? title : m_strTitle + " " + title;
    }
    SetWindowText(m_strTitle);
    vorlan::ChildMessageRecord msg{vorlan::kChildTitle, m_hWnd, reinterpret_cast<LPARAM>(m_strTitle.c_str())};
    ::SendMessageA(::GetParent(m_hWnd), WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CChildDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        // The frame asks whether its tab may change to another page: yes.
        if (LOWORD(wParam) == 32783 && HIWORD(wParam) == 0xFFFF) return 1;
        break;
    case WM_CLOSE:
        // The frame has checked that the screen may close.
        ::SendMessageA(::GetParent(m_hWnd), WM_DIALOGSTOP, 0, 0);
        return 0;
    case WM_DIAGSETFOCUS:
        if (::IsWindowEnabled(m_hWnd)) ::SetFocus(m_hWnd);
        return 0;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

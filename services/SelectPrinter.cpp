#include "services/SelectPrinter.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/FwString.h"
#include "resources/PrintChoiceIds.h"
#include "services/PrintListLogic.h"
#include "services/PrinterChoiceLogic.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kColumnPadding = 6;

std::string Exec(const std::string& line) {
    return TheSession().Execute(line).str();
}

} // namespace

CSelectPrinter::CSelectPrinter(CWnd* parent) : CDialog(IDD_SELECT_PRINTER, parent) {}

bool CSelectPrinter::OnInitDialog() {
    vorlan::TraceFunction("CSelectPrinter::OnInitDialog");
    m_list.SubclassDlgItem(IDC_PRINTER_LIST, m_hWnd);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    FillList();
    return true;
}

void CSelectPrinter::FillList() {
    const char* titles[] = {"Port", "Drucker", "Standort", "Papierformat"};
    int widths[4];
    for (int c = 0; c < 4; ++c) {
        widths[c] = m_list.GetStringWidth(titles[c]) + kColumnPadding;
        m_list.InsertColumn(c, titles[c], widths[c], LVCFMT_LEFT);
    }
    CSession& session = TheSession();
    std::vector<vorlan::DeviceRow> rows =
        vorlan::ReadDeviceChain([&session](const std::string& line) -> std::optional<std::string> {
            // Not silent: a server error is shown; the list keeps the rows that came before it.
            std::string answer = session.Execute(line).str();
            if (session.LastError() != 0) return std::nullopt;
            return answer;
        });
    for (size_t i = 0; i < rows.size(); ++i) {
        const vorlan::DeviceRow& row = rows[i];
        const std::string* cells[] = {&row.port, &row.printer, &row.location, &row.paper};
        int item = m_list.InsertItem(static_cast<int>(i), row.port.c_str(), -1, 0);
        for (int c = 0; c < 4; ++c) {
            if (c > 0) m_list.SetItemText(item, c, cells[c]->c_str());
            widths[c] = std::max(widths[c], m_list.GetStringWidth(cells[c]->c_str()) + kColumnPadding);
        }
    }
    for (int c = 0; c < 4; ++c)
        m_list.SetColumnWidth(c, widths[c]);
    int chosen = vorlan::PreselectedRow(rows, Exec(vorlan::line::kCurrentDevice));
    if (chosen < 0) return;
    m_list.SelectItem(chosen);
    m_list.EnsureVisible(chosen);
    ::SetFocus(m_list.m_hWnd);
}

void CSelectPrinter::OnOK() {
    int row = m_list.GetSelectedItem();
    if (row < 0) return;
    m_strDevice = m_list.GetItemText(row, 0).str();
    EndDialog(SetDevice(m_strDevice));
}

int CSelectPrinter::SetDevice(const std::string& device) {
    vorlan::TraceFunction("CSelectPrinter::SetDevice");
    return vorlan::ChooseDevice([](const std::string& line) { Exec(line); }, device,
                                [this](bool& landscape) {
                                    CPrinterDialog dialog(this);
                                    int result = dialog.DoModal();
                                    landscape = !dialog.m_bPortrait;
                                    return result;
                                });
}

LRESULT CSelectPrinter::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && header->idFrom == IDC_PRINTER_LIST && header->code == NM_DBLCLK) {
            OnOK();
            return 0;
        }
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

CPrinterDialog::CPrinterDialog(CWnd* parent) : CDialog(IDD_PRINTER_SETUP, parent) {}

bool CPrinterDialog::OnInitDialog() {
    vorlan::TraceFunction("CPrinterDialog::OnInitDialog");
    ::CheckRadioButton(m_hWnd, IDC_PRINTER_PORTRAIT, IDC_PRINTER_LANDSCAPE, IDC_PRINTER_PORTRAIT);
    ShowOrientation();
    HWND trays = GetDlgItem(IDC_PRINTER_TRAY);
    int count = vorlan::CountOf(Exec(vorlan::line::kTrayCount));
    if (count <= 0) {
        ::EnableWindow(trays, FALSE);
        return true;
    }
    // Far more than any printer has: the list stays usable whatever the server answers.
    count = std::min(count, 99);
    for (int n = 1; n <= count; ++n) {
        CString text;
        text.FormatId(IDS_PRINTER_TRAY, n);
        ::SendMessageA(trays, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageA(trays, CB_SETCURSEL, 0, 0);
    return true;
}

void CPrinterDialog::ShowOrientation() {
    m_bPortrait = ::IsDlgButtonChecked(m_hWnd, IDC_PRINTER_PORTRAIT) == BST_CHECKED;
    HICON icon = ::LoadIconA(AfxGetResourceHandle(),
                             MAKEINTRESOURCEA(m_bPortrait ? IDI_PAGE_PORTRAIT : IDI_PAGE_LANDSCAPE));
    ::SendDlgItemMessageA(m_hWnd, IDC_PRINTER_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

bool CPrinterDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    if ((id == IDC_PRINTER_PORTRAIT || id == IDC_PRINTER_LANDSCAPE) && HIWORD(wParam) == BN_CLICKED) {
        ::CheckRadioButton(m_hWnd, IDC_PRINTER_PORTRAIT, IDC_PRINTER_LANDSCAPE, static_cast<int>(id));
        ShowOrientation();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CPrinterDialog::OnOK() {
    m_bPortrait = ::IsDlgButtonChecked(m_hWnd, IDC_PRINTER_PORTRAIT) == BST_CHECKED;
    HWND trays = GetDlgItem(IDC_PRINTER_TRAY);
    if (::IsWindowEnabled(trays)) {
        int chosen = static_cast<int>(::SendMessageA(trays, CB_GETCURSEL, 0, 0));
        Exec(vorlan::TrayLine(std::max(chosen, 0) + 1));
    }
    EndDialog(IDOK);
}

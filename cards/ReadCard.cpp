#include "cards/ReadCard.h"

#include "app/ProtocolLog.h"
#include "framework/FwString.h"
#include "resources/CardIds.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT_PTR kPauseTimer = 1;
// How long the terminal found stays on screen before the dialog asks for the card.
constexpr UINT kPauseMs = 2000;
constexpr size_t kLongReplySize = 4096;
constexpr size_t kShortReplySize = 256;

} // namespace

CReadCard::CReadCard(CWnd* form, int lines, int kind)
    : CIdleDialog(IDD_READCARD, form), m_nKind(kind), m_bAnnouncePending(kind == 1), m_keys(lines) {}

const char* CReadCard::GetLine(int i) const {
    if (i < 1 || i > kMaxLines) return "";
    return m_fields[i - 1];
}

bool CReadCard::OnInitDialog() {
    vorlan::TraceFunction("CReadCard::OnInitDialog");
    ShowText(m_nKind == 1 ? IDS_READCARD_SEARCHING : IDS_READCARD_INSERT);
    // A keyboard card reader types into whatever has the focus: the dialog takes it all.
    CaptureCharacters(m_nKind == 0);
    return true;
}

LRESULT CReadCard::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CCardServer::kCardMessage: OnStatusChanged(static_cast<int>(wParam)); return 0;
    case WM_TIMER:
        if (wParam == kPauseTimer) {
            EndPause();
            return 0;
        }
        break;
    default: break;
    }
    return CIdleDialog::WindowProc(msg, wParam, lParam);
}

void CReadCard::OnEnterIdle(int count) {
    if (count != 0 || !m_bAnnouncePending) return;
    m_bAnnouncePending = false;
    // Without the library nothing would ever come: the dialog goes on from the status it has,
    // so that the failed search says what is wrong.
    if (!m_server.RegisterWindow(m_hWnd)) OnStatusChanged(m_server.Status());
}

void CReadCard::OnCapturedChar(unsigned char c) {
    vorlan::KeyboardFields::Step step = m_keys.Take(static_cast<char>(c));
    if (step == vorlan::KeyboardFields::Step::Started) ShowText(IDS_READCARD_READING);
    if (!m_keys.IsComplete()) return;
    CaptureCharacters(false);
    for (int i = 1; i <= std::min(m_keys.Count(), kMaxLines); ++i) {
        const std::string& text = m_keys.Field(i);
        size_t n = std::min(text.size(), static_cast<size_t>(kLineSize - 1));
        std::memcpy(m_fields[i - 1], text.data(), n);
        m_fields[i - 1][n] = '\0';
    }
    EndDialog(1);
}

void CReadCard::OnStatusChanged(int status) {
    vorlan::TraceFunction("CReadCard::OnStatusChanged");
    if (m_bPausing) {
        m_deferred.push_back(status);
        return;
    }
    switch (status) {
    case vorlan::kCardStatusSearching: SearchTerminal(); break;
    case vorlan::kCardStatusWaiting: WaitForCard(); break;
    case vorlan::kCardStatusDetected: ShowText(IDS_READCARD_DETECTED); break;
    case vorlan::kCardStatusValid:
        m_server.Command("Card,Lock");
        ReadCardFields();
        break;
    case vorlan::kCardStatusActive: ReadCardFields(); break;
    default: break;
    }
}

void CReadCard::SearchTerminal() {
    if (m_server.Command("Device,SearchComPort") != 0) {
        std::string error = m_server.Ask("System,Info,ErrText", kLongReplySize);
        ShowText(IDS_READCARD_NOT_FOUND, error.c_str());
        return;
    }
    m_server.Command("Device,Select,-1");
    std::string type = m_server.Ask("Device,Info,Type", kShortReplySize);
    std::string port = m_server.Ask("Device,Info,Port", kShortReplySize);
    ShowText(IDS_READCARD_FOUND, type.c_str(), port.c_str());
    m_bPausing = ::SetTimer(m_hWnd, kPauseTimer, kPauseMs, nullptr) != 0;
    if (!m_bPausing) WaitForCard();
}

void CReadCard::EndPause() {
    ::KillTimer(m_hWnd, kPauseTimer);
    m_bPausing = false;
    WaitForCard();
    while (!m_bPausing && !m_deferred.empty()) {
        int status = m_deferred.front();
        m_deferred.erase(m_deferred.begin());
        OnStatusChanged(status);
    }
}

void CReadCard::WaitForCard() {
    ShowText(IDS_READCARD_INSERT);
    m_server.Command("Device,SetLed,022");
}

void CReadCard::ReadCardFields() {
    vorlan::TraceFunction("CReadCard::ReadCardFields");
    if (!vorlan::IsKvkApplication(m_server.Ask("Card,Info,Apps", kLongReplySize))) {
        ShowText(IDS_READCARD_NO_KVK);
        return;
    }
    ShowText(IDS_READCARD_READING);
    for (int i = 1; i <= vorlan::kCardServerFields; ++i)
        if (!ReadKVK(i)) {
            ShowText(IDS_READCARD_FIELD_FAILED);
            return;
        }
    EndDialog(1);
}

bool CReadCard::ReadKVK(int i) {
    vorlan::TraceFunction("CReadCard::ReadKVK");
    return m_server.Command(vorlan::KvkFieldCommand(i).c_str(), nullptr, 0, m_fields[i - 1], kLineSize) == 0;
}

void CReadCard::ShowText(UINT id, const char* first, const char* second) {
    CString text;
    if (first)
        text.FormatId(id, first, second ? second : "");
    else
        text.LoadString(id);
    SetDlgItemText(IDC_READCARD_STATUS, text);
}

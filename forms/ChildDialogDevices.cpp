// The workstation devices a form serves for the server: the ring, the customer display and
// cash drawer on a serial port, raw text to LPT1, and the job's serial-port request; and
// the edit-undo command of the form's fields.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "forms/DeviceLogic.h"
#include "forms/FormKeysLogic.h"
#include "framework/CmdUI.h"
#include "framework/PortWriter.h"

#include <functional>
#include <string>

namespace {

// A port that cannot be opened makes the write fail silently; the protocol notes it.
void WriteToPort(const std::string& port, const char* data, size_t size) {
    if (!CPortWriter::WriteOnce(port.c_str(), data, size))
        vorlan::WriteProtocol("CChildDialog - port %s not written", vorlan::kLogNote, port.c_str());
}

void WriteToPort(const std::string& port, const fw::PortFrame& frame) {
    WriteToPort(port, frame.data(), frame.size());
}

} // namespace

void CChildDialog::WalkValues(const vorlan::NodeWalk& walk,
                              const std::function<bool(const std::string&)>& take) {
    m_session.Execute(walk.start);
    for (int i = 0; i < vorlan::kMaxWalkSteps; ++i) {
        if (m_session.Execute(walk.next).IsEmpty()) return;
        if (!take(m_session.Execute(walk.value).str())) return;
    }
}

void CChildDialog::WriteDisplayLines(CSession& session) {
    for (char line : {'A', 'B'}) {
        std::string answer = session.Execute(vorlan::DisplayLineLine(line)).str();
        if (answer.empty()) continue;
        vorlan::DisplayLine d = vorlan::ReadDisplayLine(answer);
        WriteToPort(d.port, vorlan::CustomerDisplayFrame(line, d.text));
    }
}

void CChildDialog::ServeDevices() {
    const auto& settings = m_session.Settings();
    if (settings.ring && m_session.Execute(vorlan::kRingLine) != "0") ::Beep(250, 50);
    if (settings.com && m_session.Execute(vorlan::kCustomerDisplayLine) != "0") {
        WriteDisplayLines(m_session);
        CString drawer = m_session.Execute(vorlan::kCashDrawerLine);
        if (!drawer.IsEmpty()) {
            vorlan::DisplayLine d = vorlan::ReadDisplayLine(drawer.str());
            WriteToPort(d.port, vorlan::CashDrawerFrame(d.text));
        }
        m_session.Execute(vorlan::kKillCashDrawerLine);
    }
    if (settings.lpt && m_session.Execute(vorlan::kPrinterTextLine) != "0") {
        std::string text;
        WalkValues(vorlan::kPrinterTextWalk,
                   [&text](const std::string& value) { return vorlan::AppendPrinterText(text, value); });
        if (!text.empty()) WriteToPort("LPT1", text.data(), text.size());
        m_session.Execute(vorlan::kKillPrinterTextLine);
    }
}

void CChildDialog::ComPort() {
    vorlan::TraceFunction("CChildDialog::ComPort");
    fw::PortLine display = fw::ParsePortRecord(m_session.Execute(vorlan::kComPortDisplayLine).str());
    if (!display.name.empty()) {
        CPortWriter port;
        if (port.Open(display.name.c_str())) {
            // A port that refuses the settings still gets the messages: the display may run
            // on what it is set to.
            if (!port.SetLine(display))
                vorlan::WriteProtocol("CChildDialog::ComPort - line settings of %s refused", vorlan::kLogNote,
                                      display.name.c_str());
            WalkValues(vorlan::kDisplayMessageWalk, [&port](const std::string& message) {
                port.Write(message.data(), message.size());
                return true;
            });
        } else {
            vorlan::WriteProtocol("CChildDialog::ComPort - port %s not opened", vorlan::kLogNote,
                                  display.name.c_str());
        }
    }
    std::string drawer = m_session.Execute(vorlan::kComPortDrawerLine).str();
    if (!drawer.empty()) {
        fw::PortFrame frame =
            fw::BoundedPortFrame(m_session.Execute(vorlan::kComPortDrawerMessageLine).str());
        WriteToPort(drawer, frame);
    }
}

HWND CChildDialog::UndoTarget() const {
    HWND focus = ::GetFocus();
    if (!focus || !m_hWnd || !::IsChild(m_hWnd, focus)) return nullptr;
    return vorlan::IsUndoFieldId(::GetDlgCtrlID(focus), m_nFields) ? focus : nullptr;
}

void CChildDialog::OnEditUndo() {
    if (HWND target = UndoTarget()) ::SendMessageA(target, EM_UNDO, 0, 0);
}

void CChildDialog::OnUpdateEditUndo(CCmdUI* ui) {
    HWND target = UndoTarget();
    ui->Enable(target && ::SendMessageA(target, EM_CANUNDO, 0, 0) != 0);
}

// The requests that the hub serves itself with a box or the clipboard.
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Clipboard.h"
#include "services/ExcelExport.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"

namespace vorlan {

void ServeEkv(CRequestHub&, const RequestNode&) {
    TraceFunction("CChildDialog::EKV");
}

// The text is the variable's, not the node's; an empty one shows no box.
void ServeMessage(CRequestHub& hub, const RequestNode&) {
    std::string text = hub.Execute(MessageReadLine());
    if (!text.empty()) AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    hub.Execute(MessageKillLine());
}

// The hub removes the list and its request afterwards, whatever became of them.
void ServeExcel(CRequestHub& hub, const RequestNode&) {
    ExcelRequest request;
    request.execute = [&hub](const std::string& line) { return hub.Execute(line); };
    request.owner = hub.Form().HubWindow();
    SendToExcel(request, false, true);
}

// The ports are the form's business; the hub removes the node afterwards.
void ServeComPort(CRequestHub& hub, const RequestNode&) {
    hub.Form().ComPort();
}

void ServeQuestion(CRequestHub& hub, const RequestNode& node) {
    HubQuestion question = ParseQuestion(hub.Execute(NodeValueLine(node.node)));
    UINT type = (question.HasCancel() ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION;
    int answer = AfxMessageBox(question.text.c_str(), type);
    hub.Execute(DoLine(QuestionRoutine(question, answer)));
}

// No separator between the values: the server puts its own line ends into them.
void ServeClipboard(CRequestHub& hub, const RequestNode& node) {
    std::string text;
    for (std::string key; !(key = hub.Execute(NextKeyLine(node.node, key))).empty();)
        text += hub.Execute(NodeKeyValueLine(node.node, key));
    if (!fw::SetClipboardText(hub.Form().HubWindow(), text))
        WriteProtocol("CChildDialog::TestAbl - clipboard not set (%lu)", kLogNote, ::GetLastError());
}

} // namespace vorlan

// QR and Data Matrix symbols: for each entry of the request the component makes the symbol
// as text lines, which go to the global the entry names. One component serves every entry.
#include "app/ProtocolLog.h"
#include "framework/Dispatch.h"
#include "services/Components.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/OutsideLines.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"

#include <vector>

namespace vorlan {

namespace {

void MakeSymbols(CRequestHub& hub, const RequestNode& node, const char* trace, const char* progId,
                 const fw::DispMember& make) {
    TraceFunction(trace);
    CComScope com;
    CDispatchDriver component;
    // A missing component is not reported: the entries store nothing.
    if (component.CreateDispatch(progId)) {
        for (std::string key; !(key = hub.Execute(NextKeyLine(node.node, key))).empty();) {
            SymbolRequest entry = ParseSymbolRequest(hub.Execute(NodeKeyValueLine(node.node, key)));
            if (entry.target.empty()) continue;
            // The text, zero integers, and a fresh result for every call.
            std::vector<fw::DispValue> args(std::char_traits<char>::length(make.args));
            args.front() = fw::DispValue(entry.text);
            try {
                component.Call(make, args);
            } catch (const CDispatchException& e) {
                WriteProtocol("%s - %s", kLogNote, trace, e.what());
                continue;
            }
            std::vector<std::string> lines = SymbolLines(args.back().text);
            for (size_t i = 0; i < lines.size(); ++i)
                hub.Execute(SymbolLineSet(entry.target, static_cast<int>(i + 1), lines[i]));
        }
        component.ReleaseDispatch();
    }
    hub.Execute(NodeKillLine(node.node));
}

} // namespace

void ServeQrCode(CRequestHub& hub, const RequestNode& node) {
    MakeSymbols(hub, node, "CChildDialog::QRCODE", kQrCodeProgId, kQrCodeMake);
}

void ServeDataMatrix(CRequestHub& hub, const RequestNode& node) {
    MakeSymbols(hub, node, "CChildDialog::DATAMATRIX", kDataMatrixProgId, kDataMatrixMake);
}

} // namespace vorlan

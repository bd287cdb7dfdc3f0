// Packing and unpacking files through the outside library quantpacker, loaded for each
// request. Its entries take and return texts; a returned text lives until the next call.
#include "framework/App.h"
#include "framework/LoadedLibrary.h"
#include "resources/ServiceIds.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"
#include "tools/FileDropTarget.h"

namespace vorlan {

namespace {

using PackFunction = const char*(WINAPI*)(const char* dir, const char* source, const char* target,
                                          const char* pass);
using UnPackFunction = const char*(WINAPI*)(const char* source, const char* target, const char* pass);

struct PackArguments {
    std::string dir, source, target, pass;
};

// The library's answer, copied at once; false when the library or an entry is missing.
bool CallPacker(const PackArguments& a, bool unpack, std::string& result) {
    CLoadedLibrary library("quantpacker");
    if (!library) return false;
    auto pack = library.Entry<PackFunction>("Pack");
    auto unPack = library.Entry<UnPackFunction>("UnPack");
    if (!pack || !unPack) return false;
    result.clear();
    try {
        const char* answer;
        if (unpack) {
            CFileDropTarget::MakeDirectory(a.target.c_str());
            answer = unPack(a.source.c_str(), a.target.c_str(), a.pass.c_str());
        } else {
            answer = pack(a.dir.c_str(), a.source.c_str(), a.target.c_str(), a.pass.c_str());
        }
        if (answer) result = answer;
    } catch (...) {
        result.clear();
    }
    return true;
}

} // namespace

// The server's routine decides what to show: it gets the library's answer, or the text
// that the library is missing, in %F.
void ServePacking(CRequestHub& hub, const RequestNode& node) {
    PackArguments arguments{
        hub.Execute(NodeKeyValueLine(node.node, "DIR")), hub.Execute(NodeKeyValueLine(node.node, "SOURCE")),
        hub.Execute(NodeKeyValueLine(node.node, "TARGET")), hub.Execute(NodeKeyValueLine(node.node, "PASS"))};
    PackRequest request = ParsePackValue(hub.Execute(NodeValueLine(node.node)));
    // Gone before the library runs: a request that fails there must not come back.
    hub.Execute(NodeKillLine(node.node));
    std::string result;
    if (!CallPacker(arguments, request.unpack, result)) {
        CString missing;
        missing.LoadString(IDS_PACKER_MISSING);
        result = missing.str();
    }
    std::string shown = hub.Execute(PackResultLine(result, request.routine));
    if (!shown.empty()) AfxMessageBox(shown.c_str(), MB_OK);
}

} // namespace vorlan

// The server's FILESORT request: the file copy dialog over its folders.
#include "framework/FwString.h"
#include "resources/ServiceIds.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"
#include "tools/FileCopy.h"

namespace vorlan {

void ServeFileSort(CRequestHub& hub, const RequestNode& node) {
    auto key = [&](const char* name) { return hub.Execute(NodeKeyValueLine(node.node, name)); };
    std::string source = key("SOURCE"), destination = key("DESTINATION"), text = key("TEXT"),
                filter = key("FILTER"), routine = key("RTN");
    if (filter.empty()) {
        CString all;
        all.LoadString(IDS_ALL_FILES);
        filter = AllFilesFilter(all.str());
    }
    bool copy = !destination.empty();
    CString title;
    title.LoadString(copy ? IDS_FILECOPY_TITLE : IDS_FILEVIEW_TITLE);
    CFileCopy dialog(hub.Form().HubWindow(), title, source.c_str(), destination.c_str(), text.c_str(),
                     filter.c_str());
    dialog.DoModal();
    if (dialog.ResultFlag() == 1) hub.Execute(DoLine(routine));
}

} // namespace vorlan

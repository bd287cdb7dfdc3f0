#pragma once
// The request nodes under ^QTEMP(%JOB,...) that the hub tests after every server step, in
// the order it serves them. This list is the one place that knows them: a service plugs in
// by naming its function in the last column of its node's row. A node whose service is
// still null is removed unserved (by the hub, whoever would remove it once served), with
// its report flag as the row says and one protocol line.

namespace vorlan {

// Who removes the node after serving it.
enum class NodeKill {
    ByHub,
    // The service removes it itself (the packing request right after reading it).
    ByService,
};

struct RequestNode {
    int step;
    const char* node;
    const char* alsoKilled; // removed with the node, or null
    NodeKill kill;
    bool setsReport; // the pass reports %INF and %F after the nodes
};

// The nodes up to this step come before the report and the form's pending field actions.
constexpr int kReportStep = 20;

// NODE(step, node, also killed, killed by, sets report, service or nullptr)
#define VORLAN_REQUEST_NODES(NODE)                                                                           \
    NODE(2, "%SQL", nullptr, ByHub, false, ServeSql)                                                         \
    NODE(3, "%ZIP3DES", nullptr, ByService, false, ServePacking)                                             \
    NODE(4, "POCKET", nullptr, ByHub, true, ServePocket)                                                     \
    NODE(5, "%EXCEL", "EXCEL", ByHub, true, ServeExcel)                                                      \
    NODE(6, "KODIP", nullptr, ByHub, true, ServeKodip)                                                       \
    NODE(7, "%DRG", nullptr, ByHub, true, ServeDrg)                                                          \
    NODE(8, "QSMED", nullptr, ByHub, true, ServeQsMed)                                                       \
    NODE(9, "QS-FILTER", nullptr, ByHub, true, ServeQsFilter)                                                \
    NODE(10, "EKV", nullptr, ByHub, true, ServeEkv)                                                          \
    NODE(11, "QR-CODE", nullptr, ByService, true, ServeQrCode)                                               \
    NODE(12, "DATAMATRIX", nullptr, ByService, true, ServeDataMatrix)                                        \
    NODE(13, "USYS10", nullptr, ByHub, true, ServeDevice)                                                    \
    NODE(14, "SOUND", nullptr, ByHub, true, ServeSound)                                                      \
    NODE(15, "%FILE", nullptr, ByService, true, ServeLocalFile)                                              \
    NODE(16, "COMPORT", nullptr, ByHub, false, ServeComPort)                                                 \
    NODE(17, "%MESSAGE", nullptr, ByHub, false, ServeMessage)                                                \
    NODE(18, "KLICKBUTTON", nullptr, ByHub, false, ServeQuestion)                                            \
    NODE(19, "%CLIPBOARD", nullptr, ByHub, false, ServeClipboard)                                            \
    NODE(22, "FILESORT", nullptr, ByHub, false, ServeFileSort)

extern const RequestNode kRequestNodes[];
extern const int kRequestNodeCount;

} // namespace vorlan

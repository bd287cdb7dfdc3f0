#include "services/RequestNodes.h"

namespace vorlan {

#define VORLAN_NODE_ROW(step, node, also, kill, report, service) {step, node, also, NodeKill::kill, report},
const RequestNode kRequestNodes[] = {VORLAN_REQUEST_NODES(VORLAN_NODE_ROW)};
#undef VORLAN_NODE_ROW

const int kRequestNodeCount = static_cast<int>(sizeof kRequestNodes / sizeof kRequestNodes[0]);

} // namespace vorlan

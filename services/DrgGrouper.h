#pragma once
// The DRG grouping of one case, for the hub's "%DRG" request and for the coding component
// that groups its own case.

class CDispatchDriver;
class CRequestHub;

namespace vorlan {

// grouper: the coding component already created (it groups through its own members, and the
// caller reads the results), or null: a grouper is created as the request names it.
void DRGGrouper(CRequestHub& hub, CDispatchDriver* grouper);

} // namespace vorlan

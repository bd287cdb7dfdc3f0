#pragma once
// The services that the hub serves request nodes with, each named in its node's row of
// RequestNodes.h. A service gets its node's row; the hub tests the node before and removes
// it after, as the row says.

class CRequestHub;

namespace vorlan {

struct RequestNode;
using NodeService = void (*)(CRequestHub& hub, const RequestNode& node);

// Packs or unpacks files through the outside library quantpacker.
void ServePacking(CRequestHub& hub, const RequestNode& node);
// The health-card request asks nothing of the workstation: the node is discarded.
void ServeEkv(CRequestHub& hub, const RequestNode& node);
// The text of %MESSAGE in a box.
void ServeMessage(CRequestHub& hub, const RequestNode& node);
// A question with up to three answers, each running a routine.
void ServeQuestion(CRequestHub& hub, const RequestNode& node);
// The node's values, joined in the server's order, onto the clipboard.
void ServeClipboard(CRequestHub& hub, const RequestNode& node);
// The form's serial-port request.
void ServeComPort(CRequestHub& hub, const RequestNode& node);
// The server's cell list into a new Excel workbook.
void ServeExcel(CRequestHub& hub, const RequestNode& node);
// The file copy dialog over the node's folders.
void ServeFileSort(CRequestHub& hub, const RequestNode& node);
// Statements against an ODBC data source, the rows into ^TEMPSQL.
void ServeSql(CRequestHub& hub, const RequestNode& node);
// Jobs on the workstation's files; the service removes the request itself.
void ServeLocalFile(CRequestHub& hub, const RequestNode& node);

// The outside components and the workstation's devices.
void ServePocket(CRequestHub& hub, const RequestNode& node);
void ServeKodip(CRequestHub& hub, const RequestNode& node);
void ServeDrg(CRequestHub& hub, const RequestNode& node);
void ServeQsMed(CRequestHub& hub, const RequestNode& node);
void ServeQsFilter(CRequestHub& hub, const RequestNode& node);
void ServeQrCode(CRequestHub& hub, const RequestNode& node);
void ServeDataMatrix(CRequestHub& hub, const RequestNode& node);
void ServeDevice(CRequestHub& hub, const RequestNode& node);
void ServeSound(CRequestHub& hub, const RequestNode& node);

} // namespace vorlan

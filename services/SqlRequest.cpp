// The server's "%SQL" request: statements run against a workstation's ODBC data source, the
// rows of every query copied into ^TEMPSQL(%JOB,i,row,column), then the server's routine.
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "framework/App.h"
#include "framework/Database.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"
#include "services/SqlLines.h"

namespace vorlan {

namespace {

void SendAll(CRequestHub& hub, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        hub.Execute(line);
}

void ReadRows(CRequestHub& hub, CDatabase& db, int i, const std::string& statement) {
    CForwardQuery query;
    query.Open(db, statement.c_str());
    while (query.Next()) {
        hub.Execute(SqlNextRowLine());
        for (int column = 0; column < query.GetColumnCount(); ++column)
            SendAll(hub, SqlValueLines(i, query.GetValue(column)));
    }
}

// Every statement runs, whatever failed before; the first driver message is the result.
std::string RunStatements(CRequestHub& hub, CDatabase& db) {
    std::string firstFailure;
    hub.Execute(SqlResultKillLine());
    for (int i = 1;; ++i) {
        std::string value = hub.Execute(SqlStatementLine(i));
        std::string statement = PieceOf(value, 1);
        if (statement.empty()) break;
        std::string failure;
        if (statement.size() >= kSqlStatementLimit) {
            failure = "Die Anweisung ist zu lang.";
        } else {
            try {
                if (IsSqlQuery(statement))
                    ReadRows(hub, db, i, statement);
                else
                    db.ExecuteSQL(statement.c_str());
            } catch (CDBException& e) {
                failure = e.m_strError.empty() ? "?" : e.m_strError;
            }
        }
        if (failure.empty()) continue;
        WriteProtocol("CChildDialog::ExecuteSQL - statement %d: %s", kLogNote, i, failure.c_str());
        AfxMessageBox(SqlFailureText(value).c_str(), MB_OK | MB_ICONEXCLAMATION);
        if (firstFailure.empty()) firstFailure = failure;
    }
    return firstFailure;
}

} // namespace

void ServeSql(CRequestHub& hub, const RequestNode& node) {
    TraceFunction("CChildDialog::ExecuteSQL");
    std::string dsn = hub.Execute(NodeKeyValueLine(node.node, "ODBC"));
    std::string routine = hub.Execute(NodeKeyValueLine(node.node, "ROUT"));
    CDatabase own;
    CDatabase* db = AfxGetApp() ? AfxGetApp()->OdbcDatabase() : nullptr;
    if (!db) db = &own;
    std::string error;
    if (!db->IsOpen() || db->GetConnect() != dsn.c_str()) {
        try {
            db->Close();
            db->Open(dsn.c_str(), "ODBC;");
        } catch (CDBException& e) {
            error = e.m_strError;
        }
    }
    if (!db->GetConnect().IsEmpty() && error.empty()) {
        try {
            error = RunStatements(hub, *db);
        } catch (CDBException& e) {
            error = e.m_strError;
        }
    }
    std::string shown = hub.Execute(SqlFinalLine(error, db->GetConnect().str(), routine));
    db->Close();
    if (!shown.empty()) AfxMessageBox(shown.c_str(), MB_OK);
}

} // namespace vorlan

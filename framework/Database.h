#pragma once
// ODBC data sources: a connection opened by connect string, statements run on it, and a
// forward-only, read-only query over its result. Text crosses to the driver as wide text,
// converted from and to code page 1252: drivers answer narrow calls in their own code page
// (UTF-8 for some), and Wine's odbc32 offers no "A" entries at all.

#include "framework/FwString.h"

#include <windows.h>
#include <sql.h>

#include <string>

// A failed ODBC call, with the message of every diagnostic record the driver left.
class CDBException {
  public:
    CDBException(SQLRETURN code, std::string error, std::string stateNativeOrigin)
        : m_nRetCode(code), m_strError(std::move(error)),
          m_strStateNativeOrigin(std::move(stateNativeOrigin)) {}
    // Diagnostics of the handle after a failed call; `fallback` when the driver left none.
    static CDBException FromHandle(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN code, const char* fallback);

    SQLRETURN m_nRetCode;
    // The records' messages, one a line.
    std::string m_strError;
    // "State:...,Native:...,Origin:..." for each record, one a line.
    std::string m_strStateNativeOrigin;
};

class CDatabase {
  public:
    CDatabase() = default;
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Opens the data source named `dsn`, or the connection that `connect` describes after its
    // "ODBC;" prefix when no name is given. Never asks the user. Throws CDBException.
    void Open(const char* dsn, const char* connect = "ODBC;");
    bool IsOpen() const { return m_hdbc != SQL_NULL_HDBC; }
    // "ODBC;" and the connection string the driver completed; empty while closed.
    const CString& GetConnect() const { return m_strConnect; }
    // Runs a statement that returns no rows. Throws CDBException.
    void ExecuteSQL(const char* sql);
    void Close();

    SQLHDBC Handle() const { return m_hdbc; }

  private:
    SQLHENV m_henv = SQL_NULL_HENV;
    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    CString m_strConnect;
};

// A query read once from start to end.
class CForwardQuery {
  public:
    CForwardQuery() = default;
    ~CForwardQuery() { Close(); }
    CForwardQuery(const CForwardQuery&) = delete;
    CForwardQuery& operator=(const CForwardQuery&) = delete;

    // Runs the query; the first row is not fetched yet. Throws CDBException.
    void Open(CDatabase& db, const char* sql);
    int GetColumnCount() const { return m_nColumns; }
    // Moves to the next row; false after the last. Throws CDBException.
    bool Next();
    // The column (from 0) of the current row as text; NULL reads as "". Throws CDBException.
    std::string GetValue(int column);
    void Close();

  private:
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    int m_nColumns = 0;
};

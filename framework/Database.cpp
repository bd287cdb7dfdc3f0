#include "framework/Database.h"

#include <sqlext.h>

#include <vector>

namespace {

SQLWCHAR* Sql(std::wstring& text) {
    return reinterpret_cast<SQLWCHAR*>(&text[0]);
}

bool Succeeded(SQLRETURN code) {
    return code == SQL_SUCCESS || code == SQL_SUCCESS_WITH_INFO;
}

void Check(SQLRETURN code, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
    if (!Succeeded(code)) throw CDBException::FromHandle(type, handle, code, what);
}

} // namespace

CDBException CDBException::FromHandle(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN code,
                                      const char* fallback) {
    std::string error, origin;
    for (SQLSMALLINT record = 1; handle != SQL_NULL_HANDLE; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN r = ::SQLGetDiagRecW(type, handle, record, state, &native, nullptr, 0, &length);
        if (!Succeeded(r)) break;
        std::wstring message(static_cast<size_t>(length) + 1, L'\0');
        r = ::SQLGetDiagRecW(type, handle, record, state, &native, Sql(message),
                             static_cast<SQLSMALLINT>(length + 1), &length);
        if (!Succeeded(r)) break;
        message.resize(static_cast<size_t>(length));
        if (!error.empty()) error += '\n';
        error += fw::NarrowCp1252(message);
        char line[96];
        std::wstring stateText(reinterpret_cast<const wchar_t*>(state), 5);
        wsprintfA(line, "State:%s,Native:%ld,Origin:", fw::NarrowCp1252(stateText).c_str(),
                  static_cast<long>(native));
        if (!origin.empty()) origin += '\n';
        origin += line;
    }
    if (error.empty()) error = fallback ? fallback : "";
    return CDBException(code, error, origin);
}

CDatabase::~CDatabase() {
    Close();
}

void CDatabase::Open(const char* dsn, const char* connect) {
    Close();
    std::string in = connect ? connect : "";
    if (in.compare(0, 5, "ODBC;") == 0) in.erase(0, 5);
    if (dsn && *dsn) in = "DSN=" + std::string(dsn) + (in.empty() ? "" : ";" + in);
    SQLRETURN r = ::SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_henv);
    if (!Succeeded(r)) {
        m_henv = SQL_NULL_HENV;
        throw CDBException(r, "Die ODBC-Umgebung kann nicht angelegt werden.", "");
    }
    try {
        Check(::SQLSetEnvAttr(m_henv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              SQL_HANDLE_ENV, m_henv, "SQLSetEnvAttr");
        Check(::SQLAllocHandle(SQL_HANDLE_DBC, m_henv, &m_hdbc), SQL_HANDLE_ENV, m_henv, "SQLAllocHandle");
        std::wstring wide = fw::WidenCp1252(in);
        wide.push_back(L'\0');
        std::wstring out(1024, L'\0');
        SQLSMALLINT length = 0;
        r = ::SQLDriverConnectW(m_hdbc, nullptr, Sql(wide), SQL_NTS, Sql(out),
                                static_cast<SQLSMALLINT>(out.size()), &length, SQL_DRIVER_NOPROMPT);
        if (!Succeeded(r)) {
            CDBException e = CDBException::FromHandle(SQL_HANDLE_DBC, m_hdbc, r, "SQLDriverConnect");
            ::SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
            m_hdbc = SQL_NULL_HDBC;
            throw e;
        }
        out.resize(length > 0 && static_cast<size_t>(length) < out.size() ? static_cast<size_t>(length)
                                                                          : out.find(L'\0'));
        m_strConnect = "ODBC;" + fw::NarrowCp1252(out);
    } catch (...) {
        Close();
        throw;
    }
}

void CDatabase::ExecuteSQL(const char* sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    Check(::SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &stmt), SQL_HANDLE_DBC, m_hdbc, "SQLAllocHandle");
    std::wstring wide = fw::WidenCp1252(sql ? sql : "");
    wide.push_back(L'\0');
    SQLRETURN r = ::SQLExecDirectW(stmt, Sql(wide), SQL_NTS);
    // A statement that touches no row answers "no data": not a failure.
    if (!Succeeded(r) && r != SQL_NO_DATA) {
        CDBException e = CDBException::FromHandle(SQL_HANDLE_STMT, stmt, r, "SQLExecDirect");
        ::SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        throw e;
    }
    ::SQLFreeHandle(SQL_HANDLE_STMT, stmt);
}

void CDatabase::Close() {
    if (m_hdbc != SQL_NULL_HDBC) {
        ::SQLDisconnect(m_hdbc);
        ::SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
        m_hdbc = SQL_NULL_HDBC;
    }
    if (m_henv != SQL_NULL_HENV) {
        ::SQLFreeHandle(SQL_HANDLE_ENV, m_henv);
        m_henv = SQL_NULL_HENV;
    }
    m_strConnect.Empty();
}

void CForwardQuery::Open(CDatabase& db, const char* sql) {
    Close();
    Check(::SQLAllocHandle(SQL_HANDLE_STMT, db.Handle(), &m_hstmt), SQL_HANDLE_DBC, db.Handle(),
          "SQLAllocHandle");
    try {
        ::SQLSetStmtAttr(m_hstmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY),
                         0);
        ::SQLSetStmtAttr(m_hstmt, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY),
                         0);
        std::wstring wide = fw::WidenCp1252(sql ? sql : "");
        wide.push_back(L'\0');
        SQLRETURN r = ::SQLExecDirectW(m_hstmt, Sql(wide), SQL_NTS);
        if (r == SQL_NO_DATA) return;
        Check(r, SQL_HANDLE_STMT, m_hstmt, "SQLExecDirect");
        SQLSMALLINT columns = 0;
        Check(::SQLNumResultCols(m_hstmt, &columns), SQL_HANDLE_STMT, m_hstmt, "SQLNumResultCols");
        m_nColumns = columns;
    } catch (...) {
        Close();
        throw;
    }
}

bool CForwardQuery::Next() {
    if (m_hstmt == SQL_NULL_HSTMT || m_nColumns == 0) return false;
    SQLRETURN r = ::SQLFetch(m_hstmt);
    if (r == SQL_NO_DATA) return false;
    Check(r, SQL_HANDLE_STMT, m_hstmt, "SQLFetch");
    return true;
}

// Read in parts: a long value comes in as many calls as it needs.
std::string CForwardQuery::GetValue(int column) {
    std::wstring value;
    std::vector<wchar_t> part(1024);
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN r = ::SQLGetData(m_hstmt, static_cast<SQLUSMALLINT>(column + 1), SQL_C_WCHAR, part.data(),
                                   static_cast<SQLLEN>(part.size() * sizeof(wchar_t)), &indicator);
        if (r == SQL_NO_DATA) break;
        Check(r, SQL_HANDLE_STMT, m_hstmt, "SQLGetData");
        if (indicator == SQL_NULL_DATA) return std::string();
        size_t room = part.size() - 1;
        size_t got = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) / sizeof(wchar_t) > room
                         ? room
                         : static_cast<size_t>(indicator) / sizeof(wchar_t);
        value.append(part.data(), got);
        if (r == SQL_SUCCESS) break;
    }
    return fw::NarrowCp1252(value);
}

void CForwardQuery::Close() {
    if (m_hstmt != SQL_NULL_HSTMT) {
        ::SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
        m_hstmt = SQL_NULL_HSTMT;
    }
    m_nColumns = 0;
}

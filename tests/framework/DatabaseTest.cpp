// The ODBC layer against the SQLite data source VORLANDEMO of the ODBC fixture (unixODBC
// behind Wine's odbc32), and the shell links and folder helpers on real files.
#include "framework/Database.h"
#include "framework/FolderFiles.h"
#include "framework/ShellLink.h"

#include <gtest/gtest.h>

#include <string>

TEST(Database, OpensByNameRunsStatementsAndReadsTextAcrossParts) {
    CDatabase db;
    ASSERT_NO_THROW(db.Open("VORLANDEMO"));
    ASSERT_TRUE(db.IsOpen());
    EXPECT_EQ(db.GetConnect().str().substr(0, 19), "ODBC;DSN=VORLANDEMO");
    db.ExecuteSQL("CREATE TEMP TABLE t (a TEXT, b INTEGER)");
    db.ExecuteSQL("INSERT INTO t VALUES ('Stra\xDF"
                  "e \"7\"', NULL)");
    db.ExecuteSQL("UPDATE t SET b = 1 WHERE a = 'keiner'"); // touches no row: still no failure
    CForwardQuery q;
    q.Open(db, "SELECT a, b, substr(hex(zeroblob(3000)), 1, 5000) || 'x' FROM t");
    ASSERT_EQ(q.GetColumnCount(), 3);
    ASSERT_TRUE(q.Next());
    EXPECT_EQ(q.GetValue(0), "Stra\xDF"
                             "e \"7\"")
        << "code page 1252 both ways";
    EXPECT_EQ(q.GetValue(1), "") << "NULL";
    EXPECT_EQ(q.GetValue(2), std::string(5000, '0') + "x") << "longer than one read";
    EXPECT_FALSE(q.Next());
    q.Close();
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.GetConnect(), "");
}

TEST(Database, FailuresCarryTheDriversMessages) {
    CDatabase db;
    try {
        db.Open("GIBTESNICHT");
        ADD_FAILURE() << "opened";
    } catch (CDBException& e) {
        EXPECT_FALSE(e.m_strError.empty());
        EXPECT_NE(e.m_strStateNativeOrigin.find("State:IM002"), std::string::npos)
            << e.m_strStateNativeOrigin;
    }
    EXPECT_FALSE(db.IsOpen());
    db.Open("VORLANDEMO");
    try {
        db.ExecuteSQL("SELECT * FROM \"fehlt\"");
        ADD_FAILURE() << "ran";
    } catch (CDBException& e) {
        EXPECT_NE(e.m_strError.find("fehlt"), std::string::npos) << e.m_strError;
    }
    CForwardQuery q;
    EXPECT_THROW(q.Open(db, "SELEC 1"), CDBException);
}

TEST(ShellLink, PointsToItsTargetAndFoldersListWithoutDots) {
    std::string folder = "C:\\TEMP\\fwlink" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string target = folder + "\\ziel datei.txt";
    HANDLE h = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    HRESULT hr = fw::CreateShellLink(folder + "\\Verknuepfung.lnk", target);
    ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    EXPECT_EQ(fw::ShellLinkPath(folder + "\\Verknuepfung.lnk"), target);
    EXPECT_EQ(fw::ShellLinkPath(folder + "\\fehlt.lnk"), "");
    auto entries = fw::ListFolder(folder + "\\*.*");
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_TRUE(fw::CopyOneFile(target, folder + "\\kopie.txt", false));
    EXPECT_FALSE(fw::CopyOneFile(target, folder + "\\kopie.txt", false)) << "kept";
    EXPECT_TRUE(fw::CopyOneFile(target, folder + "\\kopie.txt", true));
    EXPECT_FALSE(fw::CopyFileRetrying(target, folder + "\\kopie.txt", 10))
        << "an existing file is no reason to wait";
    std::string content;
    EXPECT_FALSE(fw::ReadWholeFile(folder + "\\fehlt.txt", content));
}

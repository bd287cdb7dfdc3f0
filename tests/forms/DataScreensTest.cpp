// The demo's screens of the data services in the real main frame: SQL against the SQLite
// data source VORLANDEMO, and DAT's file jobs under C:\TEMP\VORLAN\.
#include "tests/forms/FormServerFixture.h"

#include <shellapi.h>

#include <string>

using demotrace::Has;

namespace {

class DataScreensTest : public FormServerTestBase {
  protected:
    // The text of the only box shown since the last look.
    std::string OneBox() {
        auto boxes = Boxes();
        fw::TestMode::ClearShown();
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? std::string() : boxes.back().text;
    }
    std::vector<std::string> BoxTexts() {
        std::vector<std::string> texts;
        for (const auto& box : Boxes())
            texts.push_back(box.text);
        fw::TestMode::ClearShown();
        return texts;
    }
};

} // namespace

TEST_F(DataScreensTest, SqlScreenSumsUpTheRowsAsItOpensAndOnF5) {
    LogIn();
    fw::TestMode::ClearShown();
    StartMemo("SQL");
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(OneBox(), "4 Kunden gelesen: M\xFCller, B\xE4"
                        "ckerei \xB4Zum Korn\xB4, Schmidt, ...");
    EXPECT_EQ(Server("W $G(^TEMPSQL(%JOB,1,1,3))"), "K\xF6ln");
    EXPECT_EQ(Server("W $D(^TEMPSQL(%JOB,1,3,3)),$D(^TEMPSQL(%JOB,3))"), "10")
        << "NULL is empty; lower case reads none";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "ASK^QSQL"));
    bool done = false;
    for (const std::string& line : trace)
        done |= line.rfind("DONE^QSQL \"\" \"ODBC;DSN=VORLANDEMO", 0) == 0;
    EXPECT_TRUE(done) << "%F empty, %ODBC the connect string";
    Key(VK_F5);
    EXPECT_EQ(OneBox().substr(0, 16), "4 Kunden gelesen");
}

TEST_F(DataScreensTest, FileScreenJobsReportWhatTheyDid) {
    // What an earlier run left there would keep copies from being made.
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = "C:\\TEMP\\VORLAN\0";
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
    LogIn();
    StartMemo("DAT");
    ASSERT_NE(Form(), nullptr);
    fw::TestMode::ClearShown();
    Key(VK_F5);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Geschrieben: C:\\TEMP\\VORLAN\\BYTES.BIN",
                                                    "Gelesen: c:\\temp\\vorlan\\bytes.bin\r\n4 Bl\xF6"
                                                    "cke, 14 Bytes:\r\n"
                                                    "86 79 82 76 65 78 0 1 60 32 69 110 100 101"}));
    Key(VK_F6);
    auto wide = BoxTexts();
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_NE(wide[1].find("255 71 114 252 110"), std::string::npos) << wide[1];
    Key(VK_F7);
    std::string listing = OneBox();
    EXPECT_NE(listing.find("VERSCHOBEN.BIN"), std::string::npos) << listing;
    EXPECT_NE(listing.find("VERKNUEPFUNG.LNK"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\r\nKOPIE   "), std::string::npos) << listing;
    Key(VK_F8);
    std::string bins = OneBox();
    EXPECT_NE(bins.find("BYTES.BIN"), std::string::npos) << bins;
    EXPECT_EQ(bins.find("WIDE.TXT"), std::string::npos) << bins;
    Key(VK_F9);
    EXPECT_EQ(OneBox(), "Ergebnis:\r\nBRIEF A&B.TXT ()\r\nNOTIZ.TXT (POST)");
    Key(VK_F10);
    EXPECT_EQ(OneBox(), "Ergebnis:\r\nBREIT.TXT: \xFE\xFF_B_r_e_i_t\r\nLABOR.LDT: 8000\xA7"
                        "Befund");
    Key(VK_F11);
    EXPECT_EQ(OneBox(), "Ergebnis:\r\nNOTIZ.TXT: 2 Zeilen");
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"%FILE\"))"), "0");
}

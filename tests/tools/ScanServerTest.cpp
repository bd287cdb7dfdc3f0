// Barcode assignment against dbserver: the barcode library's double reads the code the test
// source printed on the page, the demo's ^QSYS("SCAN") names $$SCAN^QAKT, whose answer is
// where the page goes.
#include "app/SessionTransport.h"
#include "common/MQuote.h"
#include "tests/app/AppFixture.h"
#include "tests/tools/ScanHarness.h"

using scantest::Exists;

namespace {

class ScanServerTest : public scantest::ScanFixture {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("ScanServerTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        m_traceFrom = M("W +$G(^ZTRACE)");
        ::SetDllDirectoryA(BARCODE_DOUBLE_DIR);
        ScanFixture::SetUp();
        m_window.target.folder = m_folder + "ohne";
        m_window.target.barcode = true;
    }
    void TearDown() override {
        ScanFixture::TearDown();
        ::SetDllDirectoryA(nullptr);
        apptest::ReleaseApp();
    }
    const char* FolderName() const override { return "scanserver"; }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    // What this job left in ^ZTRACE since the test began, entries joined by "|".
    std::string Trace() {
        return M("N n,t S n=" + m_traceFrom + ",t=\"\" F  S n=$O(^ZTRACE(n)) W:n=\"\" t Q:n=\"\"  " +
                 "S:$P(^ZTRACE(n),\" \")=$J t=t_$P(^ZTRACE(n),\" \",2,99)_\"|\"");
    }
    std::vector<fw::ShownItem> Shown() {
        auto shown = fw::TestMode::Shown();
        fw::TestMode::ClearShown();
        return shown;
    }

    std::string m_traceFrom;
};

} // namespace

TEST_F(ScanServerTest, TheServerNamesThePathOfTheBarcodeWithAQuote) {
    const std::string path = "C:\\VORLAN\\Akten\\4711\\Befunde\\Bilder\\4711-_A_.jpg";
    ::DeleteFileA(path.c_str());
    Scenario("pages=8\nbarcode=4711-\"A\"\n");
    Scan();
    ASSERT_EQ(m_window.saved.size(), 1u);
    EXPECT_EQ(m_window.saved[0], path);
    EXPECT_TRUE(Exists(path)) << "the record's folders are made";
    EXPECT_EQ(Trace(), "SCAN^QAKT(\"4711-\"\"A\"\"\")|");
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(Exists(m_folder + "ohne\\Bild 001.jpg")) << "never also under a page number";
}

TEST_F(ScanServerTest, UnknownAndMissingCodesAreNotAssigned) {
    Scenario("pages=24\nbarcode=9999-1\n");
    Scan();
    m_window.ReleaseTwain();
    Scenario("pages=24\n");
    Scan();
    ASSERT_EQ(m_window.saved.size(), 2u);
    EXPECT_TRUE(m_window.saved[0].empty());
    EXPECT_TRUE(m_window.saved[1].empty());
    EXPECT_EQ(Trace(), "SCAN^QAKT(\"9999-1\")|SCAN^QAKT(\"\")|");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Das Dokument konnte nicht zugeordnet werden!");
    EXPECT_EQ(shown[1].text, "Das Dokument konnte nicht zugeordnet werden!");
}

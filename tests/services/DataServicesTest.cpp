// The SQL and local file services through the request hub, against the fixture's dbserver,
// the SQLite data source VORLANDEMO (ODBC fixture) and real folders under C:\TEMP.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/ShellLink.h"
#include "services/LocalFileLines.h"
#include "tests/app/AppFixture.h"
#include "tests/common/MRoutine.h"
#include "tests/harness/Harness.h"
#include "tests/services/HubFixture.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

using vorlan::MQuote;

namespace {

// DONE keeps what the SQL routine got; CB what the file routine got, one entry per call.
const std::vector<std::string> kRoutine = {
    "ZDATA ; routines of the data services' tests",
    "DONE S ^ZDATA($J,\"F\")=$G(%F),^ZDATA($J,\"ODBC\")=$G(%ODBC),%INF=\"bleibt\" K %F Q",
    "ECHO S %F=\"Antwort \"_$G(%F) Q",
    "CB S ^ZDATA($J,$I(^ZDATA($J)))=FILE_\"|\"_OKAY M ^ZDATA($J,\"N\",FILE)=^QTEMP(%JOB,\"%FILE\",FILE)",
    " S:$G(ZINF)'=\"\" %INF=ZINF,%F=\"\" Q",
};

class DataServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("DataServicesTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("S %JOB=$J,%DN=\"ZDATA\" K "
          "^QTEMP(%JOB),^ZDATA($J),^TEMPSQL(%JOB),^TEMPDAT(%JOB),^TEMPDAT(\"NAME\"),"
          "^TEMPDAT(\"TEXT\")");
        if (m_routine++ == 0) M(mroutine::RoutineLine("ZDATA", kRoutine));
        fw::TestMode::ClearShown();
    }
    void TearDown() override {
        M("K ^QTEMP(%JOB),^ZDATA($J)");
        apptest::ReleaseApp();
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    void Set(const std::string& reference, const std::string& value) {
        M("S " + reference + "=" + MQuote(value));
    }
    std::string Get(const std::string& reference) { return M("W $G(" + reference + ")"); }
    void Pass() { CRequestHub(TheSession(), m_form).Run(); }
    std::vector<fw::ShownItem> Shown() {
        auto shown = fw::TestMode::Shown();
        fw::TestMode::ClearShown();
        return shown;
    }

    // SQL: the request with its statements.
    void Sql(const std::string& dsn, const std::vector<std::string>& statements,
             const char* routine = "DONE^ZDATA") {
        Set("^QTEMP(%JOB,\"%SQL\",\"ODBC\")", dsn);
        Set("^QTEMP(%JOB,\"%SQL\",\"ROUT\")", routine);
        for (size_t i = 0; i < statements.size(); ++i)
            Set("^QTEMP(%JOB,\"%SQL\",\"SQL\"," + std::to_string(i + 1) + ")", statements[i]);
    }
    std::string Cell(int i, int row, int column) {
        return Get("^TEMPSQL(%JOB," + std::to_string(i) + "," + std::to_string(row) + "," +
                   std::to_string(column) + ")");
    }

    // Files: one job with its 13 parameter pieces.
    void Job(int key, const std::string& path, int operation, const std::string& target = "",
             const std::string& option = "", int blockSize = 512, const std::vector<std::string>& more = {}) {
        Set("^QTEMP(%JOB,\"%FILE\",0," + std::to_string(key) + ")", path);
        std::vector<std::string> pieces = {
            "", "", "", std::to_string(blockSize), std::to_string(operation), target, option};
        pieces.insert(pieces.end(), more.begin(), more.end());
        std::string record;
        for (size_t i = 0; i < pieces.size(); ++i)
            record += (i ? "\xA7" : "") + pieces[i];
        Set("^QTEMP(%JOB,\"%FILE\"," + MQuote(path) + ")", record);
    }
    void Data(const std::string& path, int n, const std::string& value) {
        Set("^QTEMP(%JOB,\"%FILE\"," + MQuote(path) + "," + std::to_string(n) + ")", value);
    }
    // The codes of a value's bytes, NULs included.
    std::string Codes(const std::string& reference) {
        return M("N x,i S x=$G(" + reference + ") F i=1:1:$L(x) W $A(x,i),\" \"");
    }
    // A data node's codes as the job's routine saw it: the request is gone after the pass.
    std::string Node(const std::string& path, int n) {
        return Codes("^ZDATA($J,\"N\"," + MQuote(path) + "," + std::to_string(n) + ")");
    }
    std::vector<std::string> Callbacks() {
        std::vector<std::string> calls;
        for (int i = 1;; ++i) {
            std::string call = Get("^ZDATA($J," + std::to_string(i) + ")");
            if (call.empty()) return calls;
            calls.push_back(call);
        }
    }

    hubtest::FormDouble m_form;
    std::string m_folder = harness::NewFolder("dataservices");
    static int m_routine;
};

int DataServicesTest::m_routine = 0;

// The file with its folders.
void Write(const std::string& path, const std::string& content) {
    SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
    harness::WriteTextFile(path, content);
}

std::string CodesOf(const std::string& bytes) {
    std::string codes;
    for (unsigned char c : bytes)
        codes += std::to_string(c) + " ";
    return codes;
}

using harness::Exists;

} // namespace

// ---- SQL

TEST_F(DataServicesTest, QueriesFillTheirOwnRowsAndOtherStatementsJustRun) {
    Sql("VORLANDEMO",
        {"SELECT nr, name, ort FROM kunden ORDER BY nr", "UPDATE kunden SET gelesen = gelesen + 1",
         "select count(*) from kunden", "SELECT name FROM kunden WHERE nr = 2"});
    Pass();
    EXPECT_EQ(Cell(1, 1, 1), "1");
    EXPECT_EQ(Cell(1, 1, 2), "M\xFCller") << "code page 1252 from the driver's Unicode";
    EXPECT_EQ(Cell(1, 1, 3), "K\xF6ln");
    EXPECT_EQ(Cell(1, 2, 2), "B\xE4"
                             "ckerei \xB4Zum Korn\xB4")
        << "quotes arrive as the acute accent";
    EXPECT_EQ(Cell(1, 3, 3), "") << "NULL";
    EXPECT_EQ(M("W $D(^TEMPSQL(%JOB,1,3,3))"), "1");
    EXPECT_EQ(Cell(1, 4, 2), "Wei\xDF");
    EXPECT_EQ(M("W $D(^TEMPSQL(%JOB,1,5))"), "0");
    EXPECT_EQ(M("W $D(^TEMPSQL(%JOB,3))"), "0") << "a lower-case select runs without reading rows";
    EXPECT_EQ(Cell(4, 1, 1), "B\xE4"
                             "ckerei \xB4Zum Korn\xB4")
        << "each query's rows from 1";
    EXPECT_EQ(Get("^ZDATA($J,\"F\")"), "");
    EXPECT_EQ(Get("^ZDATA($J,\"ODBC\")").substr(0, 19), "ODBC;DSN=VORLANDEMO");
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%SQL\"))"), "0");
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(M("W $G(%INF)"), "bleibt") << "the SQL request alone asks for no report";
}

TEST_F(DataServicesTest, UnknownSourceRunsTheRoutineWithTheDriversMessage) {
    Set("^TEMPSQL(%JOB)", "alt");
    Sql("GIBTESNICHT", {"SELECT 1"});
    Pass();
    EXPECT_NE(Get("^ZDATA($J,\"F\")"), "");
    EXPECT_EQ(Get("^ZDATA($J,\"ODBC\")"), "");
    EXPECT_EQ(Get("^TEMPSQL(%JOB)"), "alt") << "no statement ran";
    M("K ^ZDATA($J)");
    Sql("GIBTESNICHT", {"SELECT 1"}, "ECHO^ZDATA");
    Pass();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.substr(0, 8), "Antwort ") << "the routine's answer is shown";
    EXPECT_GT(shown[0].text.size(), 8u);
}

TEST_F(DataServicesTest, FailingStatementsAreShownAndTheRestRun) {
    std::string tooLong = "SELECT '" + std::string(4100, 'x') + "'";
    Sql("VORLANDEMO", {"SELECT nr FROM kunden ORDER BY nr", "SELECT * FROM fehlt", tooLong, "SELECT 7"});
    Pass();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Folgende Anweisung konnte nicht ausgef\xFChrt werden:\n\nSELECT * FROM fehlt");
    EXPECT_EQ(shown[1].text.find("Folgende Anweisung konnte nicht ausgef\xFChrt werden:\n\nSELECT 'xxx"), 0u);
    EXPECT_EQ(Cell(1, 4, 1), "4") << "rows written before stay";
    EXPECT_EQ(M("W $D(^TEMPSQL(%JOB,3))"), "0") << "a long statement is not cut and run";
    EXPECT_EQ(Cell(4, 1, 1), "7") << "the rest ran";
    EXPECT_NE(Get("^ZDATA($J,\"F\")").find("fehlt"), std::string::npos)
        << "the first failure reaches the routine";
}

TEST_F(DataServicesTest, EmptyFirstStatementOnlyClearsTheRows) {
    Set("^TEMPSQL(%JOB,1,1,1)", "alt");
    Sql("VORLANDEMO", {});
    Pass();
    EXPECT_EQ(M("W $D(^TEMPSQL(%JOB))"), "0");
    EXPECT_EQ(Get("^ZDATA($J,\"ODBC\")").substr(0, 5), "ODBC;") << "the routine ran";
}

// ---- Local files

TEST_F(DataServicesTest, BytesAreWrittenWithEscapesAndReadInBlocks) {
    std::string file = m_folder + "neu\\bytes.bin", back = m_folder + "NEU\\BYTES.BIN";
    Job(1, file, 1, "CB^ZDATA");
    Data(file, 1,
         "A\x01\x02"
         "B\x01");
    Data(file, 2, "\x03\x01\x01");
    Job(2, back, 2, "CB^ZDATA", "", 2);
    M("S ZINF=\"fertig\"");
    Pass();
    EXPECT_EQ(harness::ReadTextFile(file), std::string("A\0B<\x01", 5)) << "folder made, escapes undone";
    EXPECT_EQ(Node(back, 1), CodesOf(std::string("A\0", 2)));
    EXPECT_EQ(Node(back, 2), CodesOf("B<"));
    EXPECT_EQ(Node(back, 3), CodesOf("\x01"));
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%FILE\"))"), "0") << "removed after its routines ran";
    EXPECT_EQ(Callbacks(), (std::vector<std::string>{file + "|1", back + "|1"}));
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 2u) << "each routine's %INF";
    EXPECT_EQ(shown[0].text, "fertig");

    M("K ^ZDATA($J),ZINF");
    Job(1, back, 2, "CB^ZDATA", "", 300);
    Pass();
    EXPECT_EQ(Node(back, 1), CodesOf(std::string("A\0B<\x01", 5)));
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%FILE\"))"), "0");
}

TEST_F(DataServicesTest, JobsThatCannotRunGiveOkayZero) {
    std::string missing = m_folder + "fehlt.bin", present = m_folder + "da.bin";
    Write(present, "abc");
    std::string tooLong = m_folder + std::string(260, 'x');
    Job(1, missing, 2, "CB^ZDATA");
    Job(2, present, 2, "CB^ZDATA", "", 0);
    Job(3, tooLong, 1, "CB^ZDATA");
    Job(4, m_folder, 1, "CB^ZDATA"); // a folder cannot be written as a file
    Pass();
    EXPECT_EQ(Callbacks(),
              (std::vector<std::string>{missing + "|0", present + "|0", tooLong + "|0", m_folder + "|0"}));
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%FILE\"))"), "0");

    // A block size beyond what one node can hold is refused like a missing one; the largest
    // one allowed still reads. (A job's parameters belong to its path: one path a job.)
    M("K ^ZDATA($J)");
    std::string wide = m_folder + "breit.bin", kept = m_folder + "bleibt.bin", large = m_folder + "gross.bin";
    Write(wide, "abcd");
    Write(kept, "abc");
    Write(large, "xyz");
    Job(1, present, 2, "CB^ZDATA", "", vorlan::kBlockSizeLimit + 1);
    Job(2, wide, 4, "CB^ZDATA", "", 0x7FFFFFFF);
    Job(3, kept, 1, "CB^ZDATA", "", vorlan::kBlockSizeLimit + 1);
    Job(4, large, 2, "CB^ZDATA", "", vorlan::kBlockSizeLimit);
    Pass();
    EXPECT_EQ(Callbacks(),
              (std::vector<std::string>{present + "|0", wide + "|0", kept + "|0", large + "|1"}));
    EXPECT_EQ(Node(large, 1), CodesOf("xyz"));
    EXPECT_EQ(harness::ReadTextFile(kept), "abc") << "a refused write leaves the file alone";
}

TEST_F(DataServicesTest, SixteenBitUnitsWithByteOrderMarks) {
    std::string be = m_folder + "be.txt", le = m_folder + "le.txt", plain = m_folder + "plain.txt";
    Job(1, be, 3, "CB^ZDATA", "BE");
    Data(be, 1, "A\xFC");
    Job(2, le, 3, "CB^ZDATA", "LE");
    Data(le, 1, "A\x01\x02");
    Job(3, plain, 3, "CB^ZDATA");
    Data(plain, 1, "xyz");
    Job(4, m_folder + "PLAIN.TXT", 4, "CB^ZDATA", "", 3);
    Pass();
    EXPECT_EQ(harness::ReadTextFile(be), std::string("\xFE\xFF\0A\0\xFC", 6));
    EXPECT_EQ(harness::ReadTextFile(le), std::string("\xFF\xFE"
                                                     "A\0\0\0",
                                                     6));
    EXPECT_EQ(harness::ReadTextFile(plain), std::string("x\0y\0z\0", 6));
    std::string read = m_folder + "PLAIN.TXT";
    EXPECT_EQ(Node(read, 1) + Node(read, 2) + Node(read, 3), CodesOf("xyz"))
        << "odd blocks of 3 bytes lose nothing";
    EXPECT_EQ(Callbacks().size(), 4u);
}

TEST_F(DataServicesTest, CopyShortcutAndMove) {
    std::string source = m_folder + "quelle.txt";
    Write(source, "Inhalt");
    Write(m_folder + "kopie\\alt.txt", "alt");
    CreateDirectoryA((m_folder + "ziel").c_str(), nullptr);
    Job(1, source, 5, m_folder + "kopie\\alt.txt");
    // One parameter node per path: the jobs on the same file spell it differently.
    Job(2, m_folder + "Quelle.txt", 6, m_folder + "links\\Verknuepfung");
    Job(3, m_folder + "kopie\\alt.txt", 7, m_folder + "ziel");
    Job(4, m_folder + "QUELLE.TXT", 7, m_folder + "ziel\\", "neu.txt");
    Pass();
    EXPECT_EQ(harness::ReadTextFile(m_folder + "ziel\\alt.txt"), "Inhalt")
        << "copied over the old file, then moved under its own name";
    EXPECT_FALSE(Exists(m_folder + "kopie\\alt.txt"));
    EXPECT_EQ(fw::ShellLinkPath(m_folder + "links\\Verknuepfung.lnk"), m_folder + "Quelle.txt")
        << "made before the move";
    EXPECT_EQ(harness::ReadTextFile(m_folder + "ziel\\neu.txt"), "Inhalt") << "the option names the target";
    EXPECT_FALSE(Exists(source));
    EXPECT_TRUE(Callbacks().empty()) << "no routine for these";
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%FILE\"))"), "0");
}

TEST_F(DataServicesTest, ListingFiltersUpperCasedNamesAndGivesLocalTimes) {
    std::string folder = m_folder + "liste\\";
    Write(folder + "Brief.txt", "1");
    Write(folder + "bild.jpg", "2");
    CreateDirectoryA((folder + "unter.txt").c_str(), nullptr);
    SYSTEMTIME local{2021, 1, 5, 1, 7, 8, 9, 0}, utc;
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    FILETIME time;
    SystemTimeToFileTime(&utc, &time);
    HANDLE h = CreateFileA((folder + "Brief.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    SetFileTime(h, nullptr, nullptr, &time);
    CloseHandle(h);
    M("S ^TEMPDAT(%JOB,%DN,\"DIR\",9)=\"alt\",COUNT=41");
    Job(1, folder + "*.*", 8, "", ".TXT");
    Pass();
    // The folder's order is the file system's.
    std::string first = Get("^TEMPDAT(%JOB,%DN,\"DIR\",1)"), second = Get("^TEMPDAT(%JOB,%DN,\"DIR\",2)");
    EXPECT_EQ(std::min(first, second) + " " + std::max(first, second), "BRIEF.TXT UNTER.TXT");
    int brief = first == "BRIEF.TXT" ? 1 : 2;
    EXPECT_EQ(Get("^TEMPDAT(%JOB,%DN,\"DIR\"," + std::to_string(brief) + ",\"TIME\")"), "1.1.2021 7:8:9")
        << "local time without leading zeros";
    EXPECT_EQ(M("W $D(^TEMPDAT(%JOB,%DN,\"DIR\",3)),$D(^TEMPDAT(%JOB,%DN,\"DIR\",9))"), "00")
        << "the old listing is gone, the count starts at 1";
    Job(1, folder + "*.jpg", 8, "", "", 512, {"^ZDATA($J,\"R\","});
    Pass();
    EXPECT_EQ(Get("^ZDATA($J,\"R\",\"DIR\",1)"), "BILD.JPG") << "into the result reference";
    EXPECT_EQ(M("W $D(COUNT)"), "0");
}

TEST_F(DataServicesTest, CollectingNumbersCopiesRunsTheCommandAndDeletes) {
    std::string in = m_folder + "eingang\\", out = m_folder + "archiv\\", second = m_folder + "zweit\\";
    Write(in + "brief a&b.txt", "A");
    Write(in + "foto.jpg", "J");
    Write(in + "post+notiz.txt", "N");
    CreateDirectoryA((in + "ordner").c_str(), nullptr);
    std::string log = m_folder + "args.txt";
    SetEnvironmentVariableA("VORLAN_ARGLOG", log.c_str());
    std::string logger = "\"" + harness::ExeFolder() + "ArgLogger.exe\" ";
    Job(1, in + "*.*", 9, out, "DOK", 512, {"", second, "K", logger, " ", "1"});
    Pass();
    SetEnvironmentVariableA("VORLAN_ARGLOG", nullptr);
    // Numbered in the file system's order.
    std::string one = harness::ReadTextFile(out + "DOK1.TXT"), two = harness::ReadTextFile(out + "DOK2.TXT");
    EXPECT_EQ(std::min(one, two) + std::max(one, two), "AN");
    EXPECT_EQ(harness::ReadTextFile(second + "K1.TXT") + harness::ReadTextFile(second + "K2.TXT"), one + two);
    EXPECT_FALSE(Exists(out + "DOK3.TXT")) << "neither the picture nor the folder";
    EXPECT_FALSE(Exists(in + "brief a&b.txt")) << "deleted after the copies";
    EXPECT_TRUE(Exists(in + "foto.jpg"));
    EXPECT_EQ(M("W $D(^TEMPDAT(\"NAME\",\"BRIEF A&B.TXT\"))"), "1");
    EXPECT_EQ(Get("^TEMPDAT(\"NAME\",\"NOTIZ.TXT\")"), "POST");
    std::string args = harness::ReadTextFile(log);
    EXPECT_NE(args.find(out + "DOK1.TXT\n" + out + "DOK1.TXT\n"), std::string::npos) << args;
    EXPECT_EQ(std::count(args.begin(), args.end(), '\n'), 4);

    // Without a prefix: the subfolder before "+", and a copy that exists is not overwritten.
    Write(in + "post+notiz.txt", "neu");
    Write(out + "POST\\NOTIZ.TXT", "alt");
    Job(1, in + "*.*", 9, out);
    Pass();
    EXPECT_EQ(harness::ReadTextFile(out + "POST\\NOTIZ.TXT"), "alt");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "Fehler: Es konnte nicht auf das Laufwerk " + out +
                  " zugegriffen werden.\n Bitte kontaktieren Sie Ihren Netzwerk-Administrator!");
    EXPECT_TRUE(Exists(in + "post+notiz.txt")) << "kept after the failed copy";
}

TEST_F(DataServicesTest, ImportsNarrowWideAndBinaryFiles) {
    std::string in = m_folder + "import\\", out = m_folder + "importiert\\";
    Write(in + "labor.ldt", "8000\tBefund\r\nName \"M\xFCller\"\r\n");
    Write(in + "breit.txt", std::string("\xFE\xFF\0A\0\"\0\t", 8));
    Write(in + "bild.jpg", std::string("\xFF\xD8\0\x1D", 4));
    Write(in + "DAD-ADUDIRU.TXT", "schon da");
    Write(in + "rest.pdf", "%PDF");
    Set("^TEMPDAT(\"TEXT\",\"DAD-ADUDIRU.TXT\")", "x");
    Job(1, in + "*.*", 10, out);
    Pass();
    EXPECT_EQ(Get("^TEMPDAT(\"TEXT\",\"LABOR.LDT\",1)"), "8000\xA7"
                                                         "Befund");
    EXPECT_EQ(Get("^TEMPDAT(\"TEXT\",\"LABOR.LDT\",2)"), "Name $M\xFCller$");
    EXPECT_EQ(Get("^TEMPDAT(\"TEXT\",\"BREIT.TXT\",1)"), "\xFE\xFF_A_\"__") << "wide: NUL and tab become _";
    EXPECT_EQ(Codes("^TEMPDAT(\"TEXT\",\"BILD.JPG\",1)"), CodesOf(std::string("\xFF\xD8\0\xA7", 4)))
        << "binary bytes arrive whole";
    EXPECT_EQ(M("W $D(^TEMPDAT(\"TEXT\",\"DAD-ADUDIRU.TXT\",1)),$D(^TEMPDAT(\"TEXT\",\"REST.PDF\"))"), "00");
    EXPECT_EQ(harness::ReadTextFile(out + "LABOR.LDT").substr(0, 4), "8000");
    EXPECT_EQ(M("W $D(^TEMPDAT(\"NAME\",\"LABOR.LDT\"))"), "1");
    EXPECT_FALSE(Exists(in + "labor.ldt")) << "archived";
    EXPECT_TRUE(Exists(in + "DAD-ADUDIRU.TXT")) << "not taken again";
    EXPECT_TRUE(Exists(in + "rest.pdf"));

    // Import all: every file but documents and programs, under its own name, then moved.
    Write(in + "Notiz.txt", std::string(600, 'a') + "\n\"b\"\tc\n");
    Job(1, in + "*.*", 11, out + "alle\\", "", 512, {"^ZDATA($J,"});
    Pass();
    EXPECT_EQ(Get("^ZDATA($J,\"TEXT\",\"Notiz.txt\",1)"), std::string(511, 'a'));
    EXPECT_EQ(Get("^ZDATA($J,\"TEXT\",\"Notiz.txt\",2)"), std::string(89, 'a'))
        << "lines of at most 511 bytes";
    EXPECT_EQ(Get("^ZDATA($J,\"TEXT\",\"Notiz.txt\",3)"), "$b$\xA7"
                                                          "c");
    EXPECT_EQ(M("W $D(^ZDATA($J,\"TEXT\",\"rest.pdf\"))"), "0");
    EXPECT_TRUE(Exists(out + "alle\\Notiz.txt"));
    EXPECT_FALSE(Exists(in + "Notiz.txt"));
    EXPECT_TRUE(Exists(in + "rest.pdf"));
}

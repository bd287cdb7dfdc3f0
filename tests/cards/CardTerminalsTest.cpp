// The CT-API terminal readers (kinds 2 to 7) through the demo screen KRT against the
// fixture's dbserver: the terminal double (CtApiDouble.cpp) lies beside this program under
// every library name, set up per case by its scenario file; what arrived is read from
// ^ZCARD("LAST"), which CARD^QKRT keeps, from the session's lines and from the double's log.
#include "common/MQuote.h"
#include "framework/TestMode.h"
#include "tests/cards/TestCards.h"
#include "tests/forms/FormServerFixture.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace {

// The texts the user reads, as they stand.
const char* const kLibraryMissing =
    "Die Datei ct_api_usb.dll konnte nicht geladen werden.\nStellen Sie sicher "
    "das sich diese Datei im Verzeichnis der VORLAN.exe befindet!";
const char* const kNoConnection = "Es konnte keine Verbindung zum Kartenlesegerät aufgebaut werden.\nBitte "
                                  "überprüfen Sie, ob das Gerät korrekt angeschlossen ist.";
const char* const kNoTerminal = "Keine Verbindung zum Kartenlesegerät!";
const char* const kUnreadable = "Die Karte konnte nicht gelesen werden.";
const char* const kEgkProblem = "Probleme beim Einlesen der Daten!";
const char* const kEraseFailed = "Datensatz konnte nicht gelöscht werden!";
const char* const kEjectFailed = "Fehler beim Lesen der Karte!";
const char* const kZlibMissing =
    "Die Datei zlibwapi.dll konnte nicht geladen werden.\nStellen Sie sicher das "
    "sich diese Datei im Verzeichnis der VORLAN.exe befindet!";
const char* const kOrgaMissing = "DLL kann nicht eingebunden werden";
const char* const kOrgaConnect =
    "Verbindungsaufbau zum CT nicht möglich. Bitte das CT anschliessen und einschalten!";
const char* const kOrgaInsert = "Karte konnte nicht gelesen werden. Bitte Karte einführen!";
const char* const kOrgaReadFailed = "Daten konnten nicht gelesen werden!";
const char* const kOrgaEraseFailed = "Daten konnten nicht gelöscht werden!";
const char* const kTestMissing = "Fehler - keine CTCPSC31.dll";
const char* const kNoReaderKind = "Bitte stellen Sie ein Kartenlesegerät über [ZOZE] ein!";

const char* const kRoutineLine =
    "S %QCC=$G(%WIN(\"READCARD\",\"RTN\")) D:%QCC'=\"\" @%QCC K %WIN(\"READCARD\")";

// One command in the double's log: terminal number, addresses, room offered, bytes.
std::string Cmd(int ctn, int dad, int offered, const std::string& bytes) {
    return "data ctn=" + std::to_string(ctn) + " dad=" + std::to_string(dad) +
           " sad=2 lenr=" + std::to_string(offered) + " cmd=" + bytes;
}

const std::string kReset = "20 11 00 00 00";
const std::string kRequestDesk = "20 12 01 01 03 80 01 0A";
const std::string kSelectKvk = "00 A4 04 00 06 D2 76 00 00 01 01";
const std::string kReadKvk = "00 B0 00 00 00";
const std::string kSelectEgk = "00 A4 04 0C 06 D2 76 00 00 01 02";

std::vector<std::string> KvkReadOf(int ctn) {
    return {Cmd(ctn, 0, 2048, kSelectKvk), Cmd(ctn, 0, 8096, kReadKvk)};
}

// The reads of a processor card after its selection, block by block as they fall for the test
// card: EF.PD in two blocks, EF.VD with its GVD in five.
std::vector<std::string> EgkReadOf(int ctn, bool extendedPd) {
    std::vector<std::string> reads = {
        Cmd(ctn, 0, 256, kSelectEgk), Cmd(ctn, 0, 256, "00 B0 8C 00 00"),
        Cmd(ctn, 0, 8096, extendedPd ? "00 B0 81 00 00 00 00" : "00 B0 81 00 00"),
        Cmd(ctn, 0, 8096, "00 B0 01 00 00"), Cmd(ctn, 0, 8096, "00 B0 82 00 00 00 00")};
    for (const char* block : {"01", "02", "03", "04"})
        reads.push_back(Cmd(ctn, 0, 8096, std::string("00 B0 ") + block + " 00 00"));
    return reads;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A library beside the program taken away, or swapped for another file, while it lives.
class SwappedFile {
  public:
    SwappedFile(const std::string& path, const std::string& replacement = "") : m_path(path) {
        ::DeleteFileA((path + ".away").c_str());
        m_moved = ::MoveFileA(path.c_str(), (path + ".away").c_str()) != 0;
        if (!replacement.empty()) ::CopyFileA(replacement.c_str(), path.c_str(), FALSE);
    }
    ~SwappedFile() {
        ::DeleteFileA(m_path.c_str());
        if (m_moved) ::MoveFileA((m_path + ".away").c_str(), m_path.c_str());
    }
    SwappedFile(const SwappedFile&) = delete;
    SwappedFile& operator=(const SwappedFile&) = delete;
    bool Moved() const { return m_moved; }

  private:
    std::string m_path;
    bool m_moved = false;
};

} // namespace

class CardTerminalsTest : public FormServerTestBase {
  protected:
    std::string folder;

    void SetUp() override {
        FormServerTestBase::SetUp();
        folder = harness::NewFolder("cards");
        // The screen reads at once as it opens: a card is there.
        Scenario("card kvk");
        Once("K ^ZCARD(\"LAST\"),^ZCARD(\"PORT\") S ^ZCARD(\"ART\")=3");
        LogIn();
        StartMemo("KRT");
        ASSERT_NE(Form(), nullptr);
        ASSERT_EQ(Form()->GetFormName().str(), "KRT");
        fw::TestMode::ClearShown();
        recorder->Take();
        Trace();
    }
    void TearDown() override {
        Once("K ^ZCARD(\"PORT\") S ^ZCARD(\"ART\")=3");
        ::SetEnvironmentVariableA("VORLAN_CTAPI_SCENARIO", nullptr);
        FormServerTestBase::TearDown();
    }

    // A fresh scenario (and log) for the double: one setting a line.
    void Scenario(const std::string& settings) {
        std::string path = folder + "scenario.txt";
        ::DeleteFileA((folder + "ctapi.log").c_str());
        ::DeleteFileA((path + ".turn").c_str());
        harness::WriteTextFile(path, settings + "\nlog " + folder + "ctapi.log\n");
        ::SetEnvironmentVariableA("VORLAN_CTAPI_SCENARIO", path.c_str());
    }
    // KRT closed and opened again: it reads as it opens.
    void Reopen() {
        if (CBaseMDI* krt = Active()) krt->SendMessage(WM_CLOSE);
        harness::Pump();
        ASSERT_TRUE(Frames().empty());
        fw::TestMode::ClearShown();
        recorder->Take();
        Trace();
        StartMemo("KRT");
        ASSERT_NE(Form(), nullptr);
    }
    // One reading with the kind's key; the session's lines of it.
    std::vector<std::string> Read(int kind) {
        fw::TestMode::ClearShown();
        recorder->Take();
        Trace();
        Key(static_cast<WPARAM>(VK_F5 + kind));
        return recorder->Take();
    }
    // The double's log: every call, one a line.
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::string text = harness::ReadTextFile(folder + "ctapi.log");
        for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
            lines.push_back(text.substr(at, nl - at));
        return lines;
    }
    // The commands of the log without their answers.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const std::string& line : Log())
            if (line.rfind("data ", 0) == 0) commands.push_back(line.substr(0, line.find(" -> ")));
        return commands;
    }
    std::vector<std::string> Calls(const char* kind) const {
        std::vector<std::string> calls;
        for (const std::string& line : Log())
            if (line.rfind(kind, 0) == 0) calls.push_back(line);
        return calls;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const fw::ShownItem& box : Boxes())
            texts.push_back(box.text);
        return texts;
    }
    // ^ZCARD("LAST",subscript) holds exactly the text.
    static bool LastIs(const std::string& subscript, const std::string& text) {
        // M reads strictly left to right: the literal, which may be a concatenation, in brackets.
        return Once("W $G(^ZCARD(\"LAST\"," + subscript + "))=(" + vorlan::MQuote(text) + ")") == "1";
    }
    static bool LastHas(const std::string& subscript) {
        return Once("W $D(^ZCARD(\"LAST\"," + subscript + "))") != "0";
    }
    void ExpectKvk(const testcards::KvkOptions& card = {}) {
        std::map<int, std::string> fields = testcards::KvkFields(card);
        for (int n = 1; n <= 18; ++n) {
            if (fields.count(static_cast<size_t>(n)))
                EXPECT_TRUE(LastIs(std::to_string(n), fields[n])) << "field " << n;
            else
                EXPECT_FALSE(LastHas(std::to_string(n))) << "field " << n << " was not on the card";
        }
    }
    void ExpectEgk(bool gvd = true) {
        EXPECT_TRUE(LastIs("\"CARD\"", "EGK"));
        EXPECT_TRUE(LastIs("\"PD\"", testcards::WithoutLineBreaks(testcards::PdDocument())));
        EXPECT_TRUE(LastIs("\"VD\"", testcards::WithoutLineBreaks(testcards::VdDocument())));
        if (gvd)
            EXPECT_TRUE(LastIs("\"GVD\"", testcards::WithoutLineBreaks(testcards::GvdDocument())));
        else
            EXPECT_FALSE(LastHas("\"GVD\"")) << "no GVD line";
        EXPECT_FALSE(LastHas("1")) << "no KVK field";
    }
    // The server's routine ran once after the reading and the request is gone.
    void ExpectRoutineRan(const std::vector<std::string>& lines) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kRoutineLine), 1);
        std::vector<std::string> trace = Trace();
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "CARD^QKRT"), 1);
        EXPECT_EQ(Server("W $D(%WIN(\"READCARD\"))"), "0");
    }
};

TEST_F(CardTerminalsTest, OpeningReadsWithTheScreensKindAndShowsTheCard) {
    // SetUp opened KRT with kind 3 (^ZCARD("ART")) on a terminal that answers on every port.
    EXPECT_TRUE(LastIs("\"CARD\"", "KVK"));
    EXPECT_TRUE(LastIs("\"PORT\"", "1")) << "the search's first port opened";
    ExpectKvk();
    // The fields were made before the reading: the screen's timer shows the card.
    const std::string name = "Dr. J\xF6rg \"Jojo\" von Sch\xE4"
                             "fer";
    EXPECT_TRUE(harness::PumpUntil([&] { return fw::WindowText(Field(4)) == name; }, 10000))
        << fw::WindowText(Field(4));
    EXPECT_EQ(fw::WindowText(Field(8)), "1229");

    // Without ^ZCARD("ART") the screen reads with kind 5, CARDSTAR on port 1.
    Once("K ^ZCARD(\"ART\")");
    Scenario("card egk");
    Reopen();
    EXPECT_EQ(Calls("load"), std::vector<std::string>{"load ct_api_usb.dll"});
    ExpectEgk();
    const std::string sizes =
        "PD " + std::to_string(testcards::WithoutLineBreaks(testcards::PdDocument()).size()) + ", VD " +
        std::to_string(testcards::WithoutLineBreaks(testcards::VdDocument()).size()) + ", GVD " +
        std::to_string(testcards::WithoutLineBreaks(testcards::GvdDocument()).size()) + " Zeichen";
    EXPECT_TRUE(harness::PumpUntil([&] { return fw::WindowText(Field(9)) == sizes; }, 10000))
        << fw::WindowText(Field(9));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CardTerminalsTest, EveryTerminalKindReadsTheMemoryCard) {
    struct Kind {
        int kind;
        const char* library;
        int ctn;
        bool cardLine;
        std::vector<std::string> commands;
    };
    const std::string kEjectOrga = "20 15 01 00 01 01";
    const std::vector<Kind> kinds = {
        {2, "CTORG32.dll", 1, false,
         Join({{Cmd(1, 1, 256, kReset), Cmd(1, 1, 256, "20 12 01 00 01 01")},
               KvkReadOf(1),
               {Cmd(1, 1, 256, kEjectOrga)}})},
        {3, "CTORG32.dll", 1, true,
         Join({{Cmd(1, 1, 256, kReset), Cmd(1, 1, 256, "20 12 01 00")},
               KvkReadOf(1),
               {Cmd(1, 1, 256, kEjectOrga)}})},
        {4, "ctcym.dll", 137, true,
         Join({{Cmd(137, 1, 256, kReset), Cmd(137, 1, 256, kRequestDesk)},
               KvkReadOf(137),
               {Cmd(137, 1, 256, "20 15 01 00")}})},
        {5, "ct_api_usb.dll", 1, true,
         Join({{Cmd(1, 1, 256, kReset), Cmd(1, 1, 256, kRequestDesk)},
               KvkReadOf(1),
               {Cmd(1, 1, 256, "20 15 01 00")}})},
        {6, "CTPCSC31.dll", 1, false,
         Join({{Cmd(1, 1, 256, "20 11 00 00"), Cmd(1, 1, 256, kRequestDesk)}, KvkReadOf(1)})},
        {7, "ctpcsc32kv.dll", 137, true,
         Join({{Cmd(137, 1, 256, kReset), Cmd(137, 1, 256, kRequestDesk)},
               KvkReadOf(137),
               {Cmd(137, 1, 256, "20 15 01 00")}})},
    };
    testcards::KvkOptions card;
    card.further = true;
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.kind);
        Scenario("card kvk\nkvk-further");
        std::vector<std::string> lines = Read(k.kind);
        EXPECT_TRUE(Boxes().empty()) << (Boxes().empty() ? "" : Boxes()[0].text);
        ExpectKvk(card);
        EXPECT_EQ(LastHas("\"CARD\""), k.cardLine);
        if (k.cardLine) {
            EXPECT_TRUE(LastIs("\"CARD\"", "KVK"));
        }
        ExpectRoutineRan(lines);

        // The library is loaded for the one reading; one terminal number serves every call.
        std::vector<std::string> log = Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(Lower(log.front()), Lower(std::string("load ") + k.library));
        EXPECT_EQ(log.back().rfind("free ", 0), 0u);
        std::string ctn = "ctn=" + std::to_string(k.ctn);
        std::string init = "init " + ctn + " pn=" + (k.kind == 6 ? "0" : "1") + " -> 0";
        EXPECT_EQ(Calls("init"), std::vector<std::string>{init});
        EXPECT_EQ(Calls("close"), std::vector<std::string>{"close " + ctn + " -> 0"});
        EXPECT_EQ(Commands(), k.commands);

        // Each field goes out as it comes, quoted: doubled quotes, control bytes as $C().
        std::map<int, std::string> fields = testcards::KvkFields(card);
        for (int n : {8, 18}) {
            std::string line = "S %WIN(\"READCARD\"," + std::to_string(n) + ")=" + vorlan::MQuote(fields[n]);
            EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
        }
        if (k.cardLine) {
            auto cardLine = std::find(lines.begin(), lines.end(), "S %WIN(\"READCARD\",\"CARD\")=\"KVK\"");
            auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
                return l.rfind("S %WIN(\"READCARD\",1)=", 0) == 0;
            });
            EXPECT_LT(cardLine, first) << "the card kind before the card's data";
        }
    }
}

TEST_F(CardTerminalsTest, ProcessorCardDocumentsArriveWithEitherAnswerSize) {
    struct Case {
        int kind;
        int ctn;
        const char* settings;
    };
    for (const Case& c :
         {Case{5, 1, "card egk"}, Case{5, 1, "card egk\nanswers whole"}, Case{4, 137, "card egk"},
          Case{7, 137, "card egk\nanswers whole"}, Case{3, 1, "card egk"}}) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.settings);
        Scenario(c.settings);
        std::vector<std::string> lines = Read(c.kind);
        EXPECT_TRUE(Boxes().empty()) << (Boxes().empty() ? "" : Boxes()[0].text);
        ExpectEgk();
        ExpectRoutineRan(lines);
        std::vector<std::string> commands = Commands();
        std::vector<std::string> reads = EgkReadOf(c.ctn, false);
        ASSERT_GE(commands.size(), 2 + reads.size());
        EXPECT_EQ(std::vector<std::string>(commands.begin() + 2,
                                           commands.begin() + 2 + static_cast<long>(reads.size())),
                  reads);

        // The kind line first, the old pieces killed, then the pieces in order, PD to GVD.
        auto at = [&](const std::string& start) {
            return std::find_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.rfind(start, 0) == 0; }) -
                   lines.begin();
        };
        EXPECT_LT(at("S %WIN(\"READCARD\",\"CARD\")=\"EGK\""), at("K ^TEMPEGK(%JOB)"));
        EXPECT_LT(at("K ^TEMPEGK(%JOB)"), at("S ^TEMPEGK(%JOB,\"EGK-EF-PD\",1)="));
        EXPECT_LT(at("S ^TEMPEGK(%JOB,\"EGK-EF-PD\",1)="), at("S ^TEMPEGK(%JOB,\"EGK-EF-VD\",1)="));
        EXPECT_LT(at("S ^TEMPEGK(%JOB,\"EGK-EF-VD\",1)="), at("S ^TEMPEGK(%JOB,\"EGK-EF-GVD\",1)="));
        EXPECT_LT(at("S ^TEMPEGK(%JOB,\"EGK-EF-GVD\",1)="), at(kRoutineLine));
    }

    // The files in C:\TEMP: the documents as the card holds them, and unpacked.
    testcards::EgkFiles card = testcards::EgkCard();
    EXPECT_EQ(harness::ReadTextFile("C:\\TEMP\\EF.PD.xml.gz"), card.pd.substr(2, 0x110 - 2));
    EXPECT_EQ(harness::ReadTextFile("C:\\TEMP\\EF.PD.xml"), testcards::PdDocument());
    EXPECT_EQ(harness::ReadTextFile("C:\\TEMP\\EF.VD.xml"), testcards::VdDocument());
    EXPECT_EQ(harness::ReadTextFile("C:\\TEMP\\EF.GVD.xml"), testcards::GvdDocument());
}

TEST_F(CardTerminalsTest, GvdAbsentOrOnABlockBoundary) {
    Scenario("card egk\negk-nogvd");
    std::vector<std::string> lines = Read(5);
    EXPECT_TRUE(Boxes().empty());
    ExpectEgk(false);
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find("EGK-EF-GVD") != std::string::npos; }));
    EXPECT_EQ(harness::ReadTextFile("C:\\TEMP\\EF.GVD.xml.gz"), "") << "an empty file stands for it";
    std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), Cmd(1, 0, 8096, "00 B0 03 00 00")), 0)
        << "blocks up to the VD's end only";

    Scenario("card egk\negk-gvd-block\nanswers whole");
    Read(5);
    EXPECT_TRUE(Boxes().empty());
    ExpectEgk();
}

TEST_F(CardTerminalsTest, MobileTerminalErasesItsRecordThenEjects) {
    const std::string erase = Cmd(1, 0, 256, "00 0E 00 00");
    struct Case {
        int kind;
        const char* card;
        std::string request, eject;
    };
    for (const Case& c :
         {Case{5, "kvk", "20 12 01 00", "20 15 01 00"}, Case{5, "egk", "20 12 01 00", "20 15 01 00"},
          Case{3, "egk", "20 12 01 00 01 01", "20 15 01 00 01 01"}}) {
        SCOPED_TRACE(std::to_string(c.kind) + c.card);
        Scenario(std::string("terminal mobile\ncard ") + c.card);
        Read(c.kind);
        EXPECT_TRUE(Boxes().empty()) << (Boxes().empty() ? "" : Boxes()[0].text);
        if (std::string(c.card) == "kvk")
            ExpectKvk();
        else
            ExpectEgk();
        std::vector<std::string> commands = Commands();
        ASSERT_GE(commands.size(), 4u);
        EXPECT_EQ(commands[1], Cmd(1, 1, 256, c.request));
        if (std::string(c.card) == "egk") {
            EXPECT_EQ(commands[4], Cmd(1, 0, 8096, "00 B0 81 00 00 00 00")) << "EF.PD with extended Le";
        }
        EXPECT_EQ(std::vector<std::string>(commands.end() - 2, commands.end()),
                  (std::vector<std::string>{erase, Cmd(1, 1, 256, c.eject)}));
    }

    // A record that did not reach the server stays on the terminal.
    Scenario("terminal mobile\ncard kvk\nrequest 9001");
    Read(5);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kEgkProblem});
    std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), erase), 0);
    EXPECT_EQ(commands.back(), Cmd(1, 1, 256, "20 15 01 00")) << "the card still comes out";
}

TEST_F(CardTerminalsTest, PortSearchFindsTheTerminalAndAGivenPortIsTriedOnce) {
    Scenario("port 3\ncard kvk");
    std::vector<std::string> lines = Read(3);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Calls("init"), (std::vector<std::string>{"init ctn=1 pn=1 -> -10", "init ctn=1 pn=2 -> -10",
                                                       "init ctn=1 pn=3 -> 0"}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "S %WIN(\"READCARD\",\"PORT\")=3"), 1) << "as a number";
    EXPECT_TRUE(LastIs("\"PORT\"", "3"));
    ExpectKvk();

    Once("S ^ZCARD(\"PORT\")=5");
    Scenario("port 3\ncard kvk");
    lines = Read(3);
    EXPECT_EQ(Calls("init"), (std::vector<std::string>{"init ctn=1 pn=5 -> -10"}));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoConnection});
    EXPECT_TRUE(LastIs("\"PORT\"", "5")) << "no port line";
    ExpectRoutineRan(lines);

    Once("S ^ZCARD(\"PORT\")=3");
    Scenario("port 3\ncard kvk");
    Read(3);
    EXPECT_EQ(Calls("init"), (std::vector<std::string>{"init ctn=1 pn=3 -> 0"}));
    EXPECT_TRUE(Boxes().empty());

    // A port that is no number opens nothing.
    Once("S ^ZCARD(\"PORT\")=\"3; K ^ZCARD\"");
    Scenario("card kvk");
    Read(3);
    EXPECT_TRUE(Calls("init").empty());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoConnection});
}

TEST_F(CardTerminalsTest, EachFailureSaysWhatFailedAndTheRoutineStillRuns) {
    struct Case {
        int kind;
        std::string settings;
        std::vector<std::string> boxes;
    };
    const std::vector<Case> cases = {
        {5, "card kvk\ninit-fail 1", {kNoConnection}},
        {5, "card kvk\nreset 6F00", {kNoTerminal}},
        {4, "terminal mobile\ncard kvk", {kNoTerminal}},
        {7, "terminal mobile\ncard kvk", {kNoTerminal}},
        {5, "card none", {kUnreadable}},
        {5, "terminal mobile\ncard none", {kUnreadable}},
        {5, "card kvk\nrequest 9001", {kEgkProblem}},
        {5, "terminal mobile\ncard kvk\nerase 6581", {kEraseFailed}},
        {5, "card kvk\neject 6400", {kEjectFailed}},
        {4, "card kvk\neject 6200", {}},
        {3, "card kvk\nreset-fails-first", {kNoTerminal}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.settings);
        Scenario(c.settings);
        std::vector<std::string> lines = Read(c.kind);
        EXPECT_EQ(BoxTexts(), c.boxes);
        for (const fw::ShownItem& box : Boxes())
            EXPECT_EQ(box.id & 0xF, MB_OK);
        ExpectRoutineRan(lines);
        std::vector<std::string> log = Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back().rfind("free ", 0), 0u) << "the library is given back";
        std::vector<std::string> inits = Calls("init");
        bool opened = std::any_of(inits.begin(), inits.end(),
                                  [](const std::string& l) { return l.find("-> 0") != std::string::npos; });
        EXPECT_EQ(Calls("close").size(), opened ? 1u : 0u) << "an open terminal is closed";
    }

    // A KVK whose last record runs past the memory: the fields before it arrive.
    Scenario("card kvk\nkvk-overrun");
    Read(5);
    EXPECT_TRUE(Boxes().empty());
    testcards::KvkOptions overrun;
    overrun.overrun = true;
    ExpectKvk(overrun);
}

TEST_F(CardTerminalsTest, MissingOrIncompleteLibrariesAreReported) {
    std::string dir = harness::ExeFolder();
    struct Case {
        int kind;
        const char* file;
        const char* box;
    };
    for (const Case& c : {Case{5, "ct_api_usb.dll", kLibraryMissing}, Case{3, "CTORG32.dll", kLibraryMissing},
                          Case{4, "ctcym.dll", kLibraryMissing}, Case{7, "ctpcsc32kv.dll", kLibraryMissing},
                          Case{2, "CTORG32.dll", kOrgaMissing}, Case{6, "CTPCSC31.dll", kTestMissing}}) {
        SCOPED_TRACE(c.file);
        for (bool withoutClose : {false, true}) {
            Scenario("card kvk");
            SwappedFile away(dir + c.file, withoutClose ? dir + "ct_api_noclose.dll" : "");
            ASSERT_TRUE(away.Moved());
            std::vector<std::string> lines = Read(c.kind);
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box}) << withoutClose;
            EXPECT_TRUE(Calls("init").empty()) << "nothing read";
            EXPECT_EQ(Calls("load").size(), withoutClose ? 1u : 0u);
            EXPECT_EQ(Calls("free").size(), Calls("load").size());
            ExpectRoutineRan(lines);
        }
    }

    // Without zlibwapi.dll the eGK's documents are not unpacked: nothing goes to ^TEMPEGK.
    {
        Scenario("card egk");
        SwappedFile away(dir + "zlibwapi.dll");
        ASSERT_TRUE(away.Moved());
        std::vector<std::string> lines = Read(5);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{kZlibMissing});
        EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find("^TEMPEGK") != std::string::npos;
        }));
        EXPECT_TRUE(LastIs("\"CARD\"", "EGK"));
        EXPECT_FALSE(LastHas("\"PD\""));
        ExpectRoutineRan(lines);

        // The organiser terminal unpacks nothing: it says so and reads on.
        Scenario("card kvk");
        Read(2);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{kOrgaMissing});
        ExpectKvk();
    }
}

TEST_F(CardTerminalsTest, OrganiserAsksToConnectAndToInsertTheCard) {
    // No terminal on any port: OK tries again, Cancel gives up.
    Scenario("card kvk\ninit-fail 1 2 3 4 5 6 7 8 9");
    fw::TestMode::PushAnswer("box IDOK");
    fw::TestMode::PushAnswer("box IDCANCEL");
    std::vector<std::string> lines = Read(2);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kOrgaConnect, kOrgaConnect}));
    for (const fw::ShownItem& box : Boxes())
        EXPECT_EQ(box.id & 0xF, MB_OKCANCEL);
    EXPECT_EQ(Calls("init").size(), 16u) << "ports 1 to 8, twice";
    EXPECT_FALSE(LastHas("1"));
    ExpectRoutineRan(lines);

    // The first reset fails: the terminal is closed before OK opens it again.
    Scenario("card kvk\nreset-fails-first");
    fw::TestMode::PushAnswer("box IDOK");
    lines = Read(2);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kOrgaConnect});
    std::vector<std::string> log = Log();
    std::vector<std::string> calls;
    for (const std::string& line : log)
        if (line.rfind("data", 0) != 0) calls.push_back(line);
    for (std::string& call : calls)
        call = Lower(call);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"load ctorg32.dll", "init ctn=1 pn=1 -> 0", "close ctn=1 -> 0",
                                        "init ctn=1 pn=1 -> 0", "close ctn=1 -> 0", "free ctorg32.dll"}));
    ExpectKvk();
    EXPECT_FALSE(LastHas("\"CARD\"")) << "no card kind line";

    // No card: OK asks again, Cancel ends without reading.
    Scenario("card none");
    fw::TestMode::PushAnswer("box IDOK");
    fw::TestMode::PushAnswer("box IDCANCEL");
    lines = Read(2);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kOrgaInsert, kOrgaInsert}));
    std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), Cmd(1, 1, 256, "20 12 01 00 01 01")), 2);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), Cmd(1, 0, 8096, kReadKvk)), 0);
    EXPECT_EQ(Calls("close").size(), 1u);
    ExpectRoutineRan(lines);
}

TEST_F(CardTerminalsTest, OrganiserReadsErasesAndEjects) {
    Scenario("terminal mobile\ncard kvk");
    Read(2);
    EXPECT_TRUE(Boxes().empty());
    ExpectKvk();
    std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::vector<std::string>(commands.end() - 2, commands.end()),
              (std::vector<std::string>{Cmd(1, 0, 256, "00 0E 00 00"), Cmd(1, 1, 256, "20 15 01 00 01 01")}));

    struct Case {
        const char* settings;
        const char* box;
    };
    for (const Case& c :
         {Case{"terminal mobile\ncard kvk\nerase 6581", kOrgaEraseFailed}, Case{"card egk", kOrgaReadFailed},
          Case{"card kvk\nanswers whole\nkvk-further", nullptr}}) {
        SCOPED_TRACE(c.settings);
        Scenario(c.settings);
        Read(2);
        EXPECT_EQ(BoxTexts(), c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
        EXPECT_EQ(Commands().back(), Cmd(1, 1, 256, "20 15 01 00 01 01")) << "ejected";
    }
}

TEST_F(CardTerminalsTest, KindsAboveSevenNameTheSetting) {
    Once("S ^ZCARD(\"ART\")=8");
    Scenario("card kvk");
    Reopen();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoReaderKind});
    EXPECT_TRUE(Log().empty()) << "no terminal library is loaded";
    ExpectRoutineRan(recorder->Take());
}

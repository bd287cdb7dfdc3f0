// The parts of dbserver that need no GT.M: request texts, literal lifting, error texts,
// parameter pairing, and request handling over a stand-in M job.
#include "common/ErrorTable.h"
#include "common/RequestDecoder.h"
#include "common/WireFormat.h"
#include "dbserver/Database.h"
#include "dbserver/ErrorText.h"
#include "dbserver/GlobalRef.h"
#include "dbserver/JobInput.h"
#include "dbserver/Requests.h"
#include "dbserver/RoutineCall.h"
#include "tests/common/WireBytes.h"
#include "tests/dbserver/ScriptedJob.h"

#include <gtest/gtest.h>

namespace vorlan::dbserver {
namespace {

using vorlan::test::ExecError;
using vorlan::test::ExecReply;
using vorlan::test::HeaderBytes;
using vorlan::test::ReplyBytes;
using test::ScriptedJob;

// Puts the values back in place of a lifted line's $E($ZSO,a,b) references (in quotes, not
// doubled), so that a test can compare the line with what it stood for.
std::string Resolve(const std::string& line, const std::string& blob) {
    std::string out;
    size_t i = 0;
    for (size_t at; (at = line.find("$E($ZSO,", i)) != std::string::npos;) {
        out += line.substr(i, at - i);
        size_t comma = line.find(',', at + 8), close = line.find(')', at);
        size_t from = std::stoul(line.substr(at + 8)), to = std::stoul(line.substr(comma + 1));
        out += "\"" + blob.substr(from - 1, to - from + 1) + "\"";
        i = close + 1;
    }
    return out + line.substr(i);
}

TEST(JobInputTest, BlobHoldsDataThenCode) {
    JobInput in;
    EXPECT_EQ(in.Ref("abc"), "$E($ZSO,9,11)");
    EXPECT_EQ(in.Ref(""), "\"\"");
    EXPECT_EQ(in.Ref("de"), "$E($ZSO,12,13)");
    EXPECT_EQ(in.Blob("W 1"), "00000014abcdeW 1");
}

TEST(JobInputTest, OnlyLongLinesLoseTheirLongLiterals) {
    const std::string a40(40, 'a'), b40(40, 'b');
    const std::string pad(8200, ' ');
    struct Case {
        std::string line;
        std::string lifted; // with references resolved; "" = unchanged
    } cases[] = {
        {"W \"" + a40 + "\"", ""}, // short line: as it is
        {"W \"" + a40 + "\"" + pad, "W \"" + a40 + "\"" + pad},
        {"W \"" + a40 + "\"_$C(65,66)_\"" + b40 + "\"" + pad, "W \"" + a40 + "\"_\"AB" + b40 + "\"" + pad},
        {"W x_\"ab\"_\"" + b40 + "\"" + pad, "W x_\"ab\"_\"" + b40 + "\"" + pad},
        {"W \"" + a40 + "\"?1\"" + b40 + "\"" + pad, "W \"" + a40 + "\"?1\"" + b40 + "\"" + pad},
        {"W $$C(1,2,3,4,5,6,7,8,9,10,11,12,13)" + pad, ""},
        {"W \"x\"\"" + a40 + "\"" + pad, "W \"x\"" + a40 + "\"" + pad},
        {"W \"unterminated" + pad, ""},
    };
    for (const auto& c : cases) {
        JobInput in;
        std::string line = LiftLongLiterals(c.line, in);
        if (c.lifted.empty()) {
            EXPECT_EQ(line, c.line);
            continue;
        }
        EXPECT_EQ(Resolve(line, in.Blob(line)), c.lifted) << c.line.substr(0, 60);
    }
}

TEST(JobInputTest, ListsComeBackWhole) {
    std::vector<std::string> items;
    EXPECT_TRUE(UnpackList("3 a b0 2 \n\n", items));
    EXPECT_EQ(items, (std::vector<std::string>{"a b", "", "\n\n"}));
    EXPECT_TRUE(UnpackList("", items));
    EXPECT_TRUE(items.empty());
    for (const char* bad : {"3 ab", "x", "3", "2 ab1"})
        EXPECT_FALSE(UnpackList(bad, items)) << bad;
}

TEST(GlobalRefTest, ParsesTheClientsGrammarStrictly) {
    auto ref = ParseGlobalRef("[\"SYS\",\"DBK\"]PAT(\"1\",\"\"\"y\",\"\")");
    ASSERT_TRUE(ref);
    EXPECT_TRUE(ref->extended);
    EXPECT_EQ(ref->uci, "SYS");
    EXPECT_EQ(ref->vol, "DBK");
    EXPECT_EQ(ref->name, "PAT");
    EXPECT_EQ(ref->subscripts, (std::vector<std::string>{"1", "\"y", ""}));
    ref = ParseGlobalRef("(\"a,b\")");
    ASSERT_TRUE(ref);
    EXPECT_TRUE(ref->name.empty());
    EXPECT_EQ(ref->subscripts, std::vector<std::string>{"a,b"});
    for (const char* ok : {"%", "A1", "[\"VOR\"]X", "X(\"(\")"})
        EXPECT_TRUE(ParseGlobalRef(ok)) << ok;
    for (const char* bad : {"", "^A", "1A", "A_B", "A(", "A()", "A(1)", "A(\"1\"", "A(\"1\")B",
                            "[\"VOR\"](\"1\")", "[VOR]A", "[\"VOR\"A", "A(\"1\",)", "()", "A B"})
        EXPECT_FALSE(ParseGlobalRef(bad)) << bad;
}

TEST(GlobalRefTest, CodeReadsSubscriptsFromTheInput) {
    JobInput in;
    auto ref = ParseGlobalRef("A(\"x\",\"\")");
    EXPECT_EQ(GlobalCode(*ref, "/db/VOR.gld", in), "^|\"/db/VOR.gld\"|A($E($ZSO,9,9),\"\")");
    auto naked = ParseGlobalRef("(\"y\")");
    EXPECT_EQ(GlobalCode(*naked, "", in), "^($E($ZSO,10,10))");
    auto ext = ParseGlobalRef("[\"SYS\"]Z");
    EXPECT_EQ(FormatQueryReply(*ext, "Z", {"a\"b", "1"}), "[\"SYS\"]Z(\"a\"\"b\",\"1\")");
    EXPECT_EQ(FormatQueryReply(*naked, "A", {}), "A");
}

TEST(ErrorTextTest, GtmErrorsBecomeTheClientsTexts) {
    struct Case {
        const char* zstatus;
        const char* text;
        int number;
    } cases[] = {
        {"150373850,XEC^%DBSRV,%GTM-E-UNDEF, Undefined local variable: Y",
         "<UNDEF>XEC^%DBSRV Undefined local variable: Y", 10053},
        {"1,F+2^QCC,%GTM-E-GVUNDEF, Global variable undefined: ^A(1)",
         "<UNDEF>F+2^QCC Global variable undefined: ^A(1)", 10053},
        {"1,X^Y,%GTM-E-DIVZERO, Attempt to divide by zero", "<DIVER>X^Y Attempt to divide by zero", 10066},
        {"1,X^Y,%GTM-E-ZLINKFILE, Error while zlinking \"NO\",%GTM-E-FILENOTFND, File NO.m not found",
         "<NOPGM>X^Y Error while zlinking \"NO\"; File NO.m not found", 10058},
        {"1,X^Y,%GTM-E-NULSUBSC, Null subscripts, x,%GTM-I-GVIS, \t\tGlobal variable: ^A(\"\")",
         "<SBSCR>X^Y Null subscripts, x; Global variable: ^A(\"\")", 10028},
        {"1,X^Y,%GTM-E-DBPRIVERR, No privilege", "<PROT >X^Y No privilege", 10052},
        {"1,X^Y,%GTM-E-SPOREOL, Either a space", "<SYNTX>X^Y Either a space", 10057},
        {"1,X^Y,%GTM-E-INVCMD, Invalid command", "<CMMND>X^Y Invalid command", 10062},
        {"1,X^Y,%GTM-E-STACKCRIT, Stack space critical", "<STKOV>X^Y Stack space critical", 10055},
        {"1,X^Y,%GTM-E-GBLOFLOW, Database segment is full", "<DKFUL>X^Y Database segment is full", 10067},
        {"1,X^Y,%GTM-E-TPQUIT, Cannot QUIT", "<TPQUIT>X^Y Cannot QUIT", 10035},
        {"150373290,%GTM-E-MAXSTRLEN, Maximum string length exceeded",
         "<MXSTR>Maximum string length exceeded", 10034},
        {"garbage", "<SYSTM>garbage", 10075},
    };
    for (const auto& c : cases) {
        std::string text = TranslateZStatus(c.zstatus);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(kvx::ServerErrorNumber(text.data(), text.size()), c.number) << text;
    }
    std::string longText = TranslateZStatus("1,X^Y,%GTM-E-UNDEF, " + std::string(5000, 'x'));
    EXPECT_EQ(longText.size(), kMaxErrorText);
}

TEST(RoutineCallTest, RoutineNamesAreChecked) {
    EXPECT_EQ(CheckRoutine("$$WAITING^QCC"), "WAITING^QCC");
    EXPECT_EQ(CheckRoutine("^%ZU"), "^%ZU");
    EXPECT_EQ(CheckRoutine("1^A"), "1^A");
    for (const char* bad : {"QCC", "A^", "A^B+1", "A+1^B", "A^B(1)", "A B^C", "$$", "$A^B", "A^B^C", ""})
        EXPECT_FALSE(CheckRoutine(bad)) << bad;
}

TEST(RoutineCallTest, FieldsPairIntoTypedParameters) {
    using P = std::vector<CallParam>;
    auto pairs = [](std::vector<std::string> f) { return PairParameters(f); };
    auto eq = [](const std::optional<P>& got, const P& want) {
        if (!got || got->size() != want.size()) return false;
        for (size_t i = 0; i < want.size(); ++i)
            if ((*got)[i].type != want[i].type || (*got)[i].value != want[i].value) return false;
        return true;
    };
    EXPECT_TRUE(eq(pairs({}), {}));
    EXPECT_TRUE(eq(pairs({"0", "a", "1", "b"}), {{0, "a"}, {1, "b"}}));
    // In place: a type, then its value, empty or not.
    EXPECT_TRUE(eq(pairs({"1", "", "0", "z"}), {{1, ""}, {0, "z"}}));
    EXPECT_TRUE(eq(pairs({"1", "", "0", ""}), {{1, ""}, {0, ""}}));
    // Held back: empty values come as one run right before the next value, or at the end.
    EXPECT_TRUE(eq(pairs({"0", "x", "1", "0", "0", "1", "", "", "", "y"}),
                   {{0, "x"}, {1, ""}, {0, ""}, {0, ""}, {1, "y"}}));
    EXPECT_TRUE(eq(pairs({"1", "0", "", "v"}), {{1, ""}, {0, "v"}}));
    EXPECT_TRUE(eq(pairs({"0", "a", "1", "1", "", ""}), {{0, "a"}, {1, ""}, {1, ""}}));
    EXPECT_FALSE(pairs({"0"}));
    EXPECT_FALSE(pairs({"x", "1"}));
    EXPECT_FALSE(pairs({"0", "a", ""}));
}

TEST(DatabaseTest, NamespacesByUciAndVolume) {
    Database db =
        Database::Parse("/db", "# comment\nVOR DBK VOR.gld default\n\nsys dbk /abs/SYS.gld system\n");
    EXPECT_EQ(db.Find("", "")->gld, "/db/VOR.gld");
    EXPECT_EQ(db.Find("", "DBK")->uci, "VOR");
    EXPECT_EQ(db.Find("SYS", "")->gld, "/abs/SYS.gld");
    EXPECT_EQ(db.Find("sys", "dbk")->uci, "SYS");
    EXPECT_EQ(db.Find("XYZ", ""), nullptr);
    EXPECT_EQ(db.Find("VOR", "XYZ"), nullptr);
    EXPECT_EQ(db.Find("", "XYZ"), nullptr);
    for (const char* bad :
         {"VOR DBK VOR.gld default\n", "VOR DBK\n", "A B C bogus\n", "A B C default\nD E F system extra\n"})
        EXPECT_THROW(Database::Parse("/db", bad), DatabaseError) << bad;
}

wire::Request Req(std::string code, std::vector<std::string> fields) {
    wire::Request r;
    r.code = std::move(code);
    r.count = static_cast<int32_t>(fields.size());
    r.fields = std::move(fields);
    return r;
}

TEST(RequestHandlerTest, ExecutionRepliesWithOutputMarkerAndTrailer) {
    Database db = Database::Parse("/db", "VOR DBK VOR.gld default\nSYS DBK SYS.gld system\n");
    ScriptedJob job;
    RequestHandler h(db, job);
    job.output = "hello";
    auto r = h.Handle(Req("X", {"W \"hello\"", "<END>"}));
    EXPECT_EQ(r.reply, "hello<END>" + HeaderBytes("O", "0"));
    EXPECT_EQ(job.lastBlob, "00000009W \"hello\"");

    job.output = "half";
    job.status = 1;
    r = h.Handle(Req("X", {"W 1/0", "<XEND>"}));
    EXPECT_EQ(r.reply, ExecError("half", "<DIVER>X^Y Attempt to divide by zero"));
    EXPECT_EQ(job.resets, 1);

    job.status = 0;
    job.output = "a<XEND>b";
    r = h.Handle(Req("X", {"W 1", "<XEND>"}));
    EXPECT_EQ(r.reply, ExecError("", "<SYSTM>output contains the end marker"));

    job.lastBlob.clear();
    r = h.Handle(Req("X", {"N %K S %K=512 D INT^%PARTSIZ K %K W $V(108,$J,4)/1024", "<XEND>"}));
    EXPECT_EQ(r.reply, ExecReply("512"));
    EXPECT_EQ(job.lastBlob, "");
}

TEST(RequestHandlerTest, RequestsOutsideTheCatalogue) {
    Database db = Database::Parse("/db", "VOR DBK VOR.gld default\nSYS DBK SYS.gld system\n");
    ScriptedJob job;
    RequestHandler h(db, job);
    using A = RequestHandler::Action;
    EXPECT_EQ(h.Handle(Req("K", {})).action, A::Silent);
    EXPECT_EQ(h.Handle(Req("Q", {})).action, A::End);
    EXPECT_EQ(h.Handle(Req("ZZ", {"1"})).reply, ReplyBytes('E', {"<CMMND>request ZZ"}));
    for (auto req : {Req("X", {"W 1"}), Req("X", {"W 1", ""}), Req("4", {}), Req("D", {}), Req("13", {"x"}),
                     Req("K", {"x"})})
        EXPECT_EQ(h.Handle(req).action, A::Malformed) << req.code;
}

TEST(RequestHandlerTest, LoginRefusalsInOrder) {
    Database db = Database::Parse("/db", "VOR DBK VOR.gld default\nSYS DBK SYS.gld system\n");
    std::string pw = "secret";
    auto login = [&](std::string api, std::string caller, std::string uci) {
        return CheckLogin(Req("L", {"0", api, "KVX-TCP", "1.2.3.4", "", caller, uci, "", "0", "99"}), db,
                          &pw);
    };
    EXPECT_EQ(login("API4.4.0", "secret", "SYS").ns->uci, "SYS");
    EXPECT_EQ(login("API5", "bad", "XYZ").reply, LoginReply(99, "<VER>"));
    EXPECT_EQ(login("API4.0", "bad", "XYZ").reply, LoginReply(99, "<PASSWD>"));
    EXPECT_EQ(login("API4.0", "secret", "XYZ").reply, LoginReply(99, "<NOUCI>"));
    EXPECT_FALSE(CheckLogin(Req("L", {"0"}), db, nullptr).wellFormed);
    EXPECT_EQ(LoginReply(1, ""), ReplyBytes('V', {"43034", "0", "", "4.4.0", "0"}));
}

} // namespace
} // namespace vorlan::dbserver

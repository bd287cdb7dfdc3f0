// dbserver end to end: the fixture's server over real sockets, driven with the shared codec.
#include "common/ErrorTable.h"
#include "common/MQuote.h"
#include "common/Nonce.h"
#include "tests/common/MRoutine.h"
#include "tests/common/WireBytes.h"
#include "tests/dbserver/TestClient.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace vorlan::dbserver::test {
namespace {

int ErrorNumber(const std::string& text) {
    return kvx::ServerErrorNumber(text.data(), text.size());
}

class ServerTest : public FixtureTest {
  protected:
    static void SetUpTestSuite() {
        FixtureTest::SetUpTestSuite();
        if (HasFatalFailure()) return;
        std::ofstream(FixtureDatabase() + "/r/DBSTEST.m") << "DBSTEST ; routines of the dbserver tests\n"
                                                             " Q\n"
                                                             "ECHO(a,b,c) Q $G(a)_\"|\"_$G(b)_\"|\"_$G(c)\n"
                                                             "SWAP(a,b) N t S t=a,a=b,b=t Q \"swapped\"\n"
                                                             "FIVE(a,b,c,d,e) S b=\"B\",e=e_\"!\"\n"
                                                             " Q a_\",\"_b_\",\"_c_\",\"_d_\",\"_e\n"
                                                             "KILL(a) K a Q \"\"\n"
                                                             "WRITE() W \"ignored\" Q \"done\"\n"
                                                             "FLOOD() F  W $J(\"\",1048576)\n";
    }
};

TEST_F(ServerTest, LoginAnswersTheNonceEvenWhenRefusing) {
    struct Case {
        const char* uci;
        const char* vol;
        const char* api;
        int32_t nonce;
        const char* refusal; // "" accepted
    } cases[] = {
        {"", "", "API4.4.0", 1234, ""},
        {"VOR", "DBK", "API4.4.0", 10, ""},
        {"SYS", "", "API4.1", 16383, ""},
        {"XYZ", "", "API4.4.0", 77, "<NOUCI>"},
        {"VOR", "XXX", "API4.4.0", 78, "<NOUCI>"},
        {"", "", "API3.9.0", 79, "<VER>"},
        {"", "", "", 80, "<VER>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.uci) + "," + c.vol + " " + c.api);
        TestClient client(FixturePort());
        Reply r = client.Login(c.uci, c.vol, "", c.nonce, c.api);
        ASSERT_EQ(r.status, 0);
        ASSERT_EQ(r.type, 'V');
        ASSERT_EQ(r.fields.size(), 5u);
        EXPECT_TRUE(nonce::AnswerMatches(static_cast<uint32_t>(c.nonce), std::stoul(r.fields[0])));
        EXPECT_EQ(r.fields[1], *c.refusal ? "1" : "0");
        EXPECT_EQ(r.fields[2], c.refusal);
        EXPECT_EQ(r.fields[3], "4.4.0");
        EXPECT_EQ(r.fields[4], "0");
        if (*c.refusal)
            EXPECT_TRUE(client.ClosedByServer());
        else
            EXPECT_EQ(client.Exec("W $ZPARSE($ZGBLDIR,\"NAME\")"), *c.uci ? c.uci : "VOR");
    }
    EXPECT_EQ(ErrorNumber("<NOUCI>"), 10088);
    EXPECT_EQ(ErrorNumber("<VER>"), 10045);
}

// A second server on the fixture's database, with a password.
TEST_F(ServerTest, PasswordIsChecked) {
    client::ServerProcess server(VORLAN_DBSERVER_EXE, FixtureDatabase(), {"--password", "geheim"});
    const int port = server.port();
    ASSERT_GT(port, 0);
    {
        TestClient wrong(port);
        Reply r = wrong.Login("", "", "falsch");
        ASSERT_EQ(r.fields.size(), 5u);
        EXPECT_EQ(r.fields[2], "<PASSWD>");
        EXPECT_EQ(ErrorNumber(r.fields[2]), 10009);
        TestClient right(port);
        r = right.Login("", "", "geheim");
        ASSERT_EQ(r.fields.size(), 5u);
        EXPECT_EQ(r.fields[1], "0");
        EXPECT_EQ(right.Exec("W 6*7"), "42");
    }
}

TEST_F(ServerTest, ExecuteReturnsExactlyWhatTheLineWrites) {
    auto c = Connect();
    struct Case {
        const char* code;
        std::string output;
    } cases[] = {
        {"W 1", "1"},
        {"S X=1", ""},
        {"W \"a\",!,\"b\",!", "a\nb\n"},
        {"W \"<\"", "<"},
        {"W \"\xa7\",$C(250,253,254,255)", "\xa7\xfa\xfd\xfe\xff"},
        {"W $L($C(167)_$C(255))", "2"},
        {"W ?3,\"x\"", "   x"}, // each line's output starts in column 0
        {"W $X W \"abc\" W $X", "0abc4"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(c->Exec(k.code), k.output) << k.code;
}

TEST_F(ServerTest, OutputIsByteExactAtAnySize) {
    auto c = Connect();
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(c->Exec("F i=0:1:255 W $C(i)"), all);
    // No line breaks at 32,767 columns, none added at the end, also across requests.
    EXPECT_EQ(c->Exec("F i=1:1:40000 W \"a\""), std::string(40000, 'a'));
    EXPECT_EQ(c->Exec("F i=1:1:40000 W \"b\""), std::string(40000, 'b'));
    std::string big = c->Exec("F i=1:1:1000 W $J(i,100)");
    ASSERT_EQ(big.size(), 100000u);
    EXPECT_EQ(big.substr(99900), std::string(96, ' ') + "1000");
}

TEST_F(ServerTest, OutputHoldingTheMarkerBecomesAnError) {
    auto c = Connect();
    std::string out;
    EXPECT_EQ(c->Exec("W \"a<XEND>b\"", out), 10075);
    EXPECT_EQ(out, "<SYSTM>output contains the end marker");
    EXPECT_EQ(c->Exec("W \"still here\""), "still here");
}

TEST_F(ServerTest, ErrorTextsCarryTheClientsCodes) {
    struct Case {
        const char* code;
        int number;
        const char* start;
    } cases[] = {
        {"W NOSUCHLOCAL", 10053, "<UNDEF>"},
        {"W ^DBTNOSUCH(1)", 10053, "<UNDEF>"},
        {"W 1/0", 10066, "<DIVER>"},
        {"S X=$J(\"\",1048576)_1", 10034, "<MXSTR>"},
        {"W 1E400", 10072, "<MXNUM>"},
        {"S ^DBT(\"\")=1", 10028, "<SBSCR>"},
        {"D ^DBTNOSUCH", 10058, "<NOPGM>"},
        {"D NOSUCH^QCC", 10068, "<LINER>"},
        {"FOO 1", 10062, "<CMMND>"},
        {"W $FOO(1)", 10063, "<FUNCT>"},
        {"W (1", 10057, "<SYNTX>"},
        {"S $ZGBLDIR=\"/nonexistent.gld\"", 10088, "<NOUCI>"},
        {"S R=\"X R\" X R", 10055, "<STKOV>"},
    };
    for (const auto& k : cases) {
        auto c = Connect();
        std::string out;
        EXPECT_EQ(c->Exec(k.code, out), k.number) << k.code << ": " << out;
        EXPECT_EQ(out.rfind(k.start, 0), 0u) << out;
        EXPECT_LE(out.size(), 1000u);
    }
    // The naked indicator of a fresh job points nowhere.
    auto c = Connect();
    std::string out;
    EXPECT_EQ(c->Exec("W ^(1)", out), 10051) << out;
}

TEST_F(ServerTest, JobSurvivesAnErrorWithItsState) {
    auto c = Connect();
    auto other = Connect();
    std::string out;
    EXPECT_EQ(c->Exec("S X=5,^DBT(\"S\")=1 L +^DBT(\"S\") W \"before\" W 1/0", out), 10066);
    EXPECT_EQ(out.rfind("<DIVER>", 0), 0u);
    EXPECT_EQ(c->Exec("W X,\"|\",$EC,\"|\",^DBT(\"S\")"), "5||1");
    EXPECT_EQ(other->Exec("L +^DBT(\"S\"):0 W $T"), "0"); // the lock is still held

    // An open transaction is rolled back; the principal device is current again.
    EXPECT_EQ(c->Exec("TS  S ^DBT(\"S\")=2 W 1/0", out), 10066);
    EXPECT_EQ(c->Exec("W $TL,^DBT(\"S\")"), "01");
    const std::string file = "/tmp/dbserver-test-" + std::to_string(getpid());
    EXPECT_EQ(c->Exec("S F=" + MQuote(file) + " O F U F W 1/0", out), 10066);
    EXPECT_EQ(c->Exec("W \"back\" C F"), "back");
    unlink(file.c_str());
}

// A line's output is held in the job until it ends: past 16 MB the line is stopped with an
// error and its output dropped, however the writing goes on.
TEST_F(ServerTest, OutputBeyondTheLimitStopsTheLine) {
    const std::string sixteenMegabytes = "F I=1:1:16 W $J(\"\",1048576)";
    struct Case {
        const char* name;
        std::string code;
        int number; // 0: the line succeeds
    } cases[] = {
        {"just the limit", sixteenMegabytes, 0},
        {"one byte more", sixteenMegabytes + " W 1", 10071},
        {"an error trap that goes on", "N $ET S $ET=\"S $EC=\"\"\"\"\" F  W $J(\"\",1048576)", 10071},
        {"no end", "F  W $J(\"\",1048576)", 10071},
        {"a command it starts", "ZSYSTEM \"yes\"", 10071},
    };
    auto c = Connect();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        std::string out;
        // Without the limit a case never ends: stop at the first that shows it.
        ASSERT_EQ(c->Exec(k.code, out), k.number) << out.substr(0, 200);
        if (k.number != 0) {
            EXPECT_EQ(out, "<MXMEM>output beyond 16777216 bytes");
        }
        EXPECT_EQ(c->Exec("W 1"), "1") << "the job goes on";
    }
    // Requests that pass no output on are stopped the same way.
    Reply r = c->Call("D", {"$$FLOOD^DBSTEST"});
    EXPECT_EQ(r.type, 'E');
    EXPECT_EQ(r.fields, std::vector<std::string>{"<MXMEM>output beyond 16777216 bytes"});
    EXPECT_EQ(c->Exec("W 1"), "1");
}

TEST_F(ServerTest, LongPastedLiteralsAreLifted) {
    auto c = Connect();
    std::string value;
    for (int i = 0; i < 40000; ++i)
        value += static_cast<char>(i % 7 == 0 ? i % 32 : 'a' + i % 26);
    value += "\"<>\xa7";
    EXPECT_EQ(c->Exec("S X=" + MQuote(value) + " W X"), value);
    EXPECT_EQ(c->Exec("W $L(X)"), std::to_string(value.size()));
    // Each piece of the quoted value stays an operand of what precedes it.
    EXPECT_EQ(c->Exec("W 1+" + MQuote(value) + "+1"), "2");
    EXPECT_EQ(c->Exec("W \"ab\"?1\"a\"1\"b\" S Y=" + MQuote(value) + " W Y=X"), "11");
    // A line of nearly 1 MB; a KILL of the job's locals cannot touch the lifted values.
    std::string huge(1000000, 'z');
    EXPECT_EQ(c->Exec("K  S X=" + MQuote(huge) + " W $L(X),$E(X,999999,1000000)"), "1000000zz");
    // Beyond what M holds: an error, and the job goes on.
    std::string out;
    EXPECT_EQ(c->Exec("S X=" + MQuote(std::string(1100000, 'z')), out), 10034) << out;
    EXPECT_EQ(c->Exec("W $L(X)"), "1000000");
}

TEST_F(ServerTest, PartitionSizeLineIsAnswered) {
    auto c = Connect();
    EXPECT_EQ(c->Exec("N %K S %K=1024 D INT^%PARTSIZ K %K W $V(108,$J,4)/1024"), "1024");
    EXPECT_EQ(c->Exec("N %K S %K=256 D INT^%PARTSIZ K %K W $V(108,$J,4)/1024"), "256");
}

TEST_F(ServerTest, HaltEndsTheJobAndClosesTheSocket) {
    auto c = Connect();
    std::string out;
    EXPECT_EQ(c->Exec("H", out), 10006);
    EXPECT_EQ(Connect()->Exec("W 2"), "2");
}

TEST_F(ServerTest, KeepAliveAndLogoutSendNothing) {
    auto c = Connect();
    uint8_t buffer[64];
    int32_t position = 0;
    wire::RequestWriter w(*c, buffer, sizeof buffer, position);
    w.Header("K", 0);
    ASSERT_EQ(w.Flush(), 0);
    EXPECT_EQ(c->Exec("W 3"), "3"); // nothing came between
    w.Header("Q", 0);
    ASSERT_EQ(w.Flush(), 0);
    EXPECT_TRUE(c->ClosedByServer());
}

TEST_F(ServerTest, LocalsByNameWithValuesAsData) {
    auto c = Connect();
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(c->Call("1", {"DBTL", all}).type, 'R');
    EXPECT_EQ(c->Call("2", {"DBTL"}).fields, std::vector<std::string>{all});
    EXPECT_EQ(c->Exec("W $L(DBTL)"), "256");
    EXPECT_EQ(c->Call("1", {"%X", std::string(100000, 'v')}).type, 'R');
    EXPECT_EQ(c->Call("2", {"%X"}).fields[0].size(), 100000u);
    EXPECT_EQ(c->Call("8", {"DBTL"}).type, 'R');
    Reply r = c->Call("2", {"DBTL"});
    ASSERT_EQ(r.type, 'E');
    EXPECT_EQ(ErrorNumber(r.fields[0]), 10053);
    for (const char* bad : {"1AB", "A_B", "X(1)", "S X=1", ""}) {
        r = c->Call("1", {bad, "1"});
        ASSERT_EQ(r.type, 'E') << bad;
        EXPECT_EQ(ErrorNumber(r.fields[0]), 10057) << bad;
    }
}

TEST_F(ServerTest, GlobalRequests) {
    auto c = Connect();
    c->Exec("K ^DBTG");
    const std::string q = "DBTG(\"a\",\"b\"\"c\")"; // the second subscript is b"c
    EXPECT_EQ(c->Call("3", {q, "v1"}).type, 'R');
    EXPECT_EQ(c->Call("3", {"DBTG(\"a\",\"x)y\")", "v2"}).type, 'R');
    EXPECT_EQ(c->Call("3", {"DBTG(\"2\")", "two"}).type, 'R');
    EXPECT_EQ(c->Call("3", {"DBTG(\"10\")", "ten"}).type, 'R');
    struct Case {
        const char* code;
        std::string ref;
        std::string value;
    } cases[] = {
        {"4", q, "v1"},
        {"5", "DBTG(\"a\")", "10"},
        {"5", "DBTG", "10"},
        {"6", "DBTG(\"a\",\"\")", "b\"c"},
        {"6", "DBTG(\"a\",\"b\"\"c\")", "x)y"},
        {"6", "DBTG(\"a\",\"x)y\")", ""},
        {"6", "DBTG(\"\")", "2"}, // numbers first, in numeric order
        {"6", "DBTG(\"2\")", "10"},
        {"17", "DBTG(\"\")", "a"},
        {"17", "DBTG(\"a\",\"x)y\")", "b\"c"},
        {"12", "DBTG", "DBTG(\"2\")"},
        {"12", "DBTG(\"10\")", "DBTG(\"a\",\"b\"\"c\")"},
        {"12", "DBTG(\"a\",\"x)y\")", ""},
        {"4", "[\"VOR\",\"DBK\"]DBTG(\"2\")", "two"},
        {"12", "[\"VOR\"]DBTG(\"2\")", "[\"VOR\"]DBTG(\"10\")"},
        {"4", "[\"SYS\"]QSYS(\"REL\")", ""}, // another namespace: not there
        {"5", "[\"SYS\"]QSYS", "0"},
    };
    for (const auto& k : cases) {
        Reply r = c->Call(k.code, {k.ref});
        if (k.code == std::string("4") && k.value.empty()) {
            EXPECT_EQ(r.type, 'E') << k.ref;
            continue;
        }
        ASSERT_EQ(r.type, 'R') << k.code << " " << k.ref << ": " << (r.fields.empty() ? "" : r.fields[0]);
        EXPECT_EQ(r.fields, std::vector<std::string>{k.value}) << k.code << " " << k.ref;
    }
    // Naked: the last reference names the global and all but the last subscript.
    EXPECT_EQ(c->Call("4", {"DBTG(\"a\",\"x)y\")"}).fields, std::vector<std::string>{"v2"});
    EXPECT_EQ(c->Call("4", {"(\"b\"\"c\")"}).fields, std::vector<std::string>{"v1"});
    EXPECT_EQ(c->Exec("W ^(\"x)y\")"), "v2");
    EXPECT_EQ(c->Call("7", {"DBTG(\"a\")"}).type, 'R');
    EXPECT_EQ(c->Call("5", {"DBTG(\"a\")"}).fields, std::vector<std::string>{"0"});
    // %-globals live in the system namespace, whichever namespace names them.
    EXPECT_EQ(c->Call("3", {"%DBTG", "sys"}).type, 'R');
    EXPECT_EQ(c->Call("4", {"[\"SYS\"]%DBTG"}).fields, std::vector<std::string>{"sys"});
    EXPECT_EQ(c->Exec("W ^[%SYS]%DBTG"), "sys");

    struct Bad {
        std::string ref;
        int number;
    } bad[] = {
        {"", 10051},
        {"DBTG(", 10057},
        {"DBTG(1)", 10057},
        {"^DBTG", 10057},
        {"[\"VOR\"](\"1\")", 10057},
        {"DBTG(\"1\")x", 10057},
        {"[\"ZZZ\"]DBTG", 10088},
        {"[\"VOR\",\"ZZZ\"]DBTG", 10088},
    };
    for (const auto& b : bad) {
        Reply r = c->Call("4", {b.ref});
        ASSERT_EQ(r.type, 'E') << b.ref;
        EXPECT_EQ(ErrorNumber(r.fields[0]), b.number) << b.ref << ": " << r.fields[0];
    }
}

TEST_F(ServerTest, LocksBetweenTwoConnections) {
    auto a = Connect();
    auto b = Connect();
    const std::string ref = "DBTLOCK(\"1\")";
    EXPECT_EQ(a->Call("10", {ref, "0"}).fields, std::vector<std::string>{"1"});
    EXPECT_EQ(b->Call("10", {ref, "0"}).fields, std::vector<std::string>{"0"});
    EXPECT_EQ(b->Call("9", {ref, "1"}).fields, std::vector<std::string>{"0"}); // waits, times out
    EXPECT_EQ(b->Call("11", {ref, "0"}).fields, std::vector<std::string>{"0"});

    // b waits while a lets go.
    std::thread release([&] {
        usleep(300000);
        EXPECT_EQ(a->Call("14", {ref}).type, 'R');
    });
    EXPECT_EQ(b->Call("10", {ref, "30"}).fields, std::vector<std::string>{"1"});
    release.join();
    EXPECT_EQ(a->Call("10", {ref, "0"}).fields, std::vector<std::string>{"0"});
    EXPECT_EQ(b->Call("13", {}).type, 'R'); // all of b's locks
    EXPECT_EQ(a->Call("11", {ref, "0"}).fields, std::vector<std::string>{"1"});
    EXPECT_EQ(b->Call("10", {ref, "0"}).fields, std::vector<std::string>{"0"});
    EXPECT_EQ(a->Call("15", {""}).type, 'R'); // argumentless ZDEALLOCATE
    EXPECT_EQ(b->Call("9", {ref, "0"}).fields, std::vector<std::string>{"1"});
    EXPECT_EQ(b->Call("14", {""}).type, 'R');
    EXPECT_EQ(a->Call("10", {ref, "0"}).fields, std::vector<std::string>{"1"});
}

// One job's locks, taken by each lock request and given up by each unlock request as the
// client library's calls promise: an unlock gives up all of the job's locks or the one node's,
// however it was taken. A plain lock is M's LOCK: it first gives up the job's other LOCKs.
TEST_F(ServerTest, OneJobsLocksGoAsTheUnlocksSay) {
    auto a = Connect();
    auto b = Connect();
    const std::string one = "DBTJOB(\"1\")", two = "DBTJOB(\"2\")", three = "DBTJOB(\"3\")";
    // The nodes of the three that b cannot lock at once: those that a holds.
    auto held = [&] {
        std::string nodes;
        for (const std::string& ref : {one, two, three}) {
            if (b->Call("10", {ref, "0"}).fields == std::vector<std::string>{"1"})
                EXPECT_EQ(b->Call("14", {ref}).type, 'R');
            else
                nodes += ref.substr(8, 1);
        }
        return nodes;
    };
    const std::vector<std::string> granted{"1"};
    struct Step {
        const char* what;
        std::string code;
        std::vector<std::string> fields;
        const char* held; // by a afterwards: "13" for one and three
    } steps[] = {
        {"plain lock", "9", {one, "0"}, "1"},
        {"incremental lock", "10", {two, "0"}, "12"},
        {"allocation", "11", {three, "0"}, "123"},
        {"incremental unlock of the incremental lock", "14", {two}, "13"},
        {"deallocation of the plain lock", "15", {one}, "3"},
        {"incremental unlock of the allocation", "14", {three}, ""},
        {"incremental lock again", "10", {two, "0"}, "2"},
        {"the same once more", "10", {two, "0"}, "2"},
        {"one of its two levels given up", "14", {two}, "2"},
        {"allocation beside it", "11", {one, "0"}, "12"},
        {"all locks", "13", {}, ""},
        {"incremental lock", "10", {one, "0"}, "1"},
        {"allocation", "11", {three, "0"}, "13"},
        {"plain lock gives up the other lock, not the allocation", "9", {two, "0"}, "23"},
        {"all incremental locks", "14", {""}, "3"},
        {"all allocations", "15", {""}, ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        Reply r = a->Call(s.code, s.fields);
        EXPECT_EQ(r.type, 'R');
        if (s.fields.size() == 2) {
            EXPECT_EQ(r.fields, granted);
        }
        EXPECT_EQ(held(), s.held);
    }
}

TEST_F(ServerTest, RoutineCalls) {
    auto c = Connect();
    const auto run = TestClient::Run;
    struct Case {
        const char* name;
        std::vector<std::string> fields;
        std::vector<std::string> reply;
    } cases[] = {
        {"by value", {"ECHO^DBSTEST", "0", "x", "0", "y"}, {"x|y|"}},
        {"$$ and no parameters", {"$$ECHO^DBSTEST"}, {"||"}},
        {"by reference", {"SWAP^DBSTEST", "1", "a", "1", "b"}, {"swapped", "b", "a"}},
        {"killed by the callee", {"KILL^DBSTEST", "1", "k"}, {"", ""}},
        {"output is dropped", {"WRITE^DBSTEST"}, {"done"}},
        // A shortening client holds empty values back until the next value, as a run.
        {"held-back run",
         {"FIVE^DBSTEST", "0", "x", "1", "0", "0", "1", run(3), "y"},
         {"x,B,,,y!", "B", "y!"}},
        {"held-back single", {"ECHO^DBSTEST", "1", "0", "", "v"}, {"|v|", ""}},
        {"run at the end", {"SWAP^DBSTEST", "1", "1", run(2)}, {"swapped", "", ""}},
        {"empties in place", {"ECHO^DBSTEST", "1", "", "0", "z"}, {"|z|", ""}},
    };
    for (const auto& k : cases) {
        Reply r = c->Call("D", k.fields);
        ASSERT_EQ(r.type, 'R') << k.name << ": " << (r.fields.empty() ? "" : r.fields[0]);
        EXPECT_EQ(r.fields, k.reply) << k.name;
    }
    struct Bad {
        std::vector<std::string> fields;
        const char* code;
        int number;
    } bad[] = {
        {{"ECHO"}, "D", 10057},
        {{"ECHO^DBSTEST+1"}, "D", 10057},
        {{"ECHO^DBSTEST", "0"}, "D", 10057},
        {{"ECHO^DBTNOSUCH"}, "D", 10058},
        {{"NOSUCH^DBSTEST"}, "D", 10068},
        {{"ECHO^DBSTEST"}, "DD", 10062},
        {{"ECHO^DBSTEST"}, "DE", 10062},
    };
    for (const auto& b : bad) {
        Reply r = c->Call(b.code, b.fields);
        ASSERT_EQ(r.type, 'E') << b.fields[0];
        EXPECT_EQ(ErrorNumber(r.fields[0]), b.number) << r.fields[0];
    }
    EXPECT_EQ(c->Exec("W $D(%dbsrv1)"), "0"); // the by-reference helpers are gone
}

TEST_F(ServerTest, OtherConnectionsAreServedWhileOneIsBusy) {
    auto busy = Connect();
    std::string job = busy->Exec("W $J");
    uint8_t buffer[64];
    int32_t position = 0;
    wire::RequestWriter w(*busy, buffer, sizeof buffer, position);
    const std::string code = "D BUSY^QCC(\"Rechnet\") H 3 W \"done\"";
    w.Header("X", 2).Field(code.data(), code.size()).Text(wire::kExecEndMarker);
    ASSERT_EQ(w.Flush(), 0);

    auto other = Connect();
    std::string waiting;
    for (int i = 0; i < 100 && waiting.rfind("Rechnet", 0) != 0; ++i) {
        waiting = other->Exec("W $$WAITING^QCC(\"" + job + "\")");
        usleep(10000);
    }
    EXPECT_EQ(waiting, "Rechnet\xa7\xa7"
                       "1\xa7");
    EXPECT_FALSE(busy->ReplyWaiting());
    std::vector<char> out(64);
    int32_t length = 0;
    EXPECT_EQ(wire::ReadExecReply(*busy, out.data(), 64, &length), 0);
    EXPECT_EQ(std::string(out.data(), static_cast<size_t>(length)), "done");
}

TEST_F(ServerTest, MalformedFramingClosesOnlyThatConnection) {
    using vorlan::test::Be32;
    using vorlan::test::FieldBytes;
    using vorlan::test::RunMarker;
    struct Case {
        const char* name;
        bool login;
        std::string bytes;
    } cases[] = {
        {"field over the cap", true, FieldBytes("X") + FieldBytes("2") + Be32((2 << 20) + 1)},
        {"negative length", true, FieldBytes("X") + FieldBytes("2") + Be32(-5)},
        {"run marker as the code", true, RunMarker(2)},
        {"run marker of zero", true,
         FieldBytes("D") + FieldBytes("3") + FieldBytes("ECHO^DBSTEST") + RunMarker(0)},
        {"run past the count", true,
         FieldBytes("D") + FieldBytes("2") + FieldBytes("ECHO^DBSTEST") + RunMarker(5)},
        {"count not a number", true, FieldBytes("X") + FieldBytes("two")},
        {"count over the cap", true, FieldBytes("X") + FieldBytes("20002")},
        {"code too long", true, FieldBytes("XXXXXXXXXX") + FieldBytes("0")},
        {"wrong count for X", true, FieldBytes("X") + FieldBytes("1") + FieldBytes("W 1")},
        {"empty end marker", true, FieldBytes("X") + FieldBytes("2") + FieldBytes("W 1") + FieldBytes("")},
        {"no log-in first", false,
         FieldBytes("X") + FieldBytes("2") + FieldBytes("W 1") + FieldBytes("<XEND>")},
        {"log-in of nine fields", false,
         FieldBytes("L") + FieldBytes("9") + FieldBytes("0") + FieldBytes("API4.4.0") +
             FieldBytes("KVX-TCP") + FieldBytes("") + FieldBytes("") + FieldBytes("") + FieldBytes("") +
             FieldBytes("") + FieldBytes("1")},
        {"cut off", true, FieldBytes("X") + FieldBytes("2") + FieldBytes("W 1")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        auto c = k.login ? Connect() : std::make_unique<TestClient>(FixturePort());
        c->SendRaw(k.bytes);
        if (std::string(k.name) == "cut off")
            c.reset(); // the server sees the end of the stream inside a request
        else
            EXPECT_TRUE(c->ClosedByServer());
        EXPECT_EQ(Connect()->Exec("W 1"), "1");
    }
}

TEST_F(ServerTest, UnknownRequestCodeIsAnError) {
    auto c = Connect();
    Reply r = c->Call("99", {"a"});
    ASSERT_EQ(r.type, 'E');
    EXPECT_EQ(ErrorNumber(r.fields[0]), 10062);
    EXPECT_EQ(c->Exec("W 4"), "4");
}

TEST_F(ServerTest, TestsLoadRoutinesOfTheirOwnOverAConnection) {
    auto c = Connect();
    c->Exec(mroutine::RoutineLine(
        "ZZDBST", {"ZZDBST ; a routine of the dbserver tests", " Q", "ECHO(x) Q \"<\"_x_\">\""}));
    EXPECT_EQ(c->Exec("W $$ECHO^ZZDBST(\"a\"\"b\")"), "<a\"b>");
    c->Exec(mroutine::RoutineLine(
        "ZZDBST", {"ZZDBST ; a routine of the dbserver tests", " Q", "ECHO(x) Q \"[\"_x_\"]\""}));
    EXPECT_EQ(c->Exec("W $$ECHO^ZZDBST(1)"), "[1]") << "rewritten in the same job";
    EXPECT_EQ(Connect("ABR")->Exec("W $$ECHO^ZZDBST(2)"), "[2]") << "and seen by a new job";
}

} // namespace
} // namespace vorlan::dbserver::test

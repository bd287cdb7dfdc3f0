// Every export against a real dbserver (the "dbserver" fixture), under Wine.
#include "client/kvxapi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

int ServerPort() {
    const char* port = std::getenv("VORLAN_DBSERVER_PORT");
    return port ? std::atoi(port) : 0;
}

int Login(const char* ucitext = "") {
    std::string uci = ucitext, vol;
    return kvx_login("127.0.0.1", ServerPort(), uci.data(), vol.data(), "", 0, 0);
}

bool IsHandle(int h) {
    return h >= 1 && h <= 1024;
}

class EndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_GT(ServerPort(), 0) << "no dbserver fixture (VORLAN_DBSERVER_PORT)";
        // Routines for the calls, beside the demo application's ones.
        const char* state = std::getenv("VORLAN_STATE_DIR");
        ASSERT_NE(state, nullptr);
        std::ofstream(std::string("Z:") + state + "/dbserver-db/r/KVXTEST.m")
            << "KVXTEST ; routines of the client library's tests\n"
               " Q\n"
               "ECHO(a,b,c) Q $G(a)_\"|\"_$G(b)_\"|\"_$G(c)\n"
               "SWAP(a,b) N t S t=a,a=b,b=t Q \"swapped\"\n"
               "FIVE(a,b,c,d,e) S b=\"B\",e=e_\"!\"\n"
               " Q a_\",\"_b_\",\"_c_\",\"_d_\",\"_e\n";
    }
    void SetUp() override {
        handle = Login();
        ASSERT_TRUE(IsHandle(handle)) << handle;
    }
    void TearDown() override {
        if (IsHandle(handle)) kvx_logout(handle);
    }

    std::string X(const std::string& code, int* rc = nullptr, int capacity = 70000) {
        std::string out(static_cast<size_t>(capacity), '\0');
        int length = capacity;
        int r = kvx_xecute2(handle, code.c_str(), out.data(), &length);
        if (rc)
            *rc = r;
        else
            EXPECT_EQ(r, 0) << code << ": " << out.c_str();
        return out.substr(0, static_cast<size_t>(length));
    }

    int handle = 0;
};

struct Descriptors {
    KVX_GDB gdb;
    KVX_SDB sdb;
    Descriptors(const char* name, std::vector<std::string> subscripts) {
        kvx_gdb_initialize(sizeof gdb, &gdb);
        if (name) kvx_gdb_insert(name, &gdb, nullptr, nullptr);
        kvx_sdb_initialize(sizeof sdb, &sdb);
        for (size_t i = 0; i < subscripts.size(); ++i)
            kvx_sdb_insert(static_cast<int>(i + 1), subscripts[i].c_str(), &sdb);
    }
    std::vector<std::string> Subscripts() const {
        std::vector<std::string> out;
        int n = 0;
        kvx_sdb_count(&sdb, &n);
        for (int i = 1; i <= n; ++i) {
            char text[256];
            kvx_sdb_extract(&sdb, i, text);
            out.push_back(text);
        }
        return out;
    }
};

} // namespace

TEST_F(EndToEnd, LoginVersionAndRefusal) {
    std::string uci = "vor", vol = "dbk";
    char version[16];
    int h =
        kvx_login3("127.0.0.1", ServerPort(), uci.data(), vol.data(), "", 0, 0, "", version, sizeof version);
    ASSERT_TRUE(IsHandle(h)) << h;
    EXPECT_EQ(uci, "VOR");
    EXPECT_STREQ(version, "4.4.0");
    EXPECT_EQ(kvx_logout(h), 0);
    EXPECT_EQ(Login("ZZZ"), 10088);
    EXPECT_EQ(kvx_keepalive(handle), 0);
    EXPECT_EQ(X("W 1"), "1");
}

TEST_F(EndToEnd, ExecuteOutputAndCapacity) {
    std::string every;
    for (int i = 0; i < 256; ++i)
        every += static_cast<char>(i);
    EXPECT_EQ(X("W 1"), "1");
    EXPECT_EQ(X("S X=1"), "");
    EXPECT_EQ(X("F i=0:1:255 W $C(i)"), every);
    EXPECT_EQ(X("W $TR($J(\"\",99),\" \",\"x\")", nullptr, 100), std::string(99, 'x'));
    EXPECT_EQ(X("W $TR($J(\"\",100),\" \",\"x\")", nullptr, 100), std::string(99, 'x'));
    EXPECT_EQ(X("F i=1:1:2000 W $J(i,50)", nullptr, 65536).size(), 65535u);
    EXPECT_EQ(X("W 2"), "2"); // nothing of the long output is left over

    int rc = 0;
    std::string text = X("W \"before\" W KVXNOSUCH", &rc);
    EXPECT_EQ(rc, 10053);
    EXPECT_EQ(text.rfind("<UNDEF>", 0), 0u) << text;
    EXPECT_EQ(X("W 3"), "3");
    char small[4];
    EXPECT_EQ(kvx_xecute(handle, "W KVXNOSUCH", small, sizeof small),
              10053); // the number needs the whole text
    EXPECT_STREQ(small, "<UN");

    ASSERT_EQ(kvx_partsize(handle, 1024), 0);
}

TEST_F(EndToEnd, TimeOutThenTheConnectionServesTheNextRequest) {
    ASSERT_EQ(kvx_timeout(handle, 1), 0);
    int rc = 0;
    X("H 2 W \"late\"", &rc);
    EXPECT_EQ(rc, 10016);
    Sleep(1500); // the late answer arrives and is drained before the next request
    EXPECT_EQ(X("W \"next\""), "next");

    // Time-out 0: only an answer that is already waiting counts.
    ASSERT_EQ(kvx_timeout(handle, 0), 0);
    X("H 1 W \"late\"", &rc);
    EXPECT_EQ(rc, 10016);
    ASSERT_EQ(kvx_timeout(handle, 30), 0);
    Sleep(1500);
    EXPECT_EQ(X("W \"again\""), "again");
}

TEST_F(EndToEnd, HaltEndsTheConnection) {
    int rc = 0;
    X("H", &rc);
    EXPECT_EQ(rc, 10006);
    kvx_logout(handle);
    handle = 0;
}

TEST_F(EndToEnd, Locals) {
    ASSERT_EQ(kvx_local_set(handle, "KVXL", "a\"b\xa7"), 0);
    EXPECT_EQ(X("W KVXL"), "a\"b\xa7");
    char out[32];
    ASSERT_EQ(kvx_local_get(handle, "KVXL", out, sizeof out), 0);
    EXPECT_STREQ(out, "a\"b\xa7");
    ASSERT_EQ(kvx_local_get(handle, "KVXL", out, 3), 0);
    EXPECT_STREQ(out, "a\"");
    ASSERT_EQ(kvx_local_kill(handle, "KVXL"), 0);
    EXPECT_EQ(kvx_local_get(handle, "KVXL", out, sizeof out), 10053);
    EXPECT_EQ(std::string(out).rfind("<UNDEF>", 0), 0u) << out;

    EXPECT_EQ(kvx_local_set(handle, "", "v"), 10029);
    EXPECT_EQ(kvx_local_set(handle, "ABCDEFGHI", "v"), 10029);
    EXPECT_EQ(kvx_local_get(handle, nullptr, out, sizeof out), 10029);
    EXPECT_EQ(kvx_local_get(handle, "X", nullptr, 8), 10034);
}

TEST_F(EndToEnd, GlobalsNakedOrderAndQuery) {
    X("K ^KVXG");
    Descriptors a("KVXG", {"1", "A"}), b("KVXG", {"1", "B\"q"}), nothing(nullptr, {});
    EXPECT_EQ(kvx_global_set(handle, &a.gdb, &a.sdb, std::string(513, 'v').c_str()), 10034);
    EXPECT_EQ(kvx_global_set(handle, nullptr, &a.sdb, "v"), 10021);
    EXPECT_EQ(kvx_global_set(handle, &a.gdb, nullptr, "v"), 10024);
    EXPECT_EQ(kvx_global_kill(handle, &nothing.gdb, &nothing.sdb), 10029);
    ASSERT_EQ(kvx_global_set(handle, &a.gdb, &a.sdb, std::string(512, 'v').c_str()), 0);
    EXPECT_EQ(X("W $L(^KVXG(1,\"A\"))"), "512");
    ASSERT_EQ(kvx_global_set(handle, &a.gdb, &a.sdb, "va"), 0);
    ASSERT_EQ(kvx_global_set(handle, &b.gdb, &b.sdb, "vb"), 0);
    EXPECT_EQ(X("W ^KVXG(1,\"B\"\"q\")"), "vb");
    char out[32];
    ASSERT_EQ(kvx_global_get(handle, &a.gdb, &a.sdb, out, sizeof out), 0);
    EXPECT_STREQ(out, "va");
    Descriptors naked(nullptr, {"B\"q"});
    ASSERT_EQ(kvx_global_get(handle, &naked.gdb, &naked.sdb, out, sizeof out), 0);
    EXPECT_STREQ(out, "vb");
    int data = -1;
    Descriptors top("KVXG", {"1"});
    ASSERT_EQ(kvx_global_data(handle, &top.gdb, &top.sdb, &data), 0);
    EXPECT_EQ(data, 10);

    Descriptors walk("KVXG", {"1", ""});
    std::vector<std::string> seen;
    int rc;
    while ((rc = kvx_global_order(handle, &walk.gdb, &walk.sdb, KVX_ORDER_UPDATE_SDB, out, sizeof out)) == 0)
        seen.push_back(out);
    EXPECT_EQ(rc, 10023);
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B\"q"}));
    EXPECT_EQ(walk.Subscripts(), (std::vector<std::string>{"1"}));
    ASSERT_EQ(kvx_sdb_insert(2, "next", &walk.sdb), 0); // lands after the kept subscript
    EXPECT_EQ(walk.Subscripts(), (std::vector<std::string>{"1", "next"}));
    Descriptors back("KVXG", {"1", ""});
    ASSERT_EQ(kvx_global_order(handle, &back.gdb, &back.sdb, KVX_ORDER_REVERSE, out, sizeof out), 0);
    EXPECT_STREQ(out, "B\"q");

    Descriptors result(nullptr, {});
    ASSERT_EQ(kvx_global_query(handle, &a.gdb, &a.sdb, &result.sdb), 0);
    EXPECT_EQ(result.Subscripts(), (std::vector<std::string>{"1", "B\"q"}));
    // Commas, parentheses and quotes inside a subscript; then the end of the global.
    X("S ^KVXG(1,\"C,\"\"x)\",2)=1");
    ASSERT_EQ(kvx_global_query(handle, &b.gdb, &b.sdb, &result.sdb), 0);
    EXPECT_EQ(result.Subscripts(), (std::vector<std::string>{"1", "C,\"x)", "2"}));
    Descriptors last("KVXG", {"1", "C,\"x)", "2"});
    ASSERT_EQ(kvx_global_query(handle, &last.gdb, &last.sdb, nullptr), 0);
    EXPECT_EQ(last.Subscripts(), (std::vector<std::string>{}));

    ASSERT_EQ(kvx_global_kill(handle, &a.gdb, &a.sdb), 0);
    ASSERT_EQ(kvx_global_data(handle, &a.gdb, &a.sdb, &data), 0);
    EXPECT_EQ(data, 0);
    EXPECT_EQ(kvx_global_get(handle, &a.gdb, &a.sdb, out, sizeof out), 10053);

    // An extended reference with uci and vol.
    KVX_GDB extended;
    KVX_SDB none;
    kvx_gdb_initialize(28, &extended);
    char uci[] = "vor", vol[] = "dbk";
    ASSERT_EQ(kvx_gdb_insert("KVXS", &extended, uci, vol), 0);
    kvx_sdb_initialize(608, &none);
    ASSERT_EQ(kvx_global_set(handle, &extended, &none, "extended"), 0);
    EXPECT_EQ(X("W ^KVXS"), "extended");
}

TEST_F(EndToEnd, LocksAcrossTwoConnections) {
    int other = Login();
    ASSERT_TRUE(IsHandle(other));
    Descriptors node("KVXLOCK", {"1"});
    ASSERT_EQ(kvx_global_lock(handle, 1, &node.gdb, &node.sdb, 0), 0);
    EXPECT_EQ(kvx_global_lock(other, 1, &node.gdb, &node.sdb, 0), 10027);
    ASSERT_EQ(kvx_global_unlock(handle, 1, &node.gdb, &node.sdb), 0);
    ASSERT_EQ(kvx_global_lock(other, 0, &node.gdb, &node.sdb, 1), 0);
    EXPECT_EQ(kvx_global_lock(handle, 0, &node.gdb, &node.sdb, 0), 10027);
    ASSERT_EQ(kvx_global_unlock(other, 0, nullptr, nullptr), 0);
    EXPECT_EQ(kvx_global_lock(handle, 0, &node.gdb, &node.sdb, 0), 0);
    ASSERT_EQ(kvx_global_unlock(handle, 2, &node.gdb, &node.sdb), 0);
    kvx_logout(other);

    Descriptors withEmpty("KVXLOCK", {"1", ""}), nameless(nullptr, {"1"});
    EXPECT_EQ(kvx_global_lock(handle, 3, &node.gdb, &node.sdb, 0), 10022);
    EXPECT_EQ(kvx_global_unlock(handle, 3, &node.gdb, &node.sdb), 10022);
    EXPECT_EQ(kvx_global_unlock(handle, 2, &withEmpty.gdb, &withEmpty.sdb), 10032);
    EXPECT_EQ(kvx_global_lock(handle, 0, &nameless.gdb, &nameless.sdb, 0), 10051);
    EXPECT_EQ(kvx_global_unlock(handle, 1, nullptr, nullptr), 0);
}

TEST_F(EndToEnd, RoutineCalls) {
    char out[64];
    ASSERT_EQ(kvx_do(handle, "ECHO^KVXTEST", "a,,b", out, sizeof out), 0);
    EXPECT_STREQ(out, "a||b");
    ASSERT_EQ(kvx_do(handle, "ECHO^KVXTEST", nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "||");
    EXPECT_EQ(kvx_do(handle, "ECHO^KVXNOSUCH", nullptr, out, sizeof out), 10058);
    EXPECT_EQ(std::string(out).rfind("<NOPGM>", 0), 0u) << out;
    EXPECT_EQ(kvx_do(handle, "", nullptr, out, sizeof out), 10034);

    // The second value comes back longer than its buffer: cut to the capacity.
    int32_t types[] = {1, 1}, lengths[] = {3, 4}, capacities[] = {16, 3};
    char v0[16] = "one", v1[16] = "four";
    char* values[] = {v0, v1};
    KVX_DO2 block{sizeof(KVX_DO2), 2, types, lengths, capacities, values};
    int length = sizeof out;
    ASSERT_EQ(kvx_do2(handle, "SWAP^KVXTEST", &block, out, &length), 0);
    EXPECT_STREQ(out, "swapped");
    EXPECT_EQ(std::string(v0, static_cast<size_t>(capacities[0])), "four");
    EXPECT_EQ(std::string(v1, static_cast<size_t>(capacities[1])), "one");

    KVX_DO2 none{sizeof(KVX_DO2), 0, nullptr, nullptr, nullptr, nullptr};
    length = sizeof out;
    ASSERT_EQ(kvx_do2(handle, "ECHO^KVXTEST", &none, out, &length), 0);
    EXPECT_STREQ(out, "||");
    KVX_DO2 bad = block;
    bad.size = 20;
    EXPECT_EQ(kvx_do2(handle, "SWAP^KVXTEST", &bad, out, &length), 10040);
    bad = block;
    bad.count = 10000;
    EXPECT_EQ(kvx_do2(handle, "SWAP^KVXTEST", &bad, out, &length), 10040);
    lengths[0] = -1;
    EXPECT_EQ(kvx_do2(handle, "SWAP^KVXTEST", &block, out, &length), 10040);
}

namespace {

// Reads the reply fields of a streamed call.
std::vector<std::string> ReadFields(int handle, int count) {
    std::vector<std::string> fields;
    for (int i = 0; i < count; ++i) {
        char buffer[64];
        int length = 0;
        EXPECT_EQ(PTDO2FIELDLENGTH(handle, buffer, sizeof buffer, &length), 0);
        EXPECT_EQ(PTDO2FIELDDATA(handle, buffer, sizeof buffer, &length), 0);
        fields.emplace_back(buffer, static_cast<size_t>(length));
    }
    return fields;
}

} // namespace

TEST_F(EndToEnd, StreamedCallsWithEmptyFieldsAndRuns) {
    // The log-in above was to a newer server: empty fields are held back as runs.
    char buffer[64];
    int position = 0, run = 0;
    ASSERT_EQ(PTDO2START(handle, "FIVE^KVXTEST", buffer, sizeof buffer, &position, 10), 0);
    const std::pair<int, const char*> typed[] = {{0, "x"}, {1, ""}, {0, ""}, {0, ""}, {1, "y"}};
    for (auto [type, data] : typed)
        ASSERT_EQ(PTDO2FIELD(handle, buffer, sizeof buffer, &position, type, data,
                             static_cast<int>(std::strlen(data)), &run),
                  0);
    ASSERT_EQ(PTDO2ENDARRAY(handle, buffer, sizeof buffer, &position, &run), 0);
    char type = 0;
    int count = 0;
    ASSERT_EQ(PTDO2SEND(handle, buffer, sizeof buffer, &position, &type, &count, 0), 0);
    ASSERT_EQ(type, 'R');
    ASSERT_EQ(count, 3);
    EXPECT_EQ(ReadFields(handle, 3), (std::vector<std::string>{"x,B,,,y!", "B", "y!"}));
    ASSERT_EQ(PTDO2FINISH(handle), 0);

    // Types as plain fields: the two empty values go out as one run marker.
    position = run = 0;
    ASSERT_EQ(PTDO2START(handle, "SWAP^KVXTEST", buffer, sizeof buffer, &position, 4), 0);
    for (const char* data : {"1", "1", "", ""})
        ASSERT_EQ(PTDO2FIELD(handle, buffer, sizeof buffer, &position, -1, data,
                             static_cast<int>(std::strlen(data)), &run),
                  0);
    EXPECT_EQ(run, 2);
    ASSERT_EQ(PTDO2ENDARRAY(handle, buffer, sizeof buffer, &position, &run), 0);
    ASSERT_EQ(PTDO2SEND(handle, buffer, sizeof buffer, &position, &type, &count, 0), 0);
    ASSERT_EQ(type, 'R');
    ASSERT_EQ(count, 3);
    EXPECT_EQ(ReadFields(handle, 3), (std::vector<std::string>{"swapped", "", ""}));
    ASSERT_EQ(PTDO2FINISH(handle), 0);
}

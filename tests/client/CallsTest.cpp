// Locals, globals, locks and routine calls against scripted peers: what goes out, what comes
// back, and replies that are cut, negative or too long.
#include "tests/client/PeerSession.h"

#include <cstring>
#include <map>

using namespace vorlan;
using namespace vorlan::test;

namespace {

struct Gdb {
    KVX_GDB gdb;
    KVX_SDB sdb;
    explicit Gdb(const char* name, std::initializer_list<const char*> subscripts = {}) {
        kvx_gdb_initialize(sizeof gdb, &gdb);
        if (name) kvx_gdb_insert(name, &gdb, nullptr, nullptr);
        kvx_sdb_initialize(sizeof sdb, &sdb);
        int i = 1;
        for (const char* s : subscripts)
            kvx_sdb_insert(i++, s, &sdb);
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

TEST(Locals, RequestsAndResults) {
    std::map<std::string, std::string> vars;
    PeerSession s([&](const wire::Request& r) {
        if (r.code == "1") vars[r.fields[0]] = r.fields[1];
        if (r.code == "8") vars.erase(r.fields[0]);
        if (r.code == "2") {
            auto it = vars.find(r.fields[0]);
            return it == vars.end() ? Reply('E', {"<UNDEF>"}) : Reply('R', {it->second});
        }
        return Reply('R', {""});
    });
    ASSERT_EQ(kvx_local_set(s.handle, "%WIN", "a\"b\xa7"), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"1", "%WIN", "a\"b\xa7"}));
    ASSERT_EQ(kvx_local_set(s.handle, "X", nullptr), 0);
    char out[8];
    ASSERT_EQ(kvx_local_get(s.handle, "%WIN", out, sizeof out), 0);
    EXPECT_STREQ(out, "a\"b\xa7");
    ASSERT_EQ(kvx_local_get(s.handle, "%WIN", out, 3), 0);
    EXPECT_STREQ(out, "a\"");
    ASSERT_EQ(kvx_local_kill(s.handle, "%WIN"), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"8", "%WIN"}));
    EXPECT_EQ(kvx_local_get(s.handle, "%WIN", out, sizeof out), 10053);
    EXPECT_STREQ(out, "<UNDEF>");

    size_t sent = s.Requests().size();
    EXPECT_EQ(kvx_local_set(s.handle, "", "v"), 10029);
    EXPECT_EQ(kvx_local_set(s.handle, "ABCDEFGHI", "v"), 10029);
    EXPECT_EQ(kvx_local_get(s.handle, nullptr, out, sizeof out), 10029);
    EXPECT_EQ(kvx_local_get(s.handle, "X", nullptr, 8), 10034);
    EXPECT_EQ(s.Requests().size(), sent);
}

TEST(Globals, ReferencesCodesAndResults) {
    PeerSession s([](const wire::Request& r) {
        if (r.code == "4") return Reply('R', {"value of " + r.fields[0]});
        if (r.code == "5") return Reply('R', {"11"});
        return Reply('R', {""});
    });
    KVX_GDB gdb;
    KVX_SDB sdb;
    kvx_gdb_initialize(28, &gdb);
    char uci[] = "sys", vol[] = "dbk";
    kvx_gdb_insert("PAT", &gdb, uci, vol);
    kvx_sdb_initialize(608, &sdb);
    kvx_sdb_insert(1, "1", &sdb);
    kvx_sdb_insert(2, "\"y", &sdb);
    const std::string ref = "[\"SYS\",\"DBK\"]PAT(\"1\",\"\"\"y\")";

    ASSERT_EQ(kvx_global_set(s.handle, &gdb, &sdb, std::string(512, 'v').c_str()), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"3", ref, std::string(512, 'v')}));
    size_t sent = s.Requests().size();
    EXPECT_EQ(kvx_global_set(s.handle, &gdb, &sdb, std::string(513, 'v').c_str()), 10034);
    EXPECT_EQ(kvx_global_set(s.handle, nullptr, &sdb, "v"), 10021);
    EXPECT_EQ(kvx_global_set(s.handle, &gdb, nullptr, "v"), 10024);
    Gdb empty(nullptr);
    EXPECT_EQ(kvx_global_kill(s.handle, &empty.gdb, &empty.sdb), 10029);
    EXPECT_EQ(s.Requests().size(), sent);

    ASSERT_EQ(kvx_global_set_null(s.handle, &gdb, &sdb), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"3", ref, ""}));
    char out[64] = "an old long text in the buffer";
    ASSERT_EQ(kvx_global_get(s.handle, &gdb, &sdb, out, sizeof out), 0);
    EXPECT_EQ(std::string(out), "value of " + ref);
    ASSERT_EQ(kvx_global_kill(s.handle, &gdb, &sdb), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"7", ref}));
    int data = -1;
    ASSERT_EQ(kvx_global_data(s.handle, &gdb, &sdb, &data), 0);
    EXPECT_EQ(data, 11);
    EXPECT_EQ(Sent(s.Last()), (Fields{"5", ref}));

    Gdb naked(nullptr, {"x", "last"});
    ASSERT_EQ(kvx_global_kill(s.handle, &naked.gdb, &naked.sdb), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"7", "(\"last\")"}));
}

TEST(Globals, OrderWalksALevel) {
    std::vector<std::string> level = {"A", "B"};
    PeerSession s([&](const wire::Request& r) {
        // The subscript after the last one of the reference, forwards ("6") or backwards ("17").
        std::string last = r.fields[0].substr(r.fields[0].rfind(",\"") + 2);
        last = last.substr(0, last.size() - 2);
        std::string next;
        if (r.code == "6") {
            for (const auto& l : level)
                if (l > last) {
                    next = l;
                    break;
                }
        } else {
            for (auto it = level.rbegin(); it != level.rend(); ++it)
                if (last.empty() || *it < last) {
                    next = *it;
                    break;
                }
        }
        return Reply('R', {next});
    });
    Gdb g("PAT", {"1", ""});
    char out[16];
    ASSERT_EQ(kvx_global_order(s.handle, &g.gdb, &g.sdb, KVX_ORDER_UPDATE_SDB, out, sizeof out), 0);
    EXPECT_STREQ(out, "A");
    EXPECT_EQ(g.Subscripts(), (Fields{"1", "A"}));
    ASSERT_EQ(kvx_global_order(s.handle, &g.gdb, &g.sdb, KVX_ORDER_UPDATE_SDB, out, sizeof out), 0);
    EXPECT_EQ(g.Subscripts(), (Fields{"1", "B"}));
    EXPECT_EQ(kvx_global_order(s.handle, &g.gdb, &g.sdb, KVX_ORDER_UPDATE_SDB, out, sizeof out), 10023);
    EXPECT_EQ(g.Subscripts(), (Fields{"1"}));
    // A later append lands after the kept subscript.
    ASSERT_EQ(kvx_sdb_insert(2, "", &g.sdb), 0);
    EXPECT_EQ(g.Subscripts(), (Fields{"1", ""}));

    ASSERT_EQ(kvx_global_order(s.handle, &g.gdb, &g.sdb, KVX_ORDER_REVERSE, out, sizeof out), 0);
    EXPECT_STREQ(out, "B");
    EXPECT_EQ(s.Last().code, "17");
    EXPECT_EQ(g.Subscripts(), (Fields{"1", ""})); // without the update bit the sdb stays
}

TEST(Globals, QueryResultIsSplitQuoteAware) {
    std::string answer;
    PeerSession s([&](const wire::Request&) { return Reply('R', {answer}); });
    struct {
        const char* answer;
        Fields subscripts;
    } cases[] = {
        {"^PAT(\"1\",\"B\")", {"1", "B"}},
        {"^PAT(1,\"A,\"\"B)\",\"\")", {"1", "A,\"B)", ""}},
        {"[\"SYS\"]PAT(\"x\")", {"x"}},
        {"", {}},
        {"^PAT", {}},
    };
    for (const auto& c : cases) {
        answer = c.answer;
        Gdb g("PAT", {"1", "A"});
        Gdb result(nullptr, {"stale"});
        ASSERT_EQ(kvx_global_query(s.handle, &g.gdb, &g.sdb, &result.sdb), 0) << c.answer;
        EXPECT_EQ(result.Subscripts(), c.subscripts) << c.answer;
        EXPECT_EQ(g.Subscripts(), (Fields{"1", "A"}));
        ASSERT_EQ(kvx_global_query(s.handle, &g.gdb, &g.sdb, nullptr), 0) << c.answer;
        EXPECT_EQ(g.Subscripts(), c.subscripts) << c.answer;
    }
    EXPECT_EQ(Sent(s.Last()), (Fields{"12", "PAT(\"1\",\"A\")"}));
}

TEST(Locks, LockAndUnlock) {
    std::string granted = "1";
    PeerSession s([&](const wire::Request& r) { return Reply('R', {r.code == "13" ? "" : granted}); });
    Gdb g("LCK", {"a\"b"});
    ASSERT_EQ(kvx_global_lock(s.handle, 1, &g.gdb, &g.sdb, 5), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"10", "LCK(\"a\"\"b\")", "5"}));
    granted = "0";
    EXPECT_EQ(kvx_global_lock(s.handle, 0, &g.gdb, &g.sdb, 0), 10027);
    EXPECT_EQ(s.Last().code, "9");
    granted = "1";
    ASSERT_EQ(kvx_global_lock(s.handle, 2, &g.gdb, &g.sdb, 1), 0);
    EXPECT_EQ(s.Last().code, "11");

    ASSERT_EQ(kvx_global_unlock(s.handle, 0, nullptr, nullptr), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"13"}));
    ASSERT_EQ(kvx_global_unlock(s.handle, 1, nullptr, nullptr), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"14", ""}));
    ASSERT_EQ(kvx_global_unlock(s.handle, 2, &g.gdb, &g.sdb), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"15", "LCK(\"a\"\"b\")"}));

    size_t sent = s.Requests().size();
    Gdb withEmpty("LCK", {"a", ""});
    Gdb nameless(nullptr, {"a"});
    EXPECT_EQ(kvx_global_lock(s.handle, 3, &g.gdb, &g.sdb, 1), 10022);
    EXPECT_EQ(kvx_global_unlock(s.handle, 3, &g.gdb, &g.sdb), 10022);
    EXPECT_EQ(kvx_global_unlock(s.handle, 2, &withEmpty.gdb, &withEmpty.sdb), 10032);
    EXPECT_EQ(kvx_global_lock(s.handle, 0, &nameless.gdb, &nameless.sdb, 1), 10051);
    EXPECT_EQ(kvx_global_unlock(s.handle, 1, &g.gdb, nullptr), 10024);
    EXPECT_EQ(kvx_global_lock(s.handle, 0, nullptr, &g.sdb, 1), 10021);
    EXPECT_EQ(s.Requests().size(), sent);
}

TEST(Routines, DoSendsValueParameters) {
    PeerSession s([](const wire::Request& r) {
        if (r.fields[0] == "ERR^X") return Reply('E', {"<NOPGM>ERR^X"});
        if (r.fields[0] == "NONE^X") return Reply('R', {});
        return Reply('R', {"result"});
    });
    char out[32];
    EXPECT_EQ(kvx_do(s.handle, "", nullptr, out, sizeof out), 10034);
    ASSERT_EQ(kvx_do(s.handle, "EN^X", nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "result");
    EXPECT_EQ(Sent(s.Last()), (Fields{"D", "EN^X"}));
    ASSERT_EQ(kvx_do(s.handle, "EN^X", "a,,b", out, sizeof out), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"D", "EN^X", "0", "a", "0", "", "0", "b"}));
    ASSERT_EQ(kvx_do(s.handle, "EN^X", "", out, sizeof out), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"D", "EN^X", "0", ""}));
    EXPECT_EQ(kvx_do(s.handle, "ERR^X", nullptr, out, sizeof out), 10058);
    EXPECT_STREQ(out, "<NOPGM>ERR^X");
    EXPECT_EQ(kvx_do(s.handle, "NONE^X", nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
}

TEST(Routines, Do2SendsTypesAndTakesBackValues) {
    PeerSession s([](const wire::Request& r) {
        if (r.fields.size() < 7) return Reply('R', {"r"});
        return Reply('R', {"result", "back one", "back two, longer than its buffer"});
    });
    int32_t types[] = {0, 1, 1}, lengths[] = {2, 3, 0}, capacities[] = {10, 10, 4};
    char v0[10] = "in", v1[10] = "ref", v2[10] = "";
    char* values[] = {v0, v1, v2};
    KVX_DO2 block{sizeof(KVX_DO2), 3, types, lengths, capacities, values};
    char out[32];
    int length = sizeof out;
    ASSERT_EQ(kvx_do2(s.handle, "EN^X", &block, out, &length), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"D", "EN^X", "0", "in", "1", "ref", "1", ""}));
    EXPECT_STREQ(out, "result");
    EXPECT_EQ(length, 6);
    EXPECT_EQ(capacities[0], 10); // not by reference: untouched
    EXPECT_EQ(capacities[1], 8);
    EXPECT_EQ(std::string(v1, 8), "back one");
    EXPECT_EQ(capacities[2], 4);
    EXPECT_EQ(std::string(v2, 4), "back");

    KVX_DO2 none{sizeof(KVX_DO2), 0, nullptr, nullptr, nullptr, nullptr};
    length = sizeof out;
    ASSERT_EQ(kvx_do2(s.handle, "EN^X", &none, out, &length), 0);
    EXPECT_EQ(Sent(s.Last()), (Fields{"D", "EN^X"}));

    size_t sent = s.Requests().size();
    KVX_DO2 bad = block;
    bad.size = 20;
    EXPECT_EQ(kvx_do2(s.handle, "EN^X", &bad, out, &length), 10040);
    bad = block;
    bad.count = 10000;
    EXPECT_EQ(kvx_do2(s.handle, "EN^X", &bad, out, &length), 10040);
    lengths[0] = -1;
    EXPECT_EQ(kvx_do2(s.handle, "EN^X", &block, out, &length), 10040);
    EXPECT_EQ(kvx_do2(s.handle, "EN^X", nullptr, out, &length), 10040);
    EXPECT_EQ(kvx_do2(s.handle, "", &block, out, &length), 10034);
    EXPECT_EQ(s.Requests().size(), sent);
}

TEST(Replies, MisbehavingPeersNeverCorruptTheNextReply) {
    // Each case answers the first local_get badly; where the connection survives, the second
    // call must get its own answer.
    struct {
        const char* name;
        std::vector<std::string> pieces; // sent with pauses between them
        bool closeAfter;
        int rc;
        std::string value;
    } cases[] = {
        {"closes mid-field", {Reply('R', {"abcdef"}).substr(0, 16)}, true, 10006, "ab"},
        {"closes mid-length", {Field("R") + Field("1") + "\0\0"}, true, 10006, ""},
        {"negative length", {Field("R") + Field("1") + Be32(-5) + "abcde"}, false, 10039, ""},
        {"over-long field arriving late",
         {Field("R") + Field("1") + Be32(2000) + std::string(700, 'a'), std::string(1300, 'a')},
         false,
         0,
         std::string(15, 'a')},
        {"type of two bytes", {Field("RR") + Field("1") + Field("x")}, false, 10006, ""},
        {"unexpected type", {Reply('X', {"x"})}, false, 10039, ""},
        {"error with two fields", {Reply('E', {"<UNDEF>", "x"})}, false, 10039, ""},
        {"count over 999", {Field("R") + Field("1000")}, false, 10039, ""},
        {"more fields than asked", {Reply('R', {"v", "extra", "more"})}, false, 0, ""},
    };
    for (const auto& c : cases) {
        ScriptedPeer peer([&](PeerConnection& conn, ScriptedPeer& self) {
            wire::Request r;
            if (!AnswerLogin(conn, self) || !conn.ReadRequest(&r)) return;
            for (const auto& p : c.pieces) {
                conn.Send(p);
                Sleep(100);
            }
            if (c.closeAfter) return conn.Close();
            while (conn.ReadRequest(&r))
                conn.Send(Reply('R', {"second"}));
        });
        int h = LoginTo(peer.port());
        char out[16];
        EXPECT_EQ(kvx_local_get(h, "X", out, sizeof out), c.rc) << c.name;
        EXPECT_STREQ(out, c.value.c_str()) << c.name;
        if (!c.closeAfter) {
            Sleep(150);
            EXPECT_EQ(kvx_local_get(h, "X", out, sizeof out), 0) << c.name;
            EXPECT_STREQ(out, "second") << c.name;
        }
        kvx_logout(h);
    }
}

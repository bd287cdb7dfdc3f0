// The library without a server: start and end, the calls on the tables, the descriptors.
// Runs in a process of its own, so that the first test sees the library uninitialised.
#include "client/kvxapi.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstring>
#include <string>

TEST(Library, ProtocolCallsBeforeInitialisationReport10003) {
    char out[16] = "x";
    int capacity = sizeof out;
    int position = 0;
    char uci[] = "";
    struct {
        const char* name;
        int rc;
    } cases[] = {
        {"xecute", kvx_xecute(1, "W 1", out, sizeof out)},
        {"xecute2 with empty code", kvx_xecute2(1, "", out, &capacity)},
        {"logout", kvx_logout(1)},
        {"keepalive", kvx_keepalive(1)},
        {"local_get", kvx_local_get(1, "X", out, sizeof out)},
        {"do", kvx_do(1, "R^X", nullptr, out, sizeof out)},
        {"PTDO2START", PTDO2START(1, "R^X", out, sizeof out, &position, 0)},
        {"PTDO2FINISH", PTDO2FINISH(1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rc, 10003) << c.name;
    EXPECT_EQ(kvx_timeout(1, 5), 10007);
    (void)uci;
}

TEST(Library, RundownCleansUpOncePerInitialisation) {
    // The test holds one start of its own; the library adds two and must give both back.
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    ASSERT_EQ(kvx_initialize(), 0);
    ASSERT_EQ(kvx_initialize(), 0);
    ASSERT_EQ(kvx_rundown(), 0);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    ASSERT_EQ(kvx_initialize(), 0); // and it starts again afterwards
}

TEST(Library, VersionErrorAndTimeoutArguments) {
    char version[6];
    ASSERT_EQ(kvx_version(version), 0);
    EXPECT_STREQ(version, "4.4.0");
    EXPECT_EQ(kvx_version(nullptr), 10034);

    struct {
        const char* text;
        int number;
    } errors[] = {
        {"<UNDEF>zz+3^ABC", 10053}, {"<undef>zz+3^ABC", 10035}, {"<PART>", 10044},  {"<PASSWD>", 10009},
        {"<NOSIB>", 10023},         {"<MODER>x", 10070},        {"<DKFUL>", 10067}, {"", 10035}};
    for (const auto& e : errors)
        EXPECT_EQ(kvx_error(e.text), e.number) << e.text;
    EXPECT_EQ(kvx_error(nullptr), 10035);

    EXPECT_EQ(kvx_timeout(1, -1), 10016);
    EXPECT_EQ(kvx_timeout(0, 5), 10007);
    EXPECT_EQ(kvx_timeout(1025, 5), 10007);
    EXPECT_EQ(kvx_options(2, 0), 0);
    EXPECT_EQ(kvx_options(0, 2), 0);
}

TEST(Descriptors, GlobalDescriptor) {
    KVX_GDB gdb;
    EXPECT_EQ(kvx_gdb_initialize(27, &gdb), 10020);
    EXPECT_EQ(kvx_gdb_initialize(28, nullptr), 10021);
    ASSERT_EQ(kvx_gdb_initialize(28, &gdb), 0);
    EXPECT_EQ(gdb.signature, 25);

    for (const char* bad : {"1ABC", "A_B", "ABCDEFGHI", "", "A B"})
        EXPECT_EQ(kvx_gdb_insert(bad, &gdb, nullptr, nullptr), 10029) << bad;
    EXPECT_EQ(kvx_gdb_insert(nullptr, &gdb, nullptr, nullptr), 10029);
    EXPECT_EQ(kvx_gdb_insert("PAT", nullptr, nullptr, nullptr), 10021);

    char uci[] = "sys", vol[] = "dbk";
    ASSERT_EQ(kvx_gdb_insert("%Pat8", &gdb, uci, vol), 0);
    EXPECT_STREQ(uci, "SYS"); // upper-cased in the caller's text
    EXPECT_STREQ(vol, "DBK");
    char name[9], u[4], v[4];
    int length = 0;
    ASSERT_EQ(kvx_gdb_extract(&gdb, name, &length, u, v), 0);
    EXPECT_STREQ(name, "%Pat8");
    EXPECT_EQ(length, 5);
    EXPECT_STREQ(u, "SYS");
    EXPECT_STREQ(v, "DBK");

    char shortUci[] = "ab";
    EXPECT_EQ(kvx_gdb_insert("PAT", &gdb, shortUci, nullptr), 10030);
    char goodUci[] = "abc", badVol[] = "abcd";
    EXPECT_EQ(kvx_gdb_insert("PAT", &gdb, goodUci, badVol), 10031);
    ASSERT_EQ(kvx_gdb_insert("PAT", &gdb, nullptr, vol), 0); // a vol without uci is ignored
    ASSERT_EQ(kvx_gdb_extract(&gdb, nullptr, nullptr, u, v), 0);
    EXPECT_STREQ(u, "");
    EXPECT_STREQ(v, "");
    ASSERT_EQ(kvx_gdb_clear(&gdb), 0);
    EXPECT_EQ(gdb.name_length, 0);
}

namespace {

std::string Extract(const KVX_SDB& sdb, int index) {
    char out[256];
    EXPECT_EQ(kvx_sdb_extract(&sdb, index, out), 0);
    return out;
}

int Count(const KVX_SDB& sdb) {
    int n = -1;
    kvx_sdb_count(&sdb, &n);
    return n;
}

} // namespace

TEST(Descriptors, SubscriptDescriptorKeepsSubscriptsOneToCount) {
    KVX_SDB sdb;
    EXPECT_EQ(kvx_sdb_initialize(607, &sdb), 10024);
    EXPECT_EQ(kvx_sdb_initialize(608, nullptr), 10033);
    ASSERT_EQ(kvx_sdb_initialize(608, &sdb), 0);
    EXPECT_EQ(kvx_sdb_insert(2, "x", &sdb), 10025);
    EXPECT_EQ(kvx_sdb_insert(1, nullptr, &sdb), 10032);
    EXPECT_EQ(kvx_sdb_insert(1, "x", nullptr), 10024);

    ASSERT_EQ(kvx_sdb_insert(1, "1", &sdb), 0);
    ASSERT_EQ(kvx_sdb_insert(2, "\"y", &sdb), 0);
    ASSERT_EQ(kvx_sdb_insert_null(3, &sdb), 0);
    EXPECT_EQ(Count(sdb), 3);
    EXPECT_EQ(Extract(sdb, 2), "\"y");
    EXPECT_EQ(Extract(sdb, 3), "");
    EXPECT_EQ(kvx_sdb_extract(&sdb, 0, nullptr), 10025);
    EXPECT_EQ(kvx_sdb_extract(&sdb, 4, nullptr), 10025);

    // Replacing subscript 2 drops 3; inserting 1 starts afresh and gives back every byte.
    ASSERT_EQ(kvx_sdb_insert(2, "zz", &sdb), 0);
    EXPECT_EQ(Count(sdb), 2);
    EXPECT_EQ(Extract(sdb, 2), "zz");
    EXPECT_EQ(sdb.used, 3 + 4);
    ASSERT_EQ(kvx_sdb_insert(1, "a", &sdb), 0);
    EXPECT_EQ(Count(sdb), 1);
    EXPECT_EQ(sdb.used, 3);

    ASSERT_EQ(kvx_sdb_clear(&sdb), 0);
    EXPECT_EQ(Count(sdb), 0);
}

TEST(Descriptors, SubscriptBudgetAndSlotLimit) {
    KVX_SDB sdb;
    ASSERT_EQ(kvx_sdb_initialize(608, &sdb), 0);
    EXPECT_EQ(kvx_sdb_insert(1, std::string(255, 'a').c_str(), &sdb), 10028);
    ASSERT_EQ(kvx_sdb_insert(1, std::string(254, 'a').c_str(), &sdb), 0);
    EXPECT_EQ(sdb.used, 256);
    EXPECT_EQ(kvx_sdb_insert(2, "", &sdb), 10028);
    EXPECT_EQ(Count(sdb), 1);

    // A nearly full block can still replace its last subscript (walking a level).
    ASSERT_EQ(kvx_sdb_insert(1, std::string(200, 'b').c_str(), &sdb), 0);
    ASSERT_EQ(kvx_sdb_insert(2, std::string(50, 'c').c_str(), &sdb), 0);
    EXPECT_EQ(kvx_sdb_insert(3, "dd", &sdb), 10028);
    ASSERT_EQ(kvx_sdb_insert(2, std::string(52, 'e').c_str(), &sdb), 0);
    EXPECT_EQ(Extract(sdb, 1), std::string(200, 'b'));
    EXPECT_EQ(Extract(sdb, 2), std::string(52, 'e'));

    // 84 slots: the 85th subscript is refused, not written past the pointer list.
    ASSERT_EQ(kvx_sdb_initialize(608, &sdb), 0);
    for (int i = 1; i <= 84; ++i)
        ASSERT_EQ(kvx_sdb_insert_null(i, &sdb), 0) << i;
    EXPECT_EQ(kvx_sdb_insert_null(85, &sdb), 10025);
    EXPECT_EQ(Count(sdb), 84);
    EXPECT_EQ(sdb.used, 168);
}

TEST(Descriptors, LinksPointIntoTheBlock) {
    KVX_SDB sdb;
    ASSERT_EQ(kvx_sdb_initialize(608, &sdb), 0);
    ASSERT_EQ(kvx_sdb_insert(1, "ab", &sdb), 0);
    ASSERT_EQ(kvx_sdb_insert(2, "c", &sdb), 0);
#ifdef _WIN64
    EXPECT_EQ(sdb.subscript[0], 352);
    EXPECT_EQ(sdb.subscript[1], 356);
    EXPECT_EQ(sdb.subscript[2], 0);
    EXPECT_EQ(sdb.next_free, 359);
#else
    EXPECT_EQ(sdb.subscript[0], sdb.text);
    EXPECT_EQ(sdb.next_free, sdb.text + 7);
#endif
}

TEST(Descriptors, DamagedBlocksAreRefused) {
    KVX_SDB sdb;
    ASSERT_EQ(kvx_sdb_initialize(608, &sdb), 0);
    ASSERT_EQ(kvx_sdb_insert(1, "ab", &sdb), 0);
    KVX_SDB copy;
    std::memcpy(&copy, &sdb, sizeof sdb);
    EXPECT_EQ(Extract(copy, 1), "ab"); // a copied block stands on its own

    sdb.count = 200;
    EXPECT_EQ(kvx_sdb_extract(&sdb, 1, nullptr), 10024);
    sdb.count = 2;
    std::memset(sdb.text, 'x', sizeof sdb.text); // no terminator anywhere
    char out[300];
    EXPECT_EQ(kvx_sdb_extract(&sdb, 1, out), 10024);
    EXPECT_EQ(kvx_sdb_insert(3, "q", &sdb), 10024);
    sdb.size = 600;
    EXPECT_EQ(kvx_sdb_count(&sdb, nullptr), 10024);
}

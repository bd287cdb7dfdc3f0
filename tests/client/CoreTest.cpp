// Internals of the library that the exported calls cannot reach cheaply: a full connection
// table, and the reference texts built from the descriptors.
#include "client/Descriptors.h"
#include "client/Tables.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan::client;

TEST(ConnectionTable, HandlesAreSlotsAndAFullTableTakesNoMore) {
    ClearTablesOnce();
    for (int i = 0; i < kSlots; ++i)
        ASSERT_EQ(RegisterSocket(static_cast<SOCKET>(5000 + i), 30), i + 1);
    EXPECT_EQ(RegisterSocket(99, 30), 0);
    ASSERT_NE(FindSlot(1024), nullptr);
    EXPECT_EQ(FindSlot(1024)->socket, static_cast<SOCKET>(5000 + 1023));
    EXPECT_EQ(FindSlot(0), nullptr);
    EXPECT_EQ(FindSlot(1025), nullptr);
    UnregisterHandle(7);
    EXPECT_EQ(FindSlot(7), nullptr);
    EXPECT_EQ(RegisterSocket(99, 10), 7);
    EXPECT_EQ(FindSlot(7)->timeout, 10);
    for (int h = 1; h <= kSlots; ++h)
        UnregisterHandle(h);
}

namespace {

struct Descriptors {
    KVX_GDB gdb;
    KVX_SDB sdb;
    Descriptors(const char* name, std::initializer_list<const char*> subscripts, const char* uci = nullptr,
                const char* vol = nullptr) {
        kvx_gdb_initialize(28, &gdb);
        std::string u = uci ? uci : "", v = vol ? vol : "";
        if (name) kvx_gdb_insert(name, &gdb, uci ? u.data() : nullptr, vol ? v.data() : nullptr);
        kvx_sdb_initialize(608, &sdb);
        int i = 1;
        for (const char* s : subscripts)
            kvx_sdb_insert(i++, s, &sdb);
    }
};

std::string Build(const Descriptors& d, ReferenceKind kind, int* rc) {
    char out[kReferenceMax];
    int32_t length = -1;
    *rc = BuildReference(&d.gdb, &d.sdb, kind, out, &length);
    EXPECT_EQ(static_cast<size_t>(length), std::string(out).size());
    return out;
}

} // namespace

TEST(References, TextsAsTheServerReadsThem) {
    std::string longSubscript(100, 'n');
    struct {
        const char* what;
        Descriptors d;
        ReferenceKind kind;
        int rc;
        std::string text;
    } cases[] = {
        {"uci, vol, doubled quote",
         {"PAT", {"1", "\"y"}, "sys", "dbk"},
         ReferenceKind::Global,
         0,
         "[\"SYS\",\"DBK\"]PAT(\"1\",\"\"\"y\")"},
        {"uci only", {"PAT", {}, "sys"}, ReferenceKind::Global, 0, "[\"SYS\"]PAT"},
        {"plain", {"X", {"a", ""}}, ReferenceKind::Global, 0, "X(\"a\",\"\")"},
        {"naked takes the last subscript",
         {nullptr, {"a", "b\"c"}},
         ReferenceKind::Global,
         0,
         "(\"b\"\"c\")"},
        {"naked of any length",
         {nullptr, {longSubscript.c_str()}},
         ReferenceKind::Global,
         0,
         "(\"" + longSubscript + "\")"},
        {"nothing at all", {nullptr, {}}, ReferenceKind::Global, 10029, ""},
        {"lock without a name", {nullptr, {"a"}}, ReferenceKind::Lock, 10051, ""},
        {"lock of a whole global", {"L", {}}, ReferenceKind::Lock, 0, "L"},
        {"unlock with an empty subscript", {"L", {"a", ""}}, ReferenceKind::Unlock, 10032, ""},
        {"unlock", {"L", {"a"}}, ReferenceKind::Unlock, 0, "L(\"a\")"},
    };
    for (const auto& c : cases) {
        int rc = -1;
        std::string text = Build(c.d, c.kind, &rc);
        EXPECT_EQ(rc, c.rc) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
    // Missing blocks, whichever call passes them on.
    Descriptors d("X", {});
    char out[kReferenceMax];
    int32_t length;
    for (auto kind : {ReferenceKind::Global, ReferenceKind::Lock, ReferenceKind::Unlock}) {
        EXPECT_EQ(BuildReference(nullptr, &d.sdb, kind, out, &length), 10021);
        EXPECT_EQ(BuildReference(&d.gdb, nullptr, kind, out, &length), 10024);
    }
}

TEST(References, WorstCaseFitsTheArea) {
    // 84 subscripts of quotes only, as many as the budget allows: every quote doubles.
    Descriptors d("ABCDEFGH", {}, "abc", "def");
    for (int i = 1; i <= 84; ++i) {
        std::string s(i == 1 ? 254 - 2 * 83 : 0, '"');
        ASSERT_EQ(kvx_sdb_insert(i, s.c_str(), &d.sdb), 0) << i;
    }
    int rc;
    std::string text = Build(d, ReferenceKind::Global, &rc);
    ASSERT_EQ(rc, 0);
    EXPECT_LT(text.size(), static_cast<size_t>(kReferenceMax));
}

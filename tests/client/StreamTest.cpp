// The streamed routine call: the caller's buffer and position, runs of empty fields after a
// newer server, and reading the reply field by field.
#include "tests/client/PeerSession.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::test;

namespace {

std::string Answer(const wire::Request&) {
    return ReplyBytes('R', {"ok", std::string(40, 'r')});
}

// Sends routine EN^X with the given appends, returns the raw request bytes the peer read.
struct Stream {
    PeerSession& s;
    char buffer[64];
    int position = 0;
    int run = 0;

    explicit Stream(PeerSession& session, int count, int callType = 0) : s(session) {
        EXPECT_EQ(PTDO2START2(s.handle, "EN^X", buffer, sizeof buffer, &position, count, callType), 0);
    }
    void Field(int type, const std::string& data) {
        EXPECT_EQ(PTDO2FIELD(s.handle, buffer, sizeof buffer, &position, type, data.data(),
                             static_cast<int>(data.size()), &run),
                  0);
    }
    std::string Send() {
        char type = 0;
        int count = -1;
        EXPECT_EQ(PTDO2SEND(s.handle, buffer, sizeof buffer, &position, &type, &count, 0), 0);
        EXPECT_EQ(type, 'R');
        EXPECT_EQ(count, 2);
        EXPECT_EQ(PTDO2FINISH(s.handle), 0);
        return s.LastRaw();
    }
};

std::string Head(const std::string& code, int count) {
    return FieldBytes(code) + FieldBytes(std::to_string(count)) + FieldBytes("EN^X");
}

} // namespace

TEST(Stream, EmptyFieldsOneByOneUntilANewerServer) {
    // Not newer (4.0.0, then 3.9): every empty field goes as a field of length 0.
    for (const char* version : {"4.0.0", "3.9"}) {
        PeerSession s(Answer, ServerVersion(version));
        Stream st(s, 3);
        st.Field(-1, "");
        st.Field(-1, "");
        st.Field(-1, "x");
        EXPECT_EQ(st.Send(), Head("D", 4) + FieldBytes("") + FieldBytes("") + FieldBytes("x")) << version;
        EXPECT_EQ(st.run, 0);
    }

    PeerSession s(Answer, ServerVersion("4.1.0"));
    struct {
        const char* name;
        std::vector<std::pair<int, std::string>> fields; // type, data
        bool endArray;
        int runStart;
        std::string expect;
    } cases[] = {
        {"five empty, then data",
         {{-1, ""}, {-1, ""}, {-1, ""}, {-1, ""}, {-1, ""}, {-1, "d"}},
         false,
         0,
         RunMarker(5) + FieldBytes("d")},
        {"two empty at the end", {{-1, "d"}, {-1, ""}, {-1, ""}}, true, 0, FieldBytes("d") + RunMarker(2)},
        {"one empty", {{-1, ""}, {-1, "d"}}, false, 0, FieldBytes("") + FieldBytes("d")},
        {"counter off",
         {{-1, ""}, {-1, ""}, {-1, "d"}},
         false,
         -1,
         FieldBytes("") + FieldBytes("") + FieldBytes("d")},
        // A type belongs to the field after it: the run before it goes out first.
        {"typed empties",
         {{1, ""}, {2, ""}, {3, "d"}},
         false,
         0,
         FieldBytes("1") + FieldBytes("") + FieldBytes("2") + FieldBytes("") + FieldBytes("3") +
             FieldBytes("d")},
    };
    for (const auto& c : cases) {
        int logical = 0;
        for (const auto& f : c.fields)
            logical += f.first == -1 ? 1 : 2;
        Stream st(s, logical);
        st.run = c.runStart;
        for (const auto& f : c.fields)
            st.Field(f.first, f.second);
        if (c.endArray) {
            EXPECT_EQ(PTDO2ENDARRAY(s.handle, st.buffer, sizeof st.buffer, &st.position, &st.run), 0);
        }
        EXPECT_EQ(st.Send(), Head("D", logical + 1) + c.expect) << c.name;
    }

    // Nothing pending: the end of an array appends nothing.
    Stream st(s, 1);
    int before = st.position;
    EXPECT_EQ(PTDO2ENDARRAY(s.handle, st.buffer, sizeof st.buffer, &st.position, &st.run), 0);
    EXPECT_EQ(st.position, before);
    st.Field(-1, "z");
    st.Send();
}

TEST(Stream, CallTypesBlocksAndBigFields) {
    PeerSession s(Answer);
    for (int type : {0, 1, 2, 7}) {
        Stream st(s, 0, type);
        st.Send();
        EXPECT_EQ(s.Last().code, type == 1 ? "DD" : type == 2 ? "DE" : "D");
    }
    // A field larger than the buffer goes out through it in pieces; a block is sent as is.
    std::string big(300, 'q');
    Stream st(s, 3);
    st.Field(5, big);
    std::string framed = FieldBytes("own");
    EXPECT_EQ(PTDO2BLOCK(s.handle, st.buffer, sizeof st.buffer, &st.position, -1, framed.data(),
                         static_cast<int>(framed.size())),
              0);
    EXPECT_EQ(st.Send(), Head("D", 4) + FieldBytes("5") + FieldBytes(big) + FieldBytes("own"));

    Stream bad(s, 1);
    EXPECT_EQ(PTDO2FIELD(s.handle, bad.buffer, sizeof bad.buffer, &bad.position, -1, nullptr, 3, &bad.run),
              10034);
    EXPECT_EQ(PTDO2FIELD(s.handle, bad.buffer, sizeof bad.buffer, nullptr, -1, "x", 1, &bad.run), 10034);
    EXPECT_EQ(PTDO2START(s.handle, "", bad.buffer, sizeof bad.buffer, &bad.position, 0), 10034);
    int outside = 100;
    EXPECT_EQ(PTDO2FIELD(s.handle, bad.buffer, sizeof bad.buffer, &outside, -1, "x", 1, &bad.run), 10034);
}

TEST(Stream, ReplyReadFieldByField) {
    PeerSession s([](const wire::Request&) {
        return ReplyBytes('R', {"first", std::string(100, 'l')}) + Be32(-3) + "tail";
    });
    Stream st(s, 0);
    char type = 0;
    int count = 0;
    ASSERT_EQ(PTDO2SEND2(s.handle, st.buffer, 0, &st.position, &type, &count, 0, nullptr, 0), 0);
    EXPECT_EQ(type, 'R');
    EXPECT_EQ(count, 2);
    EXPECT_GT(st.position, 0); // the caller's position is left as it was

    char small[3];
    int length = 0;
    EXPECT_EQ(PTDO2FIELDLENGTH(s.handle, small, sizeof small, &length), 10034);
    char buffer[16];
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 5);
    ASSERT_EQ(PTDO2FIELDDATA(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(std::string(buffer, 5), "first");
    EXPECT_EQ(length, 5);

    // Longer than the buffer: cut, and the rest taken off the stream.
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 100);
    ASSERT_EQ(PTDO2FIELDDATA(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 16);
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, -3);
    EXPECT_EQ(PTDO2FIELDDATA(s.handle, buffer, sizeof buffer, &length), 10039);
    EXPECT_EQ(PTDO2FINISH(s.handle), 0);
}

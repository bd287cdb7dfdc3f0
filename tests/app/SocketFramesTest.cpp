// The own protocol's bytes as the program reads them.
#include "app/SocketFrames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace vorlan::socketframes;
using namespace std::string_literals;

TEST(SocketFrames, ExecuteRepliesBecomeOutputOrErrorText) {
    struct Case {
        std::string reply;
        int rc;
        std::string text;
    } cases[] = {
        {"1\f\fSeite\0"
         "1\0\0\0"s,
         0, "Seite"},
        {"1\0"
         "1\0\0\0"s,
         0, ""},
        {"1halb\0"
         "0<UNDEF>X^Y\0\0\0"s,
         kServerError, "<UNDEF>X^Y"},
        {"1\0"
         "0\f<SYNTX>\0\0\0"s,
         kServerError, "<SYNTX>"},
        {"1ohne Status\0\0\0"s, kServerError, ""},
        {"0abgelehnt\0\0\0"s, kServerError, "0abgelehnt"},
        {"1unvollständig\0"s, kServerError, ""},
    };
    for (const auto& c : cases) {
        std::string buffer = c.reply;
        EXPECT_EQ(TakeExecuteReply(&buffer[0], int(buffer.size())), c.rc) << c.reply;
        EXPECT_EQ(std::string(buffer.c_str()), c.text) << c.reply;
    }
}

// A reply longer than the buffer as the receive loop takes it: the buffer full, the rest in
// pieces of every size from one byte up, so that the output's NUL and the closing NULs fall
// anywhere.
TEST(SocketFrames, LongExecuteRepliesComeBackCutAsTheClientLibrarysDo) {
    const int capacity = 16;
    auto reply = [](const std::string& output, const std::string& status) {
        return "1" + output + "\0"s + status + "\0\0\0"s;
    };
    const std::string y40(40, 'y');
    struct Case {
        std::string reply;
        int rc;
        std::string text;
    } cases[] = {
        {reply(y40, "1"), 0, std::string(15, 'y')},
        {reply(std::string(15, 'y'), "1"), 0, std::string(15, 'y')}, // the output's NUL just beyond
        {reply(std::string(14, 'y'), "1"), 0, std::string(14, 'y')}, // its NUL the buffer's last byte
        {reply("kurz", "1" + std::string(10, ' ')), 0, "kurz"},
        {reply("\f\f" + y40, "1"), 0, std::string(13, 'y')},
        {reply(y40, "0<UNDEF>X^Y"), kServerError, "<UNDEF>X^Y"},
        {reply("halb", "0<UNDEFINED>ZERR+3^QX"), kServerError, "<UNDEFINED>ZERR"},
        {"1" + y40 + "\0\0\0"s, kServerError, ""}, // no status
        {"0" + std::string(40, 'r') + "\0\0\0"s, kServerError, "0" + std::string(14, 'r')},
    };
    for (const auto& c : cases) {
        for (size_t piece = 1; piece <= 8; ++piece) {
            SCOPED_TRACE(c.text + " in pieces of " + std::to_string(piece));
            ASSERT_GT(c.reply.size(), size_t(capacity));
            std::string buffer = c.reply.substr(0, capacity) + "guard";
            ReplyBeyond beyond(buffer.data(), capacity);
            for (size_t at = capacity; at < c.reply.size(); at += piece) {
                EXPECT_FALSE(beyond.Whole());
                beyond.Add(c.reply.data() + at, int(std::min(piece, c.reply.size() - at)));
            }
            EXPECT_TRUE(beyond.Whole());
            EXPECT_EQ(TakeLongExecuteReply(&buffer[0], capacity, beyond), c.rc);
            EXPECT_EQ(std::string(buffer.c_str()), c.text);
            EXPECT_EQ(buffer.substr(capacity), "guard");
        }
    }
}

TEST(SocketFrames, LoginRepliesAndFramesThatDoNotFit) {
    EXPECT_EQ(LoginResult("1\0", 2), kAccepted);
    EXPECT_EQ(LoginResult("0,3\0", 4), kLoginRefused);
    EXPECT_EQ(LoginResult("0,1\0", 4), kLoginFailed);
    EXPECT_EQ(LoginResult("0\0", 2), kLoginFailed);

    char buffer[8];
    EXPECT_EQ(BuildFrame('X', "W 12", buffer, 8), 7);
    EXPECT_EQ(std::string(buffer, 7), "\5\0XW 12"s);
    EXPECT_EQ(BuildFrame('X', "W 123", buffer, 8), 8);
    EXPECT_EQ(BuildFrame('X', "W 1234", buffer, 8), -1);
    std::string huge(0xFFFF, 'x');
    std::string big(0x10010, '\0');
    EXPECT_EQ(BuildFrame('X', huge.c_str(), &big[0], int(big.size())), -1) << "the length field holds 65535";
}

} // namespace

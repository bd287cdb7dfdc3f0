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

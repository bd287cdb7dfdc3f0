#include "app/ReplyFields.h"

#include <gtest/gtest.h>

#include <cstring>

using vorlan::Piece;
using vorlan::PieceOf;

TEST(Piece, PiecesOfAReply) {
    struct Case {
        const char* src;
        int n;
        char d;
        const char* want;
    } cases[] = {
        {"A\xa7"
         "B\xa7"
         "C",
         2, '\xa7', "B"},
        {"A\xa7"
         "B\xa7"
         "C",
         4, '\xa7', ""},
        {"ABC", 1, ',', "ABC"},
        {"ABC", 2, ',', ""},
        {",x,", 1, ',', ""},
        {",x,", 3, ',', ""},
        {"", 1, ',', ""},
        {"a,b", 0, ',', ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PieceOf(c.src, c.n, c.d), c.want) << c.src << " " << c.n;
        char buf[16];
        EXPECT_STREQ(Piece(c.src, buf, c.n, c.d, sizeof buf), c.want);
    }
}

TEST(Piece, NeverWritesPastItsCapacity) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    Piece("0123456789,x", buf, 1, ',', 5);
    EXPECT_STREQ(buf, "0123");
    EXPECT_EQ(buf[5], '#');
    Piece("abc", buf, 1, ',', 1);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Piece(nullptr, buf, 1, ',', 4), buf);
    EXPECT_STREQ(buf, "");
}

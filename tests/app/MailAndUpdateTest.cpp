#include "app/MailLink.h"
#include "app/UpdateCheck.h"
#include "framework/PathParts.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(MailLink, ValuesArePercentEncodedWholly) {
    EXPECT_EQ(PercentEncode("a-b_c.d~"), "a-b_c.d~");
    EXPECT_EQ(PercentEncode("100% \"x\" & $H#?=\n\xe4"), "100%25%20%22x%22%20%26%20%24H%23%3F%3D%0A%E4");
    SupportMail m;
    m.recipient = "support@example.invalid";
    m.message = "(#10001)<UNDEF>";
    m.line = "W ^X(\"a&b\")";
    m.serverValues = {{"USER", "A&B"}, {"JOB", "12"}};
    m.horolog = "66000,100";
    std::string link = BuildSupportMailLink(m);
    EXPECT_EQ(link.rfind("mailto:support@example.invalid?subject=VORLAN Konflikt&body=", 0), 0u);
    EXPECT_NE(link.find("Konfliktmeldung: %28%2310001%29%3CUNDEF%3E W%20%5EX%28%22a%26b%22%29%0D"),
              std::string::npos);
    EXPECT_NE(link.find("%25USER: A%26B%0D%25JOB: 12%0D%24H: 66000%2C100"), std::string::npos);
    m.copyTo = "chef@example.invalid";
    EXPECT_NE(BuildSupportMailLink(m).find("?cc=chef%40example.invalid&subject="), std::string::npos);
}

TEST(MailLink, SupportRequestEncodesEveryByteOfDescriptionAndReport) {
    // CR goes, LF, blank and quote are encoded, and so is everything else outside the
    // unreserved set: a "%" of the report would otherwise start an escape of its own.
    EXPECT_EQ(MailBodyEncode("Es geht \"nicht\"\r\nmehr"), "Es%20geht%20%22nicht%22%0Amehr");
    EXPECT_EQ(MailBodyEncode("%USER=\"a&b\"\r\n"), "%25USER%3D%22a%26b%22%0A");
    EXPECT_EQ(
        BuildSupportRequestLink("support@example.invalid", "Automatische Supportanfrage", "x%20y", "r%0A"),
        "mailto:support@example.invalid?subject=Automatische%20Supportanfrage&body=x%20y%0A%0Ar%0A");
}

TEST(UpdateCheck, OnlyAKnownNewerVersionIsOffered) {
    struct Case {
        FileVersion cand, run;
        bool want;
    } cases[] = {
        {{0, 0}, {1, 1}, false}, {{1, 1}, {0, 0}, false},
        {{2, 0}, {1, 9}, true},  {{1, 2}, {1, 1}, true},
        {{1, 1}, {1, 1}, false}, {{1, 0x80000000u}, {1, 0x7FFFFFFFu}, true}, // unsigned
        {{0, 5}, {1, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNewerVersion(c.cand, c.run), c.want);
    EXPECT_EQ(VersionText({0x00040004, 0x00050017}, true), "Version 5 (Build 23)  (Windows XP)");
    EXPECT_EQ(fw::WithTrailingBackslash("C:\\x"), "C:\\x\\");
    // One argument even with blanks; the final backslash survives the quote.
    EXPECT_EQ(InstallerParameters("C:\\Program Files\\VORLAN\\"), "\"C:\\Program Files\\VORLAN\\\\\"");
    EXPECT_EQ(InstallerParameters("D:\\V"), "\"D:\\V\\\\\"");
    EXPECT_EQ(fw::WithTrailingBackslash(""), "");
}

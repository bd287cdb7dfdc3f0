// Card reading with the reading dialog of reader kind 0, fed by the characters a keyboard card
// reader types: the fields reach the server, quoted, from the last to the first, before the
// request's routine runs; a reading that did not end well hands nothing over.
#include "tests/cards/ReadingDialog.h"
#include "tests/forms/FormRequestsFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class FormCardsTest : public FormRequestsTestBase {
  protected:
    // The session's lines of one reading of n fields, typed by a keyboard card reader.
    std::vector<std::string> Read(int n, const std::string& typed) {
        Once("K ^TSTREQ(\"CARD\")");
        recorder->Take();
        fw::TestMode::PushAnswer(typed.empty() ? "dialog 260" : "dialog 260 wait:");
        readingdialog::WhileShown type([typed] {
            HWND dialog = readingdialog::Find();
            if (dialog && !typed.empty()) readingdialog::Type(dialog, typed);
            return dialog != nullptr;
        });
        Step("S %WIN(\"READCARD\")=" + std::to_string(n) +
             ",%WIN(\"READCARD\",\"ART\")=0,%WIN(\"READCARD\",\"RTN\")=\"CARD^TSTREQ\"");
        return recorder->Take();
    }
    // The lines from the first result line on, as many as expected.
    static std::vector<std::string> ResultLines(const std::vector<std::string>& lines, size_t count) {
        auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("S %WIN(\"READCARD\",", 0) == 0;
        });
        size_t from = static_cast<size_t>(first - lines.begin());
        return std::vector<std::string>(
            first, lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), from + count)));
    }
};

} // namespace

TEST_F(FormCardsTest, ReadFieldsReachTheServerQuotedBeforeTheRoutine) {
    RequestScreen();
    ASSERT_NE(Open("TSTRQ"), nullptr);
    const std::vector<std::string> fields = {"\"M\xFCller\" <AOK>", "Karte g\xFCltig", "$C(9)"};
    std::vector<std::string> lines = Read(3, fields[0] + "\r\n" + fields[1] + "?" + fields[2] + "\r");
    std::vector<std::string> expected;
    for (int i = 3; i >= 1; --i)
        expected.push_back("S %WIN(\"READCARD\"," + std::to_string(i) +
                           ")=" + Q(fields[static_cast<size_t>(i) - 1]));
    expected.push_back("S %QCC=$G(%WIN(\"READCARD\",\"RTN\")) D:%QCC'=\"\" @%QCC K %WIN(\"READCARD\")");
    EXPECT_EQ(ResultLines(lines, 4), expected) << "one line each, the last first, then the routine";
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(Saw("\"CARD\"," + std::to_string(i)), fields[static_cast<size_t>(i) - 1]) << i;
    EXPECT_EQ(Server("W $D(%WIN(\"READCARD\"))"), "0");
    EXPECT_EQ(DialogResult(IDD_READCARD), 1);

    std::vector<std::string> many = Read(70, std::string(32, '?'));
    std::vector<std::string> results = ResultLines(many, 33);
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.front(), "S %WIN(\"READCARD\",32)=\"\"") << "no more fields than the dialog holds";
    EXPECT_EQ(Saw("\"CARD\""), "1");
    EXPECT_EQ(Once("W $D(^TSTREQ(\"CARD\",33))"), "0");

    fw::TestMode::ClearShown();
    std::vector<std::string> unread = Read(3, "");
    EXPECT_EQ(formrequests::CountStarting(unread, "S %WIN(\"READCARD\","), 0u)
        << "a reading that did not end well hands nothing over";
    EXPECT_EQ(DialogResult(IDD_READCARD), IDCANCEL);
    EXPECT_EQ(Saw("\"CARD\""), "1") << "and the routine still runs";
    EXPECT_TRUE(Boxes().empty());
}

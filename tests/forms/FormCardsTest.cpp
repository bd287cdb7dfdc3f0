// Card reading with a card dialog that reads: the result lines reach the server, quoted, from
// the last to the first, before the request's routine runs. The dialog is the test's double
// (ReadCardDouble.cpp), linked in place of the stand-in that reads nothing.
#include "tests/forms/FormRequestsFixture.h"
#include "tests/forms/ReadCardDouble.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

class FormCardsTest : public FormRequestsTestBase {
  protected:
    void SetUp() override {
        FormRequestsTestBase::SetUp();
        readcarddouble::Made().clear();
        readcarddouble::g_result = 1;
    }
    // The session's lines of one reading of n lines.
    std::vector<std::string> Read(int n, int kind) {
        Once("K ^TSTREQ(\"CARD\")");
        recorder->Take();
        Step("S %WIN(\"READCARD\")=" + std::to_string(n) + ",%WIN(\"READCARD\",\"ART\")=" +
             std::to_string(kind) + ",%WIN(\"READCARD\",\"RTN\")=\"CARD^TSTREQ\"");
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

TEST_F(FormCardsTest, ReadLinesReachTheServerQuotedBeforeTheRoutine) {
    RequestScreen();
    ASSERT_NE(Open("TSTRQ"), nullptr);
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind);
        readcarddouble::Made().clear();
        std::vector<std::string> lines = Read(3, kind);
        EXPECT_EQ(readcarddouble::Made(), (std::vector<std::pair<int, int>>{{3, kind}}));
        std::vector<std::string> expected;
        for (int i = 3; i >= 1; --i)
            expected.push_back("S %WIN(\"READCARD\"," + std::to_string(i) +
                               ")=" + Q(readcarddouble::Line(i)));
        expected.push_back("S %QCC=$G(%WIN(\"READCARD\",\"RTN\")) D:%QCC'=\"\" @%QCC K %WIN(\"READCARD\")");
        EXPECT_EQ(ResultLines(lines, 4), expected) << "one line each, the last first, then the routine";
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(Saw("\"CARD\"," + std::to_string(i)), readcarddouble::Line(i)) << i;
        EXPECT_EQ(Server("W $D(%WIN(\"READCARD\"))"), "0");
    }

    readcarddouble::Made().clear();
    std::vector<std::string> many = Read(70, 0);
    EXPECT_EQ(readcarddouble::Made(), (std::vector<std::pair<int, int>>{{64, 0}}))
        << "no more lines than the dialog holds";
    std::vector<std::string> results = ResultLines(many, 65);
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.front().rfind("S %WIN(\"READCARD\",64)=", 0), 0u);
    EXPECT_EQ(Saw("\"CARD\",64"), readcarddouble::Line(64));
    EXPECT_EQ(Once("W $D(^TSTREQ(\"CARD\",65))"), "0");

    readcarddouble::g_result = 0;
    std::vector<std::string> unread = Read(3, 0);
    EXPECT_EQ(formrequests::CountStarting(unread, "S %WIN(\"READCARD\","), 0u)
        << "a reading that did not end well hands nothing over";
    EXPECT_EQ(Saw("\"CARD\""), "1") << "and the routine still runs";
    EXPECT_TRUE(Boxes().empty());
}

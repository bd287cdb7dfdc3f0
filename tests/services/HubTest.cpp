// The request hub against a server of the test's own: which lines it sends, which nodes it
// removes, what it logs and what it pastes.
#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "services/HubLines.h"
#include "services/RequestNodes.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FakeTransport.h"
#include "tests/harness/Harness.h"
#include "tests/services/HubFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace vorlan;

namespace {

// The requests for outside components and devices: this server's nodes hold nothing to serve.
const std::vector<std::string> kOutside = {"POCKET",  "KODIP",      "%DRG",   "QSMED", "QS-FILTER",
                                           "QR-CODE", "DATAMATRIX", "USYS10", "SOUND"};

// The server of the test: the request nodes that exist, and the lines it was sent.
class HubTest : public ::testing::Test {
  protected:
    void SetUp() override {
        apptest::PrepareApp("HubTest", std::make_unique<FakeTransport>(m_server));
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.Settings().protocol = 1;
        m_server.answer = [this](const std::string& code, int) { return std::make_pair(0, Answer(code)); };
        ASSERT_TRUE(theApp.Connect());
        ASSERT_EQ(theApp.Login("127.0.0.1", 1972, "", "", "", false), 7);
    }
    void TearDown() override { apptest::ReleaseApp(); }

    std::string Answer(const std::string& code) {
        if (code == "W $JOB") return "4711";
        if (code == PasteReadLine()) return m_paste;
        if (code == ReportLine())
            return "1\xa7"
                   "0\xa7";
        for (int i = 0; i < kRequestNodeCount; ++i) {
            const RequestNode& n = kRequestNodes[i];
            if (code == NodeTestLine(n.node)) return m_nodes.count(n.node) ? "1" : "";
            if (code == NodeKillLine(n.node, n.alsoKilled ? n.alsoKilled : "")) {
                m_nodes.erase(n.node);
                if (n.alsoKilled) m_nodes.erase(n.alsoKilled);
            }
        }
        return "";
    }
    // The lines of the hub's passes (after the log-in).
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const std::string& call : m_server.Calls())
            if (call.rfind("x 7 ", 0) == 0 && call != "x 7 W $JOB") lines.push_back(call.substr(4));
        return lines;
    }
    size_t Count(const std::string& line) {
        size_t n = 0;
        for (const std::string& l : Lines())
            n += l == line;
        return n;
    }
    std::string Protocol() { return m_protocol.Text(); }
    size_t NotServedNotes() {
        std::string log = Protocol();
        size_t n = 0;
        for (size_t at = 0; (at = log.find("not served", at)) != std::string::npos; ++at)
            ++n;
        return n;
    }
    void Pass() { CRequestHub(TheSession(), m_form).Run(); }

    FakeServer m_server;
    std::set<std::string> m_nodes;
    std::string m_paste;
    apptest::ProtocolInFolder m_protocol{harness::FreshFolder("hub")};
    hubtest::FormDouble m_form;
};

} // namespace

TEST_F(HubTest, WithoutRequestsOnlyTheTestsReachTheServer) {
    size_t linesAtDdn = 0;
    m_form.onDdn = [&] { linesAtDdn = Lines().size(); };
    Pass();
    std::vector<std::string> expected{PasteReadLine()};
    for (int i = 0; i < kRequestNodeCount; ++i)
        expected.push_back(NodeTestLine(kRequestNodes[i].node));
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(m_form.ddn, std::vector<std::string>{"(null)"});
    EXPECT_EQ(linesAtDdn, expected.size() - 1) << "the pending actions run before the copy request's test";
    EXPECT_TRUE(fw::TestMode::Shown().empty());
}

TEST_F(HubTest, RequestsAreRemovedOnceServedAndNotServedAgain) {
    m_nodes = {"%SQL"};
    Pass();
    EXPECT_TRUE(m_nodes.empty());
    EXPECT_EQ(Count(ReportLine()), 0u) << "the SQL request does not report";

    m_nodes.insert(kOutside.begin(), kOutside.end());
    Pass();
    EXPECT_TRUE(m_nodes.empty()) << "by the hub, and the barcode nodes by their services";
    EXPECT_EQ(Count(ReportLine()), 1u);
    EXPECT_EQ(NotServedNotes(), 0u) << "every node has its service";
    // What the services say of components missing here is theirs to test.
    fw::TestMode::ClearShown();

    size_t before = Lines().size();
    Pass();
    EXPECT_EQ(Lines().size() - before, kRequestNodeCount + 1u) << "only the tests";
    EXPECT_TRUE(fw::TestMode::Shown().empty());
}

TEST_F(HubTest, ThePortRequestGoesToTheFormAndIsRemovedWithoutReport) {
    m_nodes = {"COMPORT"};
    Pass();
    EXPECT_EQ(m_form.comPorts, 1);
    EXPECT_TRUE(m_nodes.empty());
    EXPECT_EQ(Count(ReportLine()), 0u);
    EXPECT_EQ(NotServedNotes(), 0u);
    Pass();
    EXPECT_EQ(m_form.comPorts, 1) << "served once";
}

TEST_F(HubTest, PastedTextGoesToThePasteTargetBetweenTheBracketMessages) {
    struct Target : CWnd {
        std::vector<std::string> seen;
        LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
            if (msg == WM_USER + 0x100)
                seen.push_back("bracket " + std::to_string(w) + "," + std::to_string(l));
            if (msg == WM_SETTEXT) seen.push_back(std::string("text ") + reinterpret_cast<const char*>(l));
            return CWnd::WindowProc(msg, w, l);
        }
    } target;
    ASSERT_TRUE(
        target.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), m_form.HubWindow(), 1));
    HWND other = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 30, 100, 20, m_form.HubWindow(),
                                   nullptr, nullptr, nullptr);
    ::SetFocus(other);

    m_paste = "Befund \"neu\"";
    Pass();
    EXPECT_EQ(Count(NodeKillLine("%EDITPASTE")), 1u) << "dropped, without a paste target";
    m_form.m_paste = target.m_hWnd;
    Pass();
    EXPECT_EQ(target.seen, (std::vector<std::string>{"bracket 1,1", "text Befund \"neu\"", "bracket 1,0"}));
    EXPECT_EQ(target.GetWindowText(), "Befund \"neu\"");
    EXPECT_EQ(::GetFocus(), other) << "the focus goes back";
    EXPECT_EQ(Count(NodeKillLine("%EDITPASTE")), 2u);
    m_paste.clear();
    Pass();
    EXPECT_EQ(Count(NodeKillLine("%EDITPASTE")), 2u) << "nothing to paste, nothing to remove";
    target.DestroyWindow();
}

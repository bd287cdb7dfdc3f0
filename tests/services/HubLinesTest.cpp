// The request hub's M lines and the reading of the server's answers.
#include "services/HubLines.h"
#include "services/RequestNodes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace vorlan;

TEST(HubLines, NodeLinesQuoteWhatTheyPaste) {
    EXPECT_EQ(NodeTestLine("%SQL"), "W:$D(^QTEMP(%JOB,\"%SQL\")) 1");
    EXPECT_EQ(NodeKillLine("FILESORT"), "K ^QTEMP(%JOB,\"FILESORT\")");
    EXPECT_EQ(NodeKillLine("%EXCEL", "EXCEL"), "K ^QTEMP(%JOB,\"%EXCEL\"),^QTEMP(%JOB,\"EXCEL\")");
    EXPECT_EQ(NodeValueLine("KLICKBUTTON"), "W $G(^QTEMP(%JOB,\"KLICKBUTTON\"))");
    EXPECT_EQ(NodeKeyValueLine("%ZIP3DES", "DIR"), "W $G(^QTEMP(%JOB,\"%ZIP3DES\",\"DIR\"))");
    EXPECT_EQ(NextKeyLine("%CLIPBOARD", ""), "W $O(^QTEMP(%JOB,\"%CLIPBOARD\",\"\"))")
        << "the walk starts at \"\"";
    EXPECT_EQ(NextKeyLine("%CLIPBOARD", "a\"b"), "W $O(^QTEMP(%JOB,\"%CLIPBOARD\",\"a\"\"b\"))");
    EXPECT_EQ(NodeKeyValueLine("%CLIPBOARD", "x\ty"), "W $G(^QTEMP(%JOB,\"%CLIPBOARD\",\"x\"_$C(9)_\"y\"))");
    EXPECT_EQ(PasteReadLine(), "W $G(%WIN(\"%EDITPASTE\")) K %WIN(\"%EDITPASTE\")");
}

TEST(HubLines, RoutinesRunAsTheServerWroteThemAndNeverEmpty) {
    EXPECT_EQ(DoLine("OK^ZFILE(\"a\")"), "D OK^ZFILE(\"a\")");
    EXPECT_EQ(DoLine(""), "") << "a bare D would run nothing the server asked for";
    EXPECT_EQ(PackResultLine("Datei \"x\" gepackt\r\n", "DONE^ZPACK"),
              "S %F=\"Datei \"\"x\"\" gepackt\"_$C(13,10) D DONE^ZPACK W $G(%F) K %F");
    EXPECT_EQ(PackResultLine("", ""), "S %F=\"\" W $G(%F) K %F");
}

TEST(HubLines, PackModeIsTheSecondPieceAsANumber) {
    struct Case {
        const char* value;
        const char* routine;
        bool unpack;
    } cases[] = {
        {"OK^ZP\xa7"
         "1",
         "OK^ZP", true},
        {"OK^ZP\xa7"
         "0",
         "OK^ZP", false},
        {"OK^ZP", "OK^ZP", false},
        {"OK^ZP\xa7"
         "2",
         "OK^ZP", true},
        {"\xa7"
         "1",
         "", true},
        {"OK^ZP\xa7x", "OK^ZP", false},
    };
    for (const Case& c : cases) {
        PackRequest r = ParsePackValue(c.value);
        EXPECT_EQ(r.routine, c.routine) << c.value;
        EXPECT_EQ(r.unpack, c.unpack) << c.value;
    }
}

TEST(HubLines, ReportKeepsTextsWholeWhateverTheyHold) {
    HubReport r = ParseReport("1\xa7"
                              "3\xa7"
                              "a\xa7"
                              "bc\xa7"
                              "d");
    EXPECT_TRUE(r.fDefined);
    EXPECT_EQ(r.inf, "a\xa7"
                     "b");
    EXPECT_EQ(r.f, "c\xa7"
                   "d");
    r = ParseReport("0\xa7"
                    "0\xa7");
    EXPECT_FALSE(r.fDefined);
    EXPECT_EQ(r.inf, "");
    r = ParseReport("11\xa7"
                    "0\xa7"
                    "nur F");
    EXPECT_TRUE(r.fDefined) << "$D 11: %F has a value and nodes below";
    EXPECT_EQ(r.f, "nur F");
    r = ParseReport("");
    EXPECT_FALSE(r.fDefined) << "a failed line reports nothing";
}

TEST(RequestNodes, OrderKillsAndReportFlagsFollowTheProtocol) {
    std::string order;
    std::set<std::string> reporting, byService;
    std::map<std::string, std::string> also;
    int previous = 0;
    for (int i = 0; i < kRequestNodeCount; ++i) {
        const RequestNode& n = kRequestNodes[i];
        EXPECT_GT(n.step, previous) << n.node;
        previous = n.step;
        order += std::string(order.empty() ? "" : " ") + n.node;
        if (n.setsReport) reporting.insert(n.node);
        if (n.kill == NodeKill::ByService) byService.insert(n.node);
        if (n.alsoKilled) also[n.node] = n.alsoKilled;
    }
    EXPECT_EQ(order,
              "%SQL %ZIP3DES POCKET %EXCEL KODIP %DRG QSMED QS-FILTER EKV QR-CODE DATAMATRIX USYS10 SOUND "
              "%FILE COMPORT %MESSAGE KLICKBUTTON %CLIPBOARD FILESORT");
    EXPECT_EQ(reporting, (std::set<std::string>{"POCKET", "%EXCEL", "KODIP", "%DRG", "QSMED", "QS-FILTER",
                                                "EKV", "QR-CODE", "DATAMATRIX", "USYS10", "SOUND", "%FILE"}));
    EXPECT_EQ(also, (std::map<std::string, std::string>{{"%EXCEL", "EXCEL"}}));
    EXPECT_EQ(byService, (std::set<std::string>{"%ZIP3DES", "QR-CODE", "DATAMATRIX", "%FILE"}));
    EXPECT_EQ(kRequestNodes[kRequestNodeCount - 1].step, 22) << "the copy request comes after the report";
    EXPECT_EQ(kRequestNodes[kRequestNodeCount - 2].step, kReportStep - 1);
}

// The demo's screen EXT in the real main frame: each service chosen in the form, its request
// posted when «Text» is left, served by the hub after that step through the automation
// double (registered by its fixture, answering from the demo's script), its callback in the
// server's trace and its summary in the report step's box; «Ergebnis» shows on entry what
// the service left.
#include "tests/com/ComDoubleClient.h"
#include "tests/forms/FormServerFixture.h"

#include <string>
#include <vector>

using demotrace::Has;

namespace {

class ExternalScreenTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        std::string program = comdouble::ServerPath("QSMED");
        ASSERT_FALSE(program.empty()) << "the automation double's fixture registers it";
        std::string folder = program.substr(0, program.find_last_of('\\') + 1);
        char source[MAX_PATH];
        ASSERT_TRUE(GetEnvironmentVariableA("VORLAN_DEMO_SCRIPT", source, sizeof source));
        ASSERT_TRUE(CopyFileA(source, (folder + "AutomationDouble.script").c_str(), FALSE));
    }
    std::vector<std::string> BoxTexts() {
        std::vector<std::string> texts;
        for (const auto& box : Boxes())
            texts.push_back(box.text);
        fw::TestMode::ClearShown();
        return texts;
    }
    // Chooses the service and leaves «Text»: the boxes the pass showed.
    std::vector<std::string> Serve(int service) {
        fw::TestMode::ClearShown();
        Enter(1, std::to_string(service));
        Enter(2, "Gr\xfc\xdf"
                 "e aus der Praxis");
        return BoxTexts();
    }
    // «Ergebnis» entered again (the Tab out of «Text» enters it before the request is served).
    std::string Result() {
        SetFocus(Field(1));
        harness::Pump();
        SetFocus(Field(3));
        harness::Pump();
        char text[512] = "";
        GetWindowTextA(Field(3), text, sizeof text);
        return text;
    }
};

} // namespace

TEST_F(ExternalScreenTest, EachServiceIsServedAfterTheFieldStep) {
    LogIn();
    StartMemo("EXT");
    ASSERT_NE(Form(), nullptr);
    Trace();

    EXPECT_TRUE(Serve(1).empty());
    EXPECT_EQ(Result().substr(0, 21), "#######  # ## #######");
    Serve(2);
    EXPECT_EQ(Result().substr(0, 11), "# # # # # #");

    struct Case {
        int service;
        const char* callback; // in the trace
        const char* box;
    } cases[] = {
        {3, "DRG^QEXT", "DRG F60B (Kreislauferkrankungen mit akutem Myokardinfarkt), PCCL 2, ID Grouper"},
        {4, "DRG^QEXT", "DRG F60A (Myokardinfarkt mit komplizierenden Diagnosen), PCCL 3, KODIP DRG-Grouper"},
        {5, "DRG^QEXT", "DRG F41Z (Invasive kardiologische Diagnostik), PCCL 1"},
        {6, "KODIP^QEXT", "Kodiert: K52.9, A09.9"},
        {7, "KODIP^QEXT", "Kodiert: 5-470.11"},
        {8, "KODIP^QEXT", "Kodiert: I21.0, E11.90; OPS 1-275.0"},
        {9, "KODIP^QEXT", "Kodiert: S42.3"},
        {10, nullptr, "Der QS-Bogen wurde ausgef\xfcllt."},
        {11, nullptr,
         "Die QS-Pr\xfc"
         "fung ist gelaufen."},
        {13, nullptr, "Der Klang wurde gespielt."},
        {14, nullptr, "Pocket: Art 0, nichts weiter zu tun."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> boxes = Serve(c.service);
        ASSERT_FALSE(boxes.empty()) << c.service;
        EXPECT_EQ(boxes.back(), c.box) << c.service;
        Lines trace = Trace();
        EXPECT_TRUE(Has(trace, "TEXT^QEXT(\"Gr\xfc\xdf"
                               "e aus der Praxis\")"))
            << c.service;
        if (c.callback) {
            EXPECT_TRUE(Has(trace, c.callback)) << c.service;
        }
        if (c.service == 11) {
            EXPECT_EQ(Result(), "A1: 09/1, A2: 09/1");
        }
        if (c.service == 3) {
            EXPECT_EQ(Result(), c.box);
        }
    }
    // No device answers on this prefix's COM7: the client says so, and the report follows.
    std::vector<std::string> device = Serve(12);
    ASSERT_EQ(device.size(), 2u);
    EXPECT_EQ(device[0].find("Das Messger\xe4t an COM7 konnte nicht gelesen werden"), 0u) << device[0];
    EXPECT_EQ(device[1], "Das Messger\xe4t an COM7 wurde abgefragt.");
    Server("S n=0 F "
           "r=\"QR-CODE\",\"DATAMATRIX\",\"%DRG\",\"KODIP\",\"QSMED\",\"QS-FILTER\",\"USYS10\",\"SOUND\","
           "\"POCKET\" S n=n+$D(^QTEMP(%JOB,r))");
    EXPECT_EQ(Server("W n"), "0") << "every request removed";
}

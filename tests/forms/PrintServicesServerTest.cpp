// The printer choice, the print list, the text export, the hard copy and the text box print
// against the demo's letter screen DRK on the fixture's dbserver, printing onto the CUPS
// fixture's queue and read back through Ghostscript's text output.
#include "forms/FormOutput.h"
#include "frame/ChildList.h"
#include "resources/ChildrenIds.h"
#include "framework/TestMode.h"
#include "resources/MainFrameIds.h"
#include "resources/PrintChoiceIds.h"
#include "services/PrintList.h"
#include "services/SelectPrinter.h"
#include "services/TextExport.h"
#include "tests/com/LaunchLog.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/PreviewPrinting.h"
#include "tests/harness/PrintedPages.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool Has(const Lines& trace, const std::string& entry) {
    return std::find(trace.begin(), trace.end(), entry) != trace.end();
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

bool ShownWith(const std::string& part) {
    for (const auto& item : fw::TestMode::Shown())
        if (item.text.find(part) != std::string::npos) return true;
    return false;
}

const fw::ShownItem* Shown(const std::string& kind, int id = 0) {
    static fw::ShownItem found;
    for (const auto& item : fw::TestMode::Shown())
        if (item.kind == kind && (id == 0 || item.id == id)) {
            found = item;
            return &found;
        }
    return nullptr;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::string Joined(const std::vector<std::string>& pages) {
    std::string all;
    for (const std::string& page : pages)
        all += page;
    return all;
}

class PrintServicesTest : public FormServerTestBase {
  protected:
    std::string job;
    void SetUp() override {
        FormServerTestBase::SetUp();
        LogIn();
        job = Server("W $J");
        Server("K ^ZDR(%JOB),%PF,%ST");
    }
    void TearDown() override {
        Server("K ^ZDR(%JOB),%PF,%ST");
        Once("K ^Z(\"DRL\",99),^Z(\"DEV\",\"demo\")");
        FormServerTestBase::TearDown();
    }
    void OpenLetter() { OpenScreen("DRK"); }
    // A screen whose report is the test's own: the letter prepares its lines itself.
    void OpenScreen(const char* name) {
        StartMemo(name);
        ASSERT_NE(Form(), nullptr);
        ASSERT_EQ(Form()->GetFormName(), name);
        Trace();
        fw::TestMode::ClearShown();
    }
    // The job's report lines, as a print routine leaves them.
    void Report(const std::vector<std::string>& lines) {
        Server("K ^ZDR(%JOB,\"LISTE\") S ^ZDR(%JOB,\"LISTE\")=\"\"");
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string quoted;
            for (char c : lines[i])
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            Server("S ^ZDR(%JOB,\"LISTE\"," + std::to_string(i + 1) + ")=\"" + quoted + "\"");
        }
    }
    // What the printer choice shows: the ports of its rows and the row selected.
    struct Listed {
        std::vector<std::string> ports;
        int selected = -1;
        std::string secondColumnOfLast;
    };
    Listed ListDevices(const char* screenshot = nullptr) {
        Listed listed;
        CSelectPrinter dialog(Form());
        EXPECT_TRUE(dialog.Create(IDD_SELECT_PRINTER, Form()));
        HWND list = dialog.GetDlgItem(IDC_PRINTER_LIST);
        int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        char text[128];
        for (int i = 0; i < rows; ++i) {
            LVITEMA item{};
            item.iSubItem = 0;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            listed.ports.push_back(text);
            item.iSubItem = 1;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            listed.secondColumnOfLast = text;
        }
        listed.selected =
            static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        char artifacts[MAX_PATH];
        if (screenshot && GetEnvironmentVariableA("VORLAN_ARTIFACTS", artifacts, sizeof artifacts)) {
            dialog.ShowWindow(SW_SHOW);
            RedrawWindow(dialog.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            harness::Pump();
            CreateDirectoryA(artifacts, nullptr);
            // Best effort: other tests' desktops share the display.
            harness::SaveScreen(std::string(artifacts) + "\\" + screenshot);
        }
        dialog.DestroyWindow();
        return listed;
    }
    int SetDevice(const std::string& device) {
        CSelectPrinter dialog(Form());
        return dialog.SetDevice(device);
    }
    std::vector<std::string> Printed() { return harness::PrintedPages(60000); }
};

} // namespace

TEST_F(PrintServicesTest, TheChoiceListsTheDemosDevicesAndPreselectsTheCurrentOne) {
    OpenLetter();
    Listed listed = ListDevices("printer-choice.png");
    EXPECT_EQ(listed.ports, (std::vector<std::string>{"WB", "WS", "WD", "WF", "A", "D", "LP1"}));
    EXPECT_EQ(listed.secondColumnOfLast, "Laserdrucker");
    EXPECT_EQ(listed.selected, 0) << "GETDEV answers WB";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "PRINTER^QCC(\"\")"));
    EXPECT_TRUE(Has(trace, "PRINTER^QCC(\"LP1\")")) << "asked once more after the last row";
    EXPECT_TRUE(Has(trace, "GETDEV^QCC()"));

    Once("S ^Z(\"DEV\",\"demo\")=\"D\"");
    EXPECT_EQ(ListDevices().selected, 5);

    // A chain that names a port again ends there instead of listing for ever.
    Once("S ^Z(\"DRL\",99)=\"WS\"");
    EXPECT_EQ(ListDevices().ports.size(), 7u);
}

TEST_F(PrintServicesTest, EachDeviceGivesItsKindAndTellsTheServer) {
    OpenLetter();
    EXPECT_EQ(SetDevice("WB"), 118);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SET^WQDA(\"WB\")"));
    EXPECT_EQ(Server("W %DEV"), "WB");
    EXPECT_EQ(Server("W $G(^ZDR(%JOB,\"SAVE\",\"NAME\"))"), "Brief") << "the Word device's job options";

    EXPECT_EQ(SetDevice("A"), 117);
    EXPECT_TRUE(Has(Trace(), "SET^WQDA(\"A\")"));

    EXPECT_EQ(SetDevice("D"), 4);
    EXPECT_EQ(Server("W %DEV"), "D");
    EXPECT_FALSE(Has(Trace(), "SET^WQDA(\"D\")")) << "a text file needs no set-up";

    // LP1 has two trays: OK with the first tray in portrait.
    fw::TestMode::PushAnswer("dialog 202 cmd:1");
    EXPECT_EQ(SetDevice("LP1"), 1) << "a confirmed printer runs the print routine";
    EXPECT_EQ(Server("W %PF,\"/\",%ST"), "DINA4/1");
    EXPECT_TRUE(Has(Trace(), "SET^WQDA(\"LP1\")"));
    const fw::ShownItem* dialog = Shown("dialog", IDD_PRINTER_SETUP);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(dialog->text.find("Schacht 1"), std::string::npos) << dialog->text;

    // Landscape and the second tray.
    Server("K %PF,%ST");
    fw::TestMode::PushAnswer("dialog 202 cmd:1074 sel:1082=1 cmd:1");
    EXPECT_EQ(SetDevice("LP1"), 1);
    EXPECT_EQ(Server("W %PF,\"/\",%ST"), "DINA4Q/2");

    // A printer without trays sends no tray.
    Server("K %PF,%ST");
    fw::TestMode::PushAnswer("dialog 202 cmd:1");
    EXPECT_EQ(SetDevice("LP9"), 1);
    EXPECT_EQ(Server("W %PF,\"/\",$D(%ST)"), "DINA4/0");

    // Cancel: the device is told, nothing more.
    Server("K %PF,%ST");
    Trace();
    fw::TestMode::PushAnswer("dialog 202 cmd:2");
    EXPECT_EQ(SetDevice("LP1"), 2);
    EXPECT_EQ(Server("W %DEV,\"/\",$D(%PF),$D(%ST)"), "LP1/00");
    EXPECT_FALSE(Has(Trace(), "SET^WQDA(\"LP1\")"));
}

TEST_F(PrintServicesTest, SavingTheLetterChoosesTheTextFileAndExportsItsBytes) {
    OpenLetter();
    std::string path = "C:\\TEMP\\vorlan-brief.txt";
    DeleteFileA(path.c_str());
    fw::TestMode::PushAnswer("dialog 170 sel:1024=5 cmd:1");
    fw::TestMode::PushAnswer("dialog save path:" + path);
    fw::TestMode::PushAnswer("box IDNO");
    Key(VK_RETURN, true);
    harness::Pump();
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SAVE^QDRK"));
    EXPECT_TRUE(Has(trace, "DRUCK^QDRK(\"D\")")) << "the export runs the letter's print routine";
    EXPECT_EQ(Server("W %DFORM"), "2");
    std::string expected = "Erika M\xFCller\r\nHauptstra\xDF"
                           "e 1\r\n10115 Berlin\r\n\r\n"
                           "Betreff: Rechnung {2026} \\ Teil 1\r\n\r\n";
    for (int i = 1; i <= 120; ++i)
        expected += "Position " + std::to_string(i) + "\r\n";
    expected += "\r\nMit freundlichen Gr\xFC\xDF"
                "en\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
    const fw::ShownItem* save = Shown("save");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text, path);
    DeleteFileA(path.c_str());
}

TEST_F(PrintServicesTest, TheTextExportKeepsEveryByteAndStopsOnlyAtTheMarkerAlone) {
    OpenLetter();
    std::string path = "C:\\TEMP\\vorlan-bytes.txt";
    Report({"a\xA7"
            "b",
            "\xA7"
            "x",
            "", "\x80\xE4\xFF \t\"", "Ende"});
    Server("S %RTN=\"TR^QCC(\"\"Ausgabe\"\")\"");
    fw::TestMode::PushAnswer("dialog save path:" + path);
    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_EQ(vorlan::SendToFile(Form()->m_hWnd), 1);
    EXPECT_EQ(ReadBytes(path), "a\xA7"
                               "b\r\n\xA7x\r\n\r\n\x80\xE4\xFF \t\"\r\nEnde\r\n");
    EXPECT_EQ(Server("W %DFORM"), "1");
    Lines trace = Trace();
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(),
                            [](const std::string& e) { return e.rfind("SET^WQDA", 0) == 0; }));
    EXPECT_TRUE(Has(trace, "DRUCK^QCC(" + job + ",6)")) << "the marker after the fifth line ends it";
    EXPECT_FALSE(Has(trace, "DRUCK^QCC(" + job + ",7)"));

    // An empty report makes an empty file.
    Report({});
    fw::TestMode::PushAnswer("dialog save path:" + path);
    fw::TestMode::PushAnswer("box IDNO");
    EXPECT_EQ(vorlan::SendToFile(Form()->m_hWnd), 1);
    EXPECT_EQ(ReadBytes(path), "");

    // Cancel in the question: no file, nothing on the server.
    DeleteFileA(path.c_str());
    Trace();
    fw::TestMode::PushAnswer("dialog save path:" + path);
    fw::TestMode::PushAnswer("box IDCANCEL");
    EXPECT_EQ(vorlan::SendToFile(Form()->m_hWnd), 0);
    EXPECT_EQ(ReadBytes(path), "(missing)");
    trace = Trace();
    EXPECT_TRUE(std::none_of(trace.begin(), trace.end(),
                             [](const std::string& e) { return e.rfind("SET^WQDA", 0) == 0; }));

    // A file that cannot be created is said, and the routine does not run.
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog save path:C:\\TEMP\\kein-ordner\\x\\y.txt");
    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_EQ(vorlan::SendToFile(Form()->m_hWnd), 0);
    EXPECT_TRUE(ShownWith("konnte nicht geschrieben werden"));
    trace = Trace();
    EXPECT_TRUE(std::none_of(trace.begin(), trace.end(),
                             [](const std::string& e) { return e.rfind("SET^WQDA", 0) == 0; }));
    DeleteFileA(path.c_str());
}

TEST_F(PrintServicesTest, TheTextExportStopsWithAMessageWhenTheOutputNeverEnds) {
    OpenLetter();
    std::string path = "C:\\TEMP\\vorlan-endlos.txt";
    // Far more empty lines than any report holds, and no marker in reach.
    Server("K ^ZDR(%JOB,\"LISTE\") S ^ZDR(%JOB,\"LISTE\")=\"\",^ZDR(%JOB,\"LISTE\",1)=\"Kopf\" "
           "N i F i=2:1:1500 S ^ZDR(%JOB,\"LISTE\",i)=\"\"");
    Server("S %RTN=\"TR^QCC(\"\"Ausgabe\"\")\"");
    fw::TestMode::PushAnswer("dialog save path:" + path);
    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_EQ(vorlan::SendToFile(Form()->m_hWnd), 0);
    EXPECT_TRUE(ShownWith("leeren Zeilen")) << "the user learns why the file ends there";
    std::string written = ReadBytes(path);
    EXPECT_EQ(written.substr(0, 6), "Kopf\r\n") << "what came is kept";
    EXPECT_EQ(Count(written, "\r\n"), 1001u);
    Lines trace = Trace();
    EXPECT_FALSE(Has(trace, "DRUCK^QCC(" + job + ",1002)"));
    DeleteFileA(path.c_str());
}

TEST_F(PrintServicesTest, AServerErrorDuringTheExportIsShownAndTheFileCalledIncomplete) {
    OpenLetter();
    std::string path = "C:\\TEMP\\vorlan-fehler.txt";
    Report({"Eins", "Zwei", "Drei", "Vier"});
    Server("S %RTN=\"TR^QCC(\"\"Ausgabe\"\")\"");
    Once("S ^QSYS(\"FEHLER\",\"DRUCK\")=3");
    fw::TestMode::PushAnswer("dialog save path:" + path);
    fw::TestMode::PushAnswer("box IDYES");
    fw::TestMode::PushAnswer("dialog 195 cmd:1");
    int result = vorlan::SendToFile(Form()->m_hWnd);
    Once("K ^QSYS(\"FEHLER\")");
    EXPECT_EQ(result, 0);
    EXPECT_NE(Shown("dialog", 195), nullptr) << "the error went to the error dialog";
    EXPECT_TRUE(ShownWith("unvollst\xE4ndig")) << "the user learns the file is cut";
    EXPECT_EQ(ReadBytes(path), "Eins\r\nZwei\r\n");
    EXPECT_FALSE(Has(Trace(), "DRUCK^QCC(" + job + ",4)")) << "no line is asked after the error";
    DeleteFileA(path.c_str());
}

TEST_F(PrintServicesTest, AServerErrorInThePrinterChainIsShownAndTheRowsBeforeItStay) {
    OpenLetter();
    Once("S ^QSYS(\"FEHLER\",\"PRINTER\")=\"WD\"");
    fw::TestMode::PushAnswer("dialog 195 cmd:1");
    Listed listed = ListDevices();
    Once("K ^QSYS(\"FEHLER\")");
    EXPECT_NE(Shown("dialog", 195), nullptr) << "the error went to the error dialog";
    EXPECT_EQ(listed.ports, (std::vector<std::string>{"WB", "WS", "WD"}));
}

TEST_F(PrintServicesTest, ThePrintListPrintsEveryLineOnceWithItsPageNumbers) {
    OpenScreen("SAV");
    std::vector<std::string> lines;
    for (int i = 1; i <= 150; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "Zeile %03d", i);
        lines.push_back(text);
    }
    Report(lines);
    Server("S %MEMO=\"Liste\"");
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    CPrintList list(Form()->m_hWnd);
    EXPECT_EQ(list.Print(), 1);
    int pages = list.PageCount();
    EXPECT_GE(pages, 2) << "150 lines do not fit one page";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "DRUCKI^QCC()"));
    EXPECT_TRUE(Has(trace, "DRUCK^QCC(" + job + ",150)"));
    EXPECT_FALSE(Has(trace, "DRUCK^QCC(" + job + ",151)"));
    std::vector<std::string> printed = Printed();
    ASSERT_FALSE(printed.empty());
    EXPECT_NE(printed[0].find("VORLAN - [Liste]"), std::string::npos) << printed[0];
    EXPECT_NE(printed[0].find("Seite 1/" + std::to_string(pages)), std::string::npos) << printed[0];
    ASSERT_EQ(static_cast<int>(printed.size()), pages);
    std::string all = Joined(printed);
    for (int i = 1; i <= pages; ++i)
        EXPECT_EQ(Count(printed[static_cast<size_t>(i - 1)],
                        "Seite " + std::to_string(i) + "/" + std::to_string(pages)),
                  1u)
            << printed[static_cast<size_t>(i - 1)];
    for (const std::string& line : lines)
        EXPECT_EQ(Count(all, line), 1u) << line;
}

TEST_F(PrintServicesTest, AnEmptyReportPrintsOnePage) {
    OpenScreen("SAV");
    Report({});
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    CPrintList list(Form()->m_hWnd);
    EXPECT_EQ(list.Print(), 1);
    EXPECT_EQ(list.PageCount(), 1);
    std::vector<std::string> printed = Printed();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_NE(printed[0].find("Seite 1/1"), std::string::npos) << printed[0];

    // Cancel in the print dialog prints nothing.
    CPrintList cancelled(Form()->m_hWnd);
    EXPECT_EQ(cancelled.Print(), 0);

    // No characters per line: said, and the document is given up before a page goes out.
    Once("S ^QSYS(\"DRUCKI\")=0");
    Report({"Zeile"});
    harness::ClearPrintFile();
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog print printer:default");
    CPrintList narrow(Form()->m_hWnd);
    EXPECT_EQ(narrow.Print(), 1);
    Once("K ^QSYS(\"DRUCKI\")");
    EXPECT_TRUE(ShownWith("keine Zeile der Liste")) << "the message";
    EXPECT_FALSE(Has(Trace(), "DRUCK^QCC(" + job + ",1)")) << "no line was asked";
    EXPECT_TRUE(harness::PrintedPages(3000).empty()) << "nothing reached the queue";
}

TEST_F(PrintServicesTest, TheHardCopyPrintsTheTitleAndCaptionBelowThePicture) {
    OpenLetter();
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    EXPECT_EQ(Form()->SendMessage(WM_COMMAND, ID_FORM_HARDCOPY), 1);
    std::vector<std::string> printed = Printed();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_NE(printed[0].find(" - Briefdruck"), std::string::npos) << printed[0];
    EXPECT_FALSE(Form()->HardCopy()) << "a cancelled print dialog";

    // A printer that refuses the document: no page, and the hard copy says so.
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default refuse:1");
    EXPECT_EQ(Form()->SendMessage(WM_COMMAND, ID_FORM_HARDCOPY), 0);
    EXPECT_TRUE(harness::PrintedPages(3000).empty());
}

TEST_F(PrintServicesTest, TheTextBoxPrintsWithHeaderAndPageNumbers) {
    OpenLetter();
    HWND text = Field(4);
    ASSERT_NE(text, nullptr);
    // The letter's 120 lines: the page count never falls and every footer agrees with it.
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    EXPECT_EQ(Form()->SendMessage(WM_COMMAND, ID_GRID_PRINT), 1) << "0x800A prints the text box";
    std::vector<std::string> printed = Printed();
    ASSERT_FALSE(printed.empty());
    int count = 0;
    if (std::sscanf(printed[0].substr(printed[0].find("Seite 1 von ")).c_str(), "Seite 1 von %d", &count) ==
        1) {
        EXPECT_GE(count, 2) << "120 lines need more than one page";
        for (size_t i = 1; i < printed.size(); ++i)
            EXPECT_NE(printed[i].find("Seite " + std::to_string(i + 1) + " von " + std::to_string(count)),
                      std::string::npos)
                << printed[i];
    } else {
        ADD_FAILURE() << printed[0];
    }
    EXPECT_NE(printed[0].find(" - "), std::string::npos) << "the header";

    SetWindowTextA(text, "Kurz");
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    EXPECT_EQ(Form()->PrintTextBox(), 1);
    printed = Printed();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_NE(printed[0].find("Seite 1 von 1"), std::string::npos) << printed[0];
    EXPECT_NE(printed[0].find("Kurz"), std::string::npos) << printed[0];
}

namespace {

int g_printed = 0;
LRESULT CALLBACK CountPrint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_PRINT) ++g_printed;
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace

TEST_F(PrintServicesTest, WithoutGridAndTextBoxTheFocusedWindowIsAskedToPrint) {
    StartMemo("SAV");
    ASSERT_NE(Form(), nullptr);
    HWND field = Field(1);
    ASSERT_NE(field, nullptr);
    SetFocus(field);
    harness::Pump();
    g_printed = 0;
    SetWindowSubclass(field, CountPrint, 1, 0);
    fw::TestMode::ClearShown();
    EXPECT_EQ(Form()->SendMessage(WM_COMMAND, ID_GRID_PRINT), 1);
    RemoveWindowSubclass(field, CountPrint, 1);
    EXPECT_EQ(g_printed, 1);
    EXPECT_EQ(Shown("print"), nullptr) << "no print dialog";
}

TEST_F(PrintServicesTest, OnTheGridScreenThePrintCommandOpensThePreview) {
    Once("S ^QGRD(\"ZEILEN\")=20");
    StartMemo("GRD");
    Once("K ^QGRD(\"ZEILEN\")");
    ASSERT_NE(Form(), nullptr);
    ASSERT_TRUE(Form()->HasGrid());
    EXPECT_TRUE(harness::InPreview([this] { Form()->SendMessage(WM_COMMAND, ID_GRID_PRINT); }, 1,
                                   [](HWND p) { SendMessageA(p, WM_COMMAND, ID_PREVIEW_CLOSE, 0); }));
}

TEST_F(PrintServicesTest, TheLettersFormPrintTakesItsSavedWordDevice) {
    OpenLetter();
    launchlog::Clear();
    Form()->SendMessage(WM_COMMAND, ID_FORM_PRINT);
    harness::Pump();
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "FDINIT^QDRK"));
    EXPECT_TRUE(Has(trace, "SET^WQDA(\"WB\")"));
    EXPECT_EQ(Shown("dialog", IDD_SELECT_PRINTER), nullptr) << "a saved device needs no choice";
    // The form printer writes the merged letter and the shell opens it.
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_NE(launches[0].file.find("\\ausgabe\\Brief.rtf"), std::string::npos) << launches[0].file;
}

TEST_F(PrintServicesTest, SavingTheLetterOnTheListPrinterPrintsItsReport) {
    OpenLetter();
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog 170 sel:1024=4 cmd:1");
    fw::TestMode::PushAnswer("dialog print printer:default");
    Key(VK_RETURN, true);
    harness::Pump();
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SET^WQDA(\"A\")"));
    EXPECT_TRUE(Has(trace, "LISTE^QDRK")) << "the report's lines are the letter's";
    std::vector<std::string> printed = Printed();
    ASSERT_GE(printed.size(), 2u) << "128 lines of 80 characters";
    std::string all = Joined(printed);
    EXPECT_NE(printed[0].find("VORLAN - ["), std::string::npos) << printed[0];
    EXPECT_NE(printed[0].find("Erika M\xFCller"), std::string::npos) << printed[0];
    EXPECT_EQ(Count(all, "Position 120"), 1u);
    EXPECT_EQ(Count(all, "Mit freundlichen Gr\xFC\xDF"
                         "en"),
              1u);
    EXPECT_NE(
        printed.back().find("Seite " + std::to_string(printed.size()) + "/" + std::to_string(printed.size())),
        std::string::npos)
        << printed.back();
}

TEST_F(PrintServicesTest, TheListWindowPrintsTheReportOnTheListPrinter) {
    OpenScreen("SAV");
    Report({"Druckausgabe der Praxis", "Ende der Liste"});
    CChildList* list = frame->ShowListOutput();
    ASSERT_NE(list, nullptr);
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    list->SendMessage(WM_COMMAND, ID_CHILD_PRINT);
    std::vector<std::string> printed = Printed();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_NE(printed[0].find("Druckausgabe der Praxis"), std::string::npos) << printed[0];
    EXPECT_NE(printed[0].find("Ende der Liste"), std::string::npos) << printed[0];
    EXPECT_NE(printed[0].find("Seite 1/1"), std::string::npos) << printed[0];
    list->SendMessage(WM_CLOSE);
    harness::Pump();
}

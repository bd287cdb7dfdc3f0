// The health card's documents on their way from the card to the server, against a server of
// the test's own: the shared files, the unpacking library taken by name and the lines sent.
// Built twice: beside zlibwapi.dll, and alone in a folder without it.
#include "app/VORLANApp.h"
#include "cards/CardResults.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FakeTransport.h"
#include "tests/common/MLiteral.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace vorlan;

namespace {

std::string Gzip(const std::string& plain) {
    z_stream s{};
    deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, plain.size()) + 32, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    s.avail_in = static_cast<uInt>(plain.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

[[maybe_unused]] bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether another thread could take the documents' lock right now.
bool LockIsFree() {
    bool free = false;
    std::thread other([&] {
        HANDLE h = ::OpenMutexA(SYNCHRONIZE, FALSE, "Global\\VORLAN.CardDocuments");
        if (!h) {
            free = true;
            return;
        }
        DWORD r = ::WaitForSingleObject(h, 0);
        free = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
        if (free) ::ReleaseMutex(h);
        ::CloseHandle(h);
    });
    other.join();
    return free;
}

// A personal-data document with what a line must not carry as it is.
[[maybe_unused]] std::string PersonalData() {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\r\n<UC_PersoenlicheVersichertendatenXML>\r\n";
    for (int i = 0; i < 12; ++i)
        xml += "  <Versicherter Nachname=\"M\xFCller-" + std::to_string(i) +
               "\">\tTestperson</Versicherter>\r\n";
    return xml + "</UC_PersoenlicheVersichertendatenXML>\r\n";
}

class CardResultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        apptest::PrepareApp("CardResultsTest", std::make_unique<FakeTransport>(m_server));
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        m_server.answer = [this](const std::string& code, int) {
            if (code.rfind("S ^TEMPEGK", 0) == 0)
                m_lockedWhileSending = m_lockedWhileSending && !LockIsFree();
            return std::make_pair(0, std::string(code == "W $JOB" ? "4711" : ""));
        };
        ASSERT_TRUE(theApp.Connect());
        ASSERT_EQ(theApp.Login("127.0.0.1", 1972, "", "", "", false), 7);
        fw::TestMode::ClearShown();
    }
    void TearDown() override { apptest::ReleaseApp(); }

    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const std::string& call : m_server.Calls())
            if (call.rfind("x 7 ", 0) == 0 && call != "x 7 W $JOB") lines.push_back(call.substr(4));
        return lines;
    }
    // The document as the server joins its pieces, and how many there were.
    std::string Joined(const char* node, int& pieces) {
        std::string head = std::string("S ^TEMPEGK(%JOB,\"") + node + "\",";
        std::string joined;
        pieces = 0;
        for (const std::string& line : Lines()) {
            if (line.rfind(head, 0) != 0) continue;
            EXPECT_EQ(line.substr(head.size(), line.find(')') - head.size()), std::to_string(++pieces))
                << line;
            joined += test::EvalMLiteral(line.substr(line.find(")=") + 2)).value_or("<invalid>");
        }
        return joined;
    }

    FakeServer m_server;
    bool m_lockedWhileSending = true;
};

[[maybe_unused]] std::string WithoutLineBreaks(std::string s) {
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }), s.end());
    return s;
}

} // namespace

#ifndef CARD_RESULTS_WITHOUT_ZLIB

TEST_F(CardResultsTest, DocumentsGoThroughTheSharedFilesToTheServer) {
    const std::string pd = PersonalData();
    const std::string vd = "<Versicherungsdaten Kasse=\"Test-BKK\"/>\r\n";
    ASSERT_GT(pd.size(), 2u * kEgkPieceSize);
    EgkDocuments documents{Gzip(pd), Gzip(vd), ""};
    DeliverEgkDocuments(TheSession(), documents);

    EXPECT_TRUE(fw::TestMode::Shown().empty());
    EXPECT_EQ(ReadFile("C:\\TEMP\\EF.PD.xml.gz"), documents.pd);
    EXPECT_EQ(ReadFile("C:\\TEMP\\EF.VD.xml.gz"), documents.vd);
    EXPECT_TRUE(FileExists("C:\\TEMP\\EF.GVD.xml.gz"));
    EXPECT_EQ(ReadFile("C:\\TEMP\\EF.GVD.xml.gz"), "") << "no GVD: an empty file";
    EXPECT_EQ(ReadFile("C:\\TEMP\\EF.PD.xml"), pd) << "the unpacked file keeps its line breaks";
    EXPECT_EQ(ReadFile("C:\\TEMP\\EF.GVD.xml"), "");

    std::vector<std::string> lines = Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "K ^TEMPEGK(%JOB)");
    int pdPieces = 0, vdPieces = 0, gvdPieces = 0;
    EXPECT_EQ(Joined("EGK-EF-PD", pdPieces), WithoutLineBreaks(pd));
    EXPECT_EQ(pdPieces, static_cast<int>((pd.size() + kEgkPieceSize - 1) / kEgkPieceSize));
    EXPECT_EQ(Joined("EGK-EF-VD", vdPieces), WithoutLineBreaks(vd));
    EXPECT_EQ(Joined("EGK-EF-GVD", gvdPieces), "");
    EXPECT_EQ(gvdPieces, 0);
    EXPECT_EQ(lines.size(), 1u + pdPieces + vdPieces);
    // PD before VD.
    EXPECT_EQ(lines[1].rfind("S ^TEMPEGK(%JOB,\"EGK-EF-PD\",1)=", 0), 0u);
    EXPECT_EQ(lines.back().rfind("S ^TEMPEGK(%JOB,\"EGK-EF-VD\",", 0), 0u);

    EXPECT_TRUE(m_lockedWhileSending) << "another session could have taken the files";
    EXPECT_TRUE(LockIsFree()) << "the lock is given back";
}

TEST_F(CardResultsTest, AFileThatCannotBeWrittenIsNotTakenFromAnEarlierCard) {
    DeliverEgkDocuments(TheSession(), {Gzip("<alt/>"), Gzip("<frueherer Patient/>"), Gzip("<alt/>")});
    m_server.calls.clear();
    {
        // Another program reads the old VD file and lets nobody write or remove it.
        HANDLE held = ::CreateFileA("C:\\TEMP\\EF.VD.xml.gz", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        DeliverEgkDocuments(TheSession(), {Gzip("<neu/>"), Gzip("<neuer Patient/>"), ""});
        ::CloseHandle(held);
    }
    int pieces = 0;
    EXPECT_EQ(Joined("EGK-EF-PD", pieces), "<neu/>");
    EXPECT_EQ(Joined("EGK-EF-VD", pieces), "");
    EXPECT_EQ(pieces, 0);
    EXPECT_EQ(Joined("EGK-EF-GVD", pieces), "");
}

TEST_F(CardResultsTest, MessagesAndQuestionsGoThroughTheApplication) {
    fw::TestMode::PushAnswer("box IDCANCEL");
    EXPECT_EQ(AskCardQuestion(CardMessage::OrgaConnect), IDCANCEL);
    ShowCardMessage(CardMessage::EjectFailed);
    std::vector<fw::ShownItem> shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, CardMessageText(CardMessage::OrgaConnect));
    EXPECT_EQ(shown[0].id & MB_TYPEMASK, static_cast<int>(MB_OKCANCEL));
    EXPECT_EQ(shown[1].text, "Fehler beim Lesen der Karte!");
    EXPECT_EQ(shown[1].id & MB_TYPEMASK, static_cast<int>(MB_OK));
}

#else

TEST_F(CardResultsTest, WithoutTheLibraryTheFilesAreWrittenAndNothingIsSent) {
    EgkDocuments documents{Gzip("<pd/>"), Gzip("<vd/>"), Gzip("<gvd/>")};
    DeliverEgkDocuments(TheSession(), documents);
    EXPECT_EQ(ReadFile("C:\\TEMP\\EF.GVD.xml.gz"), documents.gvd);
    EXPECT_TRUE(Lines().empty()) << Lines().front();
    std::vector<fw::ShownItem> shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, CardMessageText(CardMessage::ZlibMissing));
    EXPECT_TRUE(LockIsFree());
}

#endif

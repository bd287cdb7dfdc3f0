#pragma once
// The main frame in this process against the demo application on the fixture's dbserver,
// through the client library, with the server's trace and the session's lines at hand.

#include "app/SessionTransport.h"
#include "tests/app/RecordingTransport.h"
#include "tests/frame/DemoTrace.h"
#include "tests/frame/MainFrameFixture.h"
#include "tests/harness/Harness.h"

#include <memory>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class ServerFrameTest : public FrameTestBase {
  protected:
    // The lines of the session's own connection.
    RecordingTransport* recorder = nullptr;

    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        m_trace = std::make_unique<demotrace::TraceReader>(harness::DbServerPort());
        auto transport = std::make_unique<RecordingTransport>(MakeClientLibraryTransport());
        recorder = transport.get();
        StartFrame(std::move(transport), std::to_string(harness::DbServerPort()).c_str(), "");
    }
    void TearDown() override {
        // Before the session's rundown, which ends the client library for the whole process.
        m_trace.reset();
        StopFrame();
    }

    // One line on a connection of its own (the frame's jobs come and go with its log-ins).
    static std::string Once(const std::string& line) {
        std::vector<char> out(0x10000);
        EXPECT_TRUE(theApp.ExecuteOnce(line.c_str(), out.data(), static_cast<int>(out.size()))) << line;
        return out.data();
    }
    // The entries the server traced since the last look, without their job numbers.
    Lines Trace() { return demotrace::WithoutJobs(m_trace->Next()); }
    // The same, of the session's own job only: tests beside this one trace into the same server.
    Lines SessionTrace() { return demotrace::OfJob(m_trace->Next(), TheSession().Job().c_str()); }
    HTREEITEM FindItem(const char* text, HTREEITEM from = nullptr) {
        CTreeCtrl& tree = frame->GetMenuTree().GetTreeCtrl();
        for (HTREEITEM h = from ? tree.GetChildItem(from) : tree.GetRootItem(); h;
             h = tree.GetNextSiblingItem(h)) {
            if (tree.GetItemText(h) == text) return h;
            if (HTREEITEM deeper = FindItem(text, h)) return deeper;
        }
        return nullptr;
    }
    // A double click on a tree entry, as the tree turns it into its command.
    void Open(const char* text) {
        CTreeCtrl& tree = frame->GetMenuTree().GetTreeCtrl();
        HTREEITEM item = FindItem(text);
        ASSERT_NE(item, nullptr) << text;
        tree.SelectItem(item);
        frame->GetMenuTree().SendMessage(WM_COMMAND, 1);
        harness::Pump();
    }

  private:
    std::unique_ptr<demotrace::TraceReader> m_trace;
};

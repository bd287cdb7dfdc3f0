#pragma once
// VORLAN.exe in test mode against the fixture's dbserver, used by a person: keys and clicks
// through the real input queue (harness::Person), what the person sees read back from the
// program's windows, and what the server received from the program's own job.

#include "framework/Wnd.h"
#include "tests/frame/DemoTrace.h"
#include "tests/frame/ProgramFixture.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Person.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class JourneyFixture : public ProgramFixture {
  protected:
    harness::Process program;
    std::unique_ptr<harness::Person> person;
    std::unique_ptr<demotrace::TraceReader> trace;
    HWND main = nullptr;
    std::string job;

    void TearDown() override {
        if (main && IsWindow(main)) {
            // Whatever the program still asks on its way out is answered no.
            for (int i = 0; i < 8; ++i)
                harness::AddAnswer(dir, "box IDNO");
            PostMessageA(main, WM_CLOSE, 0, 0);
            program.Wait(30000);
        }
        person.reset();
        trace.reset();
        ProgramFixture::TearDown();
    }

    // Starts the program with the arguments (a start entry, "-u demo -p demo", ...), waits for
    // its main window with the title and for it to settle. The program's job marks itself in
    // ^ZJOURNEY so that the trace can be read for this job alone.
    void Start(const std::string& args, const std::string& title) {
        trace = std::make_unique<demotrace::TraceReader>(harness::DbServerPort());
        tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        // Last: a plain word after a switch that takes a text replaces that text.
        std::string mark = " -var " + harness::QuoteArgument("^ZJOURNEY(\"" + tag + "\")=$J");
        ASSERT_TRUE(program.Start(Command(args + mark)));
        main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 60000);
        ASSERT_NE(main, nullptr);
        person = std::make_unique<harness::Person>(program.Id());
        if (!title.empty()) {
            ASSERT_TRUE(WaitForTitle(title)) << fw::WindowText(main);
        }
        ASSERT_TRUE(person->Settle());
    }
    bool WaitForTitle(const std::string& title, DWORD timeoutMs = 60000) {
        return harness::WaitUntil([&] { return fw::WindowText(main) == title; }, timeoutMs);
    }
    // The program's job on the server, once it has logged in.
    const std::string& Job() {
        if (job.empty()) job = trace->Run("W $G(^ZJOURNEY(\"" + tag + "\"))");
        return job;
    }
    // The trace entries of the program's job since the last look.
    std::vector<std::string> Trace() {
        std::vector<std::string> all = trace->Next();
        return Job().empty() ? std::vector<std::string>() : demotrace::OfJob(all, Job());
    }
    // A line on the trace reader's own connection (globals, not the program's locals).
    std::string Server(const std::string& line) { return trace->Run(line); }

    HWND Client() const { return GetDlgItem(main, 0xE900); }
    HWND ActiveFrame() const { return reinterpret_cast<HWND>(SendMessageA(Client(), WM_MDIGETACTIVE, 0, 0)); }
    // The visible form on top of the frame: a child window that holds field windows.
    HWND TopForm(HWND frame) const {
        for (HWND h = GetWindow(frame, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (IsWindowVisible(h) && GetDlgItem(h, 0x1001)) return h;
        return nullptr;
    }
    // Field n of the active frame's top form.
    HWND Field(int n) const {
        HWND frame = ActiveFrame();
        HWND form = frame ? TopForm(frame) : nullptr;
        return form ? GetDlgItem(form, 0x1000 | n) : nullptr;
    }
    // A click into field n of the active form, near its left end, where a narrow frame still
    // shows it.
    void ClickField(int n) {
        HWND field = Field(n);
        ASSERT_NE(field, nullptr) << n;
        RECT r{};
        GetClientRect(field, &r);
        person->Click(field, POINT{std::min<LONG>(8, r.right / 2), r.bottom / 2});
    }
    // The field of the active form that has the focus (0: none of them).
    int FocusedField() const {
        HWND frame = ActiveFrame();
        HWND form = frame ? TopForm(frame) : nullptr;
        HWND focus = person->Focus();
        if (!form || !focus || !IsChild(form, focus)) return 0;
        for (HWND h = focus; h && h != form; h = GetParent(h)) {
            int id = GetDlgCtrlID(h);
            if ((id & 0xF000) == 0x1000) return id & 0xFF;
        }
        return 0;
    }
    std::vector<fw::ShownItem> Shown() const { return harness::ReadShown(dir); }
    // A visible top-level window of the program of that class (a popup list, a dialog), not
    // the main window; null when there is none.
    HWND ShownWindow(const char* className) const {
        struct Find {
            DWORD pid;
            HWND main;
            const char* cls;
            HWND found;
        } find{program.Id(), main, className, nullptr};
        EnumWindows(
            [](HWND h, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<Find*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid != f->pid || h == f->main || !IsWindowVisible(h) || harness::ClassOf(h) != f->cls)
                    return TRUE;
                f->found = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.found;
    }

  private:
    std::string tag;
};

#pragma once
// The main frame in this process against the demo double behind the scripted transport:
// message boxes and dialogs answered by test mode, help and web requests caught.

#include "app/VORLANApp.h"
#include "frame/BaseMDI.h"
#include "frame/MainFrame.h"
#include "framework/App.h"
#include "framework/PathParts.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FakeTransport.h"
#include "tests/frame/DemoDouble.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

struct CaughtViewer : IFrameViewer {
    std::vector<std::string>* log;
    explicit CaughtViewer(std::vector<std::string>* l) : log(l) {}
    void ShowManual(const CString& path, const CString& title) override {
        log->push_back("manual " + title.str() + " " + path.str());
    }
    void ShowHtmlHelp(const CString& topic) override { log->push_back("help " + topic.str()); }
    HWND OpenWebPage(const CString& address, bool newWindow, const CString&) override {
        log->push_back(std::string("web ") + (newWindow ? "new " : "") + address.str());
        return nullptr;
    }
    HWND OpenTerminal(bool ssh) override {
        log->push_back(ssh ? "ssh" : "telnet");
        return nullptr;
    }
};

// The frame with a transport of the test's choice; settings for 127.0.0.1 and the port.
class FrameTestBase : public ::testing::Test {
  protected:
    CMainFrame* frame = nullptr;
    std::vector<std::string> viewed;
    // The frame keeps its layout and settings under this profile, which each test program has
    // to itself: set-up and tear-down clear it, and programs run side by side.
    std::string profileName = fw::FileNameOf(fw::ProgramPath());

    void StartFrame(std::unique_ptr<ISessionTransport> transport, const char* port,
                    const char* uciAndVolume) {
        apptest::PrepareApp(profileName.c_str(), std::move(transport));
        vorlan::SetField(theApp.Settings().address, "127.0.0.1");
        vorlan::SetField(theApp.Settings().apiPort, port);
        vorlan::SetField(theApp.Settings().uciAndVolume, uciAndVolume);
        theApp.SetAppTitle("");
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        BeforeConnect();
        ASSERT_TRUE(theApp.Connect());
        theApp.RegisterClasses();
        NewFrame();
    }
    // Settings that the connection needs besides these.
    virtual void BeforeConnect() {}
    void NewFrame() {
        ASSERT_TRUE(CreateVorlanMainFrame(theApp));
        frame = CMainFrame::Get();
        ASSERT_NE(frame, nullptr);
        frame->SetViewer(std::make_unique<CaughtViewer>(&viewed));
        frame->ShowWindow(SW_SHOW);
        harness::Pump();
    }
    void StopFrame() {
        if (CMainFrame::Get()) CMainFrame::Get()->DestroyWindow();
        harness::Pump();
        apptest::ReleaseApp();
    }
    // The log-in as from the command line (no click).
    void LogIn(const char* user = "demo", const char* password = "demo") {
        vorlan::SetField(theApp.Settings().user, user);
        vorlan::SetField(theApp.Settings().password, password);
        frame->SendMessage(WM_COMMAND, ID_LOGIN);
        harness::Pump();
    }
    void StartMemo(const char* name) {
        frame->SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(name));
        harness::Pump();
    }
    CBaseMDI* Active() const { return dynamic_cast<CBaseMDI*>(frame->MDIGetActiveFrame()); }
    std::vector<HWND> Frames() const { return frame->MDIChildren(); }
    static std::vector<fw::ShownItem> Boxes() {
        std::vector<fw::ShownItem> out;
        for (const auto& item : fw::TestMode::Shown())
            if (item.kind == "box") out.push_back(item);
        return out;
    }
    static int DialogResult(int id) {
        for (const auto& item : fw::TestMode::Shown())
            if (item.kind == "dialog" && item.id == id) return item.answer;
        return -1;
    }
    std::string StatusPane(int pane) const {
        HWND bar = frame->GetDlgItem(ID_STATUS_BAR);
        size_t length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0));
        std::string text(length + 1, '\0');
        SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(length);
        return text;
    }
    CRect RectInClient(HWND child) const {
        CRect r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, frame->m_hWndMDIClient, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

// Against the demo double.
class MainFrameTest : public FrameTestBase {
  protected:
    FakeServer server;
    DemoDouble demo;

    void SetUp() override {
        server.answer = [this](const std::string& code, int) { return std::make_pair(0, demo.Answer(code)); };
        StartFrame(std::make_unique<FakeTransport>(server), "1972", "SYS,DBK");
    }
    void TearDown() override { StopFrame(); }
};

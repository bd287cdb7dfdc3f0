#pragma once
// A form inside a stand-in for its frame, in a process whose application object runs in test
// mode with the German language library.

#include "app/VORLANApp.h"
#include "forms/ChildForm.h"
#include "forms/FormMessages.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"
#include "tests/imaging/BmpBytes.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// Records what the form tells its frame; paints the background when asked and told a colour.
struct FrameDouble : CWnd {
    std::vector<vorlan::ChildMessageRecord> childMessages;
    int eraseRequests = 0;
    COLORREF eraseColour = CLR_INVALID;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        switch (msg) {
        case WM_CHILDMESSAGE:
            childMessages.push_back(*reinterpret_cast<vorlan::ChildMessageRecord*>(l));
            return 0;
        case WM_TAB_ERASEBKGND: {
            ++eraseRequests;
            if (eraseColour == CLR_INVALID) return 0;
            RECT all{0, 0, 10000, 10000};
            HBRUSH brush = ::CreateSolidBrush(eraseColour);
            ::FillRect(reinterpret_cast<HDC>(w), &all, brush);
            ::DeleteObject(brush);
            return 1;
        }
        default: return CWnd::WindowProc(msg, w, l);
        }
    }
};

// Records the commands its fields send (not the edits' own notifications).
struct RecordingForm : CChildForm {
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_COMMAND && HIWORD(w) == 0) commands.emplace_back(w, l);
        return CChildForm::WindowProc(msg, w, l);
    }
};

class FormTest : public ::testing::Test {
  protected:
    FrameDouble frame;
    RecordingForm form;
    CFont font;
    std::string folder;

    void SetUp() override {
        apptest::PrepareApp("FormTest", nullptr);
        CChildForm::SetLooks(CChildForm::Looks());
        CChildForm::RegisterTabEdit();
        CWnd::RegisterWindowClass("FormTestFrame", 0, nullptr, nullptr,
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        ASSERT_TRUE(frame.CreateEx(0, "FormTestFrame", "Rahmen", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   CRect(100, 100, 500, 400), nullptr, 0));
        font.CreatePointFont(80, "Tahoma");
        form.m_hFont = font;
        ASSERT_TRUE(form.Create(CRect(0, 0, 300, 200), frame));
        form.ShowWindow(SW_SHOW);
        folder = harness::FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override {
        frame.DestroyWindow();
        apptest::ReleaseApp();
    }

    // A BMP file of one colour (0xRRGGBB) in the test's folder; returns its path.
    std::string WriteBmp(const char* name, int width, int height, uint32_t colour) {
        auto bytes = imgtest::MakeBmp(width, height, 24, [colour](int, int) { return colour; });
        std::string path = folder + name;
        harness::WriteTextFile(path, std::string(bytes.begin(), bytes.end()));
        return path;
    }
    static uint32_t ColourOf(HBITMAP bitmap) {
        imgtest::Surface s(1, 1);
        CMemoryDC memory(s.dc());
        CSelectedObject select(memory, bitmap);
        ::BitBlt(s.dc(), 0, 0, 1, 1, memory, 0, 0, SRCCOPY);
        return s.At(0, 0);
    }
    static uint32_t ButtonFace() { return imgtest::Surface::Rgb(::GetSysColor(COLOR_BTNFACE)); }
};

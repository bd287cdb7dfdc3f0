#pragma once
// Server-described forms in the real main frame against the demo application on the
// fixture's dbserver: the form on top, its fields, keys as the keyboard routing hands them
// over, and lines on the session's own connection.

#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "framework/Wnd.h"
#include "tests/frame/ServerFrameFixture.h"

#include <cstdlib>
#include <string>

class FormServerTestBase : public ServerFrameTest {
  protected:
    void SetUp() override {
        ServerFrameTest::SetUp();
        // The cell of the descriptions, as the layout tests count it.
        vorlan::g_nCharWidthUnit = 7;
        vorlan::g_nRowHeightUnit = 20;
    }

    // The form on top of the active frame.
    CChildDialog* Form() const {
        CBaseMDI* f = Active();
        return f ? f->GetTopForm() : nullptr;
    }
    HWND Field(int n) const { return Form() ? Form()->GetDlgItem(0x1000 | n) : nullptr; }
    // A key pressed in the form, as the keyboard routing hands it over.
    void Key(WPARAM key, bool ctrl = false, bool shift = false) {
        BYTE state[256] = {};
        if (ctrl) state[VK_CONTROL] = 0x80;
        if (shift) state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
        Form()->SendMessage(WM_KEYDOWN, key, 0);
        BYTE none[256] = {};
        SetKeyboardState(none);
        harness::Pump();
    }
    // Types a value into a field that has the focus and leaves it with the key.
    void Enter(int n, const std::string& text, WPARAM key = VK_TAB) {
        HWND field = Field(n);
        ASSERT_NE(field, nullptr) << n;
        SetFocus(field);
        harness::Pump();
        SetWindowTextA(field, text.c_str());
        Key(key);
    }
    int FocusedField() const {
        HWND focus = GetFocus();
        return focus && Form() && IsChild(Form()->m_hWnd, focus) ? (GetDlgCtrlID(focus) & 0xFF) : 0;
    }
    // The main window with the active form maximised, among the build's artefacts
    // (VORLAN_ARTIFACTS). Taken from the window's own pixels: the screen may show another test
    // program's desktop over this one's.
    void SaveArtefact(const char* name) {
        char artifacts[MAX_PATH];
        if (!GetEnvironmentVariableA("VORLAN_ARTIFACTS", artifacts, sizeof artifacts)) return;
        frame->ShowWindow(SW_MAXIMIZE);
        Active()->ShowWindow(SW_MAXIMIZE);
        harness::Pump();
        CreateDirectoryA(artifacts, nullptr);
        EXPECT_TRUE(harness::SaveWindow(frame->m_hWnd, std::string(artifacts) + "\\" + name));
    }
    // A line in the session's own job, where the forms' variables live.
    std::string Server(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    // How many errors the session's job has met: the server counts every line that failed.
    int ServerErrors() { return std::atoi(Server("W +$G(^%CONTROL($J,\"ERROR\"))").c_str()); }
};

// A person logs in through the log-in dialog of VORLAN.exe: user, Tab, password, Return,
// typed into the real dialog against the demo application.
#include "tests/frame/JourneyFixture.h"

using demotrace::Has;
using demotrace::Joined;

class JourneyLogin : public JourneyFixture {
  protected:
    // The log-in dialog once it is up and holds the focus in one of its fields.
    HWND WaitForLogin() {
        HWND dialog = nullptr;
        harness::WaitUntil(
            [&] {
                dialog = ShownWindow("#32770");
                return dialog && GetDlgItem(dialog, 1010) && HoldsFocus(dialog);
            },
            60000);
        person->Settle();
        return dialog;
    }
    bool HoldsFocus(HWND dialog) const { return harness::HoldsFocus(dialog, person->Focus()); }
    // The session of the program's job on the server: where it was logged in from.
    std::string SessionAddress() { return Server("W $G(^[%SYS]Z(\"IP\"," + Job() + "))"); }
};

// demo logs in first; zitat, whose password holds a double quote, logs in again through
// «Datei» «Anmelden» in the same program: each reaches the server with the password as typed.
TEST_F(JourneyLogin, DemoAndTheUserWithAQuoteInThePasswordLogInByKeys) {
    harness::WriteTextFile(dir + "script.txt", "dialog 161 wait:\ndialog 161 wait:\n");
    Start("", "");
    HWND login = WaitForLogin();
    ASSERT_NE(login, nullptr) << "the log-in dialog is up";
    EXPECT_EQ(person->Focus(), GetDlgItem(login, 1010)) << "typing begins with the user";
    person->Type("demo");
    person->Press("Tab");
    EXPECT_EQ(person->Focus(), GetDlgItem(login, 1009)) << "Tab goes to the password";
    person->Type("demo");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(login, IDOK))) << "the user is accepted";
    person->Press("Return");
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindow(login); }, 60000)) << "Return logged in";
    ASSERT_TRUE(WaitForTitle("VORLAN experience")) << fw::WindowText(main);
    ASSERT_TRUE(person->Settle());
    ASSERT_NE(Job(), "") << "the program's job ran the code of the command line after the log-in";
    EXPECT_EQ(SessionAddress(), "127.0.0.1");
    std::vector<std::string> lines = Trace();
    EXPECT_TRUE(Has(lines, "LOGIN^QCC(\"demo\",\"...\")")) << Joined(lines);
    EXPECT_TRUE(Has(lines, "INIT^QCC()")) << Joined(lines);

    // Again, as zitat.
    person->Press("Alt+D");
    person->Press("A");
    login = WaitForLogin();
    ASSERT_NE(login, nullptr) << "the log-in dialog is up again";
    HWND user = GetDlgItem(login, 1010);
    if (person->Focus() != user) person->Click(user);
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("zitat\tzi\"tat");
    EXPECT_EQ(harness::TextOf(GetDlgItem(login, 1009)), "zi\"tat");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(login, IDOK))) << "the password with its quote is accepted";
    person->Press("Return");
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindow(login); }, 60000)) << "Return logged in";
    ASSERT_TRUE(WaitForTitle("VORLAN experience")) << fw::WindowText(main);
    ASSERT_TRUE(person->Settle());
    // The log-in ended demo's session and began one of its own, in a new job.
    std::vector<std::string> all = trace->Next();
    EXPECT_TRUE(Has(demotrace::OfJob(all, Job()), "LOGOUT^QCC")) << Joined(all);
    std::string zitat;
    for (const std::string& entry : all)
        if (entry.size() > entry.find(' ') &&
            entry.substr(entry.find(' ') + 1) == "LOGIN^QCC(\"zitat\",\"...\")")
            zitat = entry.substr(0, entry.find(' '));
    ASSERT_NE(zitat, "") << Joined(all);
    EXPECT_TRUE(Has(demotrace::OfJob(all, zitat), "INIT^QCC()")) << Joined(all);
    EXPECT_EQ(Server("W $G(^[%SYS]Z(\"IP\"," + zitat + "))"), "127.0.0.1");
    EXPECT_TRUE(Shown().empty() || Shown().back().kind == "dialog") << "no message on the way";
}

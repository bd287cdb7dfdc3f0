#pragma once
// Scratch screens of a test's own (^QM("TSTRQ...")) and the routine TSTREQ that their keys,
// checks and requests name, in front of the real main frame: what the server leaves after a
// step, and what its routines saw of the client's answers (in ^TSTREQ).

#include "common/MQuote.h"
#include "forms/FormMessages.h"
#include "tests/common/MRecord.h"
#include "tests/common/MRoutine.h"
#include "tests/forms/FormServerFixture.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace formrequests {

using mrecord::Record;

inline size_t CountStarting(const std::vector<std::string>& lines, const std::string& start) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                             [&](const std::string& l) { return l.rfind(start, 0) == 0; }));
}

// A field record: column, row, width, label, variable, kind, lines, password, tip, extras,
// most characters, button lines.
inline std::string EditRecord(int row, const std::string& label, const std::string& variable) {
    return Record({"14", std::to_string(row), "20", label, variable, "1", "1", "0", label, "", "40", ""});
}

// F5 of the scratch screens runs the code left in ^TSTREQ("DO") and hands %TITLE back to
// the form. The labels below it are what the screens' requests, checks and saves name.
inline const std::vector<std::string>& RoutineLines() {
    static const std::vector<std::string> lines = {
        "TSTREQ ; what the scratch screens of the form tests name",
        " Q",
        "RUN X $G(^TSTREQ(\"DO\")) Q",
        "EXIT N w M w=%WIN(\"PRGEXEC\")",
        " S ^TSTREQ(\"EXIT\")=$S($D(w(\"EXIT\")):\"<\"_w(\"EXIT\")_\">\",1:\"none\")",
        " S ^TSTREQ(\"LEFT\")=$D(w(\"PATH\"))_$D(w(\"PARAM\"))_$D(w(\"ROUT\")) K %WIN(\"PRGEXEC\") Q",
        "CARD N i S ^TSTREQ(\"CARD\")=$G(^TSTREQ(\"CARD\"))+1,i=0",
        " F  S i=$O(%WIN(\"READCARD\",i)) Q:i=\"\"!(i'=+i)  S ^TSTREQ(\"CARD\",i)=%WIN(\"READCARD\",i)",
        " Q",
        "SAVE S ^TSTREQ(\"SAVED\")=$G(^TSTREQ(\"SAVED\"))+1 Q",
        "PSAVE S ^TSTREQ(\"PAGE\")=$G(^TSTREQ(\"PAGE\"))+1 Q",
        "REFUSE S %FF=\"Gesperrt: nicht gespeichert.\" Q",
        "LEAVE(x) S %VL=1,%SC=\"F1\" Q \"\"",
        "OTHER(x) S TSTB=\"zu \"_x Q \"\"",
        "UPDATE(x) S TSTB=\"zu \"_x,%PRANS=$$ANS^QCC(x,\"\",\"\",2,1,\"\",\"\")",
        " S $P(%PRANS,$C(167),8)=1 Q \"\"",
        "RAW(x) I '$D(^TSTREQ(\"RAW\")) S %ZERRACCEPT=1 Q 1/0",
        " S %PRANS=^TSTREQ(\"RAW\") Q \"\"",
    };
    return lines;
}

// Sees what a form sends its frame before the frame answers it.
class FrameSpy {
  public:
    struct Event {
        std::string list, answer, value;
        int create, run, command, stick;
    };
    std::vector<Event> events;
    std::vector<UINT> commands;

    explicit FrameSpy(HWND frame) : m_frame(frame) {
        ::SetPropA(frame, kProp, this);
        m_old = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameSpy::Proc)));
    }
    ~FrameSpy() { Release(m_frame); }
    FrameSpy(const FrameSpy&) = delete;
    FrameSpy& operator=(const FrameSpy&) = delete;

  private:
    static constexpr const char* kProp = "FrameSpy";
    HWND m_frame;
    WNDPROC m_old = nullptr;

    void Release(HWND window) {
        if (!::IsWindow(window) || ::GetPropA(window, kProp) != this) return;
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_old));
        ::RemovePropA(window, kProp);
    }
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* spy = static_cast<FrameSpy*>(::GetPropA(window, kProp));
        if (!spy) return ::DefWindowProcA(window, msg, wParam, lParam);
        WNDPROC old = spy->m_old;
        if (msg == WM_TIMEREVENT && lParam) {
            const auto* r = reinterpret_cast<const vorlan::TimerEventRecord*>(lParam);
            spy->events.push_back({r->list ? r->list : "(null)", r->answer ? r->answer : "(null)",
                                   r->value ? r->value : "(null)", r->create, r->run, r->command, r->stick});
            // What the frame's timer road makes of them is the frame's tests' concern.
            return 0;
        } else if (msg == WM_COMMAND) {
            spy->commands.push_back(LOWORD(wParam));
        } else if (msg == WM_NCDESTROY) {
            spy->Release(window);
        }
        return ::CallWindowProcA(old, window, msg, wParam, lParam);
    }
};

} // namespace formrequests

class FormRequestsTestBase : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        // Before the log-in: the session's job links the routine as it first calls it. The
        // routine stays in the database, so once per program is enough.
        static bool routineWritten = false;
        if (!routineWritten) {
            Once(mroutine::RoutineLine("TSTREQ", formrequests::RoutineLines()));
            routineWritten = !HasFailure();
        }
        // What an earlier test (or program) left goes before it can be taken for this one's.
        Once("K ^TSTREQ S s=\"TSTRQ\" K ^QM(s) F  S s=$O(^QM(s)) Q:$E(s,1,5)'=\"TSTRQ\"  K ^QM(s)");
        LogIn();
    }

    static std::string Q(const std::string& text) { return vorlan::MQuote(text); }
    // The nodes of ^QM set on one connection: each Once is a job of its own on the server.
    static void Set(std::initializer_list<std::string> assignments) {
        std::string line;
        for (const std::string& assignment : assignments)
            line += (line.empty() ? "S " : ",") + assignment;
        Once(line);
    }
    // ^QM(screen) and its fields 1, 2, ... in free order: every open field takes the focus.
    static std::string Screen(const std::string& name, const std::string& title,
                              std::initializer_list<std::string> fields) {
        std::string set = "^QM(" + Q(name) + ")=" + Q(title) + ",^QM(" + Q(name) +
                          ",0,\"MAX\")=" + Q(formrequests::Record({"", "0", "0", "0", "J"}));
        int k = 0;
        for (const std::string& field : fields)
            set += ",^QM(" + Q(name) + "," + std::to_string(++k) + ")=" + Q(field);
        return set;
    }
    // ^QM(screen,subscripts) = value; subscripts as M code.
    static std::string Node(const std::string& name, const std::string& subscripts,
                            const std::string& value) {
        return "^QM(" + Q(name) + "," + subscripts + ")=" + Q(value);
    }
    // The screen TSTRQ: one field, and F5 running ^TSTREQ("DO").
    static void RequestScreen() {
        Set({Screen("TSTRQ", "Anfragen", {formrequests::EditRecord(5, "Feld", "TSTA")}),
             Node("TSTRQ", "0,\"TASTE\",\"F5\"", formrequests::Record({"Los", "RUN^TSTREQ", "", "%TITLE"}))});
    }
    CChildDialog* Open(const char* screen) {
        frame->SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>(screen), 0);
        harness::Pump();
        return Form();
    }
    // F5 of the form with the code it runs on the server.
    void Step(const std::string& code) {
        Once("S ^TSTREQ(\"DO\")=" + Q(code));
        Key(VK_F5);
    }
    static std::string Saw(const std::string& subscripts) {
        return Once("W $G(^TSTREQ(" + subscripts + "))");
    }
};

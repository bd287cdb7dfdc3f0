#include "framework/CommonDialog.h"
#include "framework/TestMode.h"

int CCommonDialog::ChooseScriptedPath(const char* name, const std::string& title, std::string& path) {
    int result = IDCANCEL;
    for (const fw::DialogStep& step : fw::TestMode::DialogScript(name)) {
        if (step.kind != fw::DialogStep::Verb || step.verb != "path") continue;
        path = step.text;
        result = IDOK;
    }
    fw::TestMode::RecordItem(fw::ShownItem{name, 0, title, path, result});
    return result;
}

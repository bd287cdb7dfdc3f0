// The request hub's readers of server values on arbitrary bytes: the report keeps %INF and
// %F within the answer, a question's routines are pieces of it, and every value read and
// pasted into a line stays one line of M (routines run as the server wrote them).
#include "services/HubLines.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::HubReport report = vorlan::ParseReport(text);
    if (report.inf.size() + report.f.size() > size) std::abort();
    vorlan::ReportMessage message = vorlan::ChooseReportMessage(report);
    if (message.text.size() > size) std::abort();
    vorlan::HubQuestion question = vorlan::ParseQuestion(text);
    for (int answer : {vorlan::kAnswerYes, vorlan::kAnswerNo, vorlan::kAnswerCancel})
        if (vorlan::QuestionRoutine(question, answer).size() > size) std::abort();
    vorlan::PackRequest pack = vorlan::ParsePackValue(text);
    for (const std::string& line :
         {vorlan::PackResultLine(text, "DONE^X"), vorlan::NodeKeyValueLine("FILESORT", text),
          vorlan::NextKeyLine("%CLIPBOARD", text)})
        if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) std::abort();
    return 0;
}

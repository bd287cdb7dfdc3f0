// The form's readers of server answers on arbitrary bytes: field and form records, the
// $$PR^QCC answer, the key table, messages, text-box lines and the grid's check stay within
// their bounds and never read past the answer.
#include "forms/FormLogic.h"
#include "forms/PrintRoadLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::FieldRecord f = vorlan::ParseFieldRecord(text);
    vorlan::Rect r = vorlan::FieldRect(f, 7, 20);
    if (r.right < r.left || r.bottom < r.top || f.height < 1 || f.width < 0) std::abort();
    vorlan::FormRecord form = vorlan::ParseFormRecord(text);
    if (form.fields < 0 || form.fields > 255) std::abort();
    vorlan::SaveAnswer a = vorlan::ParseSaveAnswer(text);
    if (a.value.size() > size || a.nextForward > 0xFFFF || a.nextBackward > 0xFFFF) std::abort();
    if (vorlan::SplitKeys(text).size() != static_cast<size_t>(vorlan::kKeyCount)) std::abort();
    vorlan::StepMessages m = vorlan::ParseMessages(text);
    if (m.info.size() + m.error.size() > size) std::abort();
    for (const std::string& line : vorlan::TextBoxLines(text))
        if (line.size() > 32001) std::abort();
    vorlan::HyperlinkCommand(text.c_str());
    vorlan::ParseSubDialog(text);
    vorlan::ParseFieldExtras(text);
    vorlan::ParseCardIndexEnd(text);
    vorlan::DeviceCodeOf(text);
    return 0;
}

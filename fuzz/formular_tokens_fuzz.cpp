// The form generator's line tags and data field tokens on arbitrary bytes: the bytes read as a
// template, every line written with its tokens filled; and the bytes written as a line. No
// token is longer than 15 characters, and a line without tokens is copied as it stands.
#include "services/FormularReader.h"
#include "services/FormularWriter.h"

#include <cstdlib>

namespace {

class Measurer : public vorlan::formular::IFontMeasurer {
  public:
    int LineHeight(const std::string&, int) override { return 240; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    using namespace vorlan::formular;
    std::string text(reinterpret_cast<const char*>(data), size);
    auto value = [](const std::string& token) -> std::optional<std::string> {
        if (token.size() < 2 || token.size() > static_cast<size_t>(kMaxTokenChars)) std::abort();
        if (token[0] != '@' && token[0] != '#') std::abort();
        if (token[1] == '0') return std::nullopt;
        return token[1] == '1' ? std::string("rtf:{\\b x}\r") : token.substr(1);
    };
    std::string out;
    WriteLine(text, value, out);
    std::string plain;
    WriteLine(text, nullptr, plain);
    if (plain != text) std::abort();
    SlotIndex(text);

    Measurer measurer;
    TemplateReader reader(measurer);
    MemorySource source(text.data(), text.size());
    if (reader.Read(source) != kOk) return 0;
    for (int s = kHeader; s <= kBody; ++s) {
        out.clear();
        WriteLine(reader.Sec(s).lead, value, out);
        for (const Slot& slot : reader.Sec(s).slots)
            if (slot.used) WriteLine(slot.text, value, out);
    }
    return 0;
}

// The form generator's template reader on arbitrary bytes: a result code, never a crash, and
// what it keeps stays within its limits and brace-balanced.
#include "services/FormularReader.h"

#include <cstdlib>

namespace {

class Measurer : public vorlan::formular::IFontMeasurer {
  public:
    int LineHeight(const std::string& face, int halfPoints) override {
        return static_cast<int>(face.size()) + (halfPoints & 0xFF);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    using namespace vorlan::formular;
    Measurer measurer;
    TemplateReader reader(measurer);
    MemorySource source(reinterpret_cast<const char*>(data), size);
    int result = reader.Read(source);
    if (result < kOk || result > kCannotCreate) std::abort();
    if (result != kOk) return 0;
    if (OpenGroups(reader.Head()) != 0) std::abort();
    // The head as a merged document carries it: the flag gone, the groups as they were.
    std::string head = WithoutControlWord(reader.Head(), "titlepg");
    if (OpenGroups(head) != 0 || head.size() > reader.Head().size()) std::abort();
    for (int s = kHeader; s <= kBody; ++s) {
        const Section& section = reader.Sec(s);
        if (OpenGroups(section.lead) != 0) std::abort();
        for (const Slot& slot : section.slots) {
            if (!slot.used) continue;
            // Balancing may add one "}" per group a slot opened.
            if (slot.text.size() > 2 * kMaxSlotChars || OpenGroups(slot.text) != 0) std::abort();
        }
    }
    if (reader.Fonts().size() > static_cast<size_t>(kMaxFonts)) std::abort();
    return 0;
}

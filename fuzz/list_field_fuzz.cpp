// The list field's record and state mapping on arbitrary replies: pieces, looks and item
// parameters stay in their ranges, and typed text never carries the delimiter into a line.
#include "controls/ListFieldLogic.h"

#include <cstdlib>
#include <string>

using namespace listfield;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Record r = ParseRecord(text);
    if (r.text.size() > size || r.tip.size() > size) std::abort();
    Record parent = ParseRecord(text.substr(size / 2));
    for (int pos = 0; pos < 4; ++pos) {
        for (const Look& look : {FirstLevelLook(r.Value(), pos & 1, pos & 2), SecondLevelLook(r, pos, parent.chosen),
                                 ThirdLevelLook(r, pos, parent), DynamicSecondLevelLook(r, pos, parent.chosen),
                                 DynamicThirdLevelLook(r, pos, parent)})
            if (look.image < 0 || look.image > 8) std::abort();
    }
    unsigned param = ItemParam(3, r.Value(), parent.Value(), 0);
    if (!ParamThird(param) || ParamY(param) > 0x7FFF) std::abort();
    int key = FunctionKey(text);
    if (key < 0 || key > 12) std::abort();
    std::string line = LabelTextLine("N(1)", text);
    if (KeptLabelText(text).find('\xA7') != std::string::npos) std::abort();
    ShownText(r);
    SplicedText(text, r.edited);
    SelectionLine(text, 1, 2, 3);
    return 0;
}

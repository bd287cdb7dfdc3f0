// The form's readers of comment, label and picture records and of %MAK1 lists on arbitrary
// bytes: slots stay within their 36, rectangles stay ordered, nothing reads past the text.
#include "forms/FormDecor.h"
#include "forms/FormFieldLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::CommentEntry e = vorlan::ParseComment(text, 7, 20);
    if (e.slot < -1 || e.slot >= vorlan::kGroupBoxSlots) std::abort();
    if ((e.kind == vorlan::CommentEntry::OpenBox || e.kind == vorlan::CommentEntry::CloseBox) && e.slot < 0)
        std::abort();
    if (e.text.size() > size) std::abort();
    vorlan::ClosingCorner(e);
    vorlan::Position p = vorlan::GetPosition(text, static_cast<int>(size % 2), 7, 20);
    if (p.rect.bottom < p.rect.top) std::abort();
    vorlan::Position picture = vorlan::PictureRect(text, 7, 20);
    (void)picture;
    vorlan::IsPictureRecord(text);
    vorlan::RefreshList list = vorlan::ParseRefreshList(text);
    for (int i = 64; i < 70; ++i)
        if (!list.all && list.Refreshes(i)) std::abort();
    vorlan::EnableState s = vorlan::EnableRule(text, 40, static_cast<int>(size % 50), size % 3 == 0, true);
    if (s.control.size() != 41 || s.focus > 0xFFFF) std::abort();
    vorlan::SearchWord w = vorlan::SearchWordAt(text, static_cast<int>(size / 2));
    if (w.word.size() > size) std::abort();
    vorlan::IsRoutineRef(text);
    return 0;
}

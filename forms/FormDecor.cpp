#include "forms/FormDecor.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"

#include <algorithm>

namespace vorlan {

namespace {

// The number a piece starts with, clamped so that cells times pixels cannot overflow.
int Leading(std::string_view text) {
    return std::clamp(NumberOf(text), -100000, 100000);
}

int AdjustWidth(int w) {
    if (w == 0) return 0;
    if (w == 1) return 3;
    return w + 1;
}

int TopOf(int row, int mode, int rowHeight) {
    int r = std::max(row - 5, 0);
    int top = r * rowHeight;
    if (mode == 0) top += 8;
    if (mode == 1 && r != 0) top += 12;
    return top;
}

} // namespace

Position GetPosition(int column, int row, int width, int lines, int mode, int cellWidth, int rowHeight) {
    Position p;
    int w = AdjustWidth(width);
    p.rect.left = column * cellWidth;
    p.rect.right = p.rect.left + w * cellWidth;
    p.rect.top = TopOf(row, mode, rowHeight);
    p.rect.bottom = p.rect.top + lines * rowHeight - 1;
    p.raises = w != 0;
    return p;
}

Position GetPosition(std::string_view record, int mode, int cellWidth, int rowHeight) {
    return GetPosition(Leading(PieceOf(record, 1)), Leading(PieceOf(record, 2)), Leading(PieceOf(record, 3)),
                       1, mode, cellWidth, rowHeight);
}

std::string TextLine(std::string_view description, std::string_view group, int n) {
    return "W $$TEXT^QCC(" + MQuote(description) + "," + MQuote(group) + "," + std::to_string(n) + ")";
}

std::string IndiLine(std::string_view description, int n) {
    return "W $$INDI^QCC(" + MQuote(description) + "," + std::to_string(n) + ")";
}

int GroupBoxSlot(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return 10 + (c - 'A');
    return -1;
}

CommentEntry ParseComment(std::string_view record, int cellWidth, int rowHeight) {
    CommentEntry e;
    Position p = GetPosition(record, 0, cellWidth, rowHeight);
    e.ruleTop = p.rect.top;
    e.rect = p.rect;
    e.rect.top += 2;
    e.rect.bottom = e.ruleTop + 4;
    e.raises = p.raises;
    std::string text = PieceOf(record, 4);
    if (!text.empty() && (text[0] == '[' || text[0] == ']')) {
        e.slot = text.size() > 1 ? GroupBoxSlot(text[1]) : -1;
        if (e.slot < 0) return e; // names no slot: opens or closes nothing
        e.kind = text[0] == '[' ? CommentEntry::OpenBox : CommentEntry::CloseBox;
        e.text = text.substr(2);
        return e;
    }
    e.kind = CommentEntry::Text;
    e.text = text;
    return e;
}

Corner ClosingCorner(const CommentEntry& close) {
    return Corner{close.rect.left + 7 - 1, close.ruleTop + 12};
}

bool IsPictureRecord(std::string_view record) {
    return PieceOf(record, 4).compare(0, 4, "BILD") == 0;
}

Position PictureRect(std::string_view record, int cellWidth, int rowHeight) {
    int pw = AdjustWidth(Leading(PieceOf(record, 2, '/')));
    int ph = Leading(PieceOf(record, 3, '/'));
    Position p;
    int column = Leading(PieceOf(record, 1));
    p.rect.left = column * cellWidth;
    p.rect.right = (column + pw) * cellWidth;
    p.rect.top = TopOf(Leading(PieceOf(record, 2)), 0, rowHeight);
    p.rect.bottom = p.rect.top + ph * rowHeight - 1;
    p.raises = pw != 0;
    return p;
}

} // namespace vorlan

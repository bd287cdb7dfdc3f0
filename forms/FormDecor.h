#pragma once
// The form's server-described decoration without windows: where comment texts, group boxes,
// computed labels and pictures go, how their records read, and the lines that ask for them.

#include "forms/FormLogic.h"

#include <string>
#include <string_view>

namespace vorlan {

// Positions are in the character cell W x H. Mode 0 places comments and labels, mode 1 is
// the variant whose first row starts at the top edge.
struct Position {
    Rect rect;
    bool raises = false; // a width of 0 does not widen the layout
};
Position GetPosition(int column, int row, int width, int lines, int mode, int cellWidth, int rowHeight);
// Column, row and width from pieces 1-3 of a record (each at most 15 characters), one line.
Position GetPosition(std::string_view record, int mode, int cellWidth, int rowHeight);

// Comment groups, asked for in this order.
constexpr const char* kCommentGroups[] = {"WZ", "WI", "WK"};
// Reading a group ends after this many records or this many empty answers in a row, so that
// a server that never answers the end mark cannot hold the form.
constexpr int kMaxCommentRecords = 10000;
constexpr int kMaxEmptyComments = 100;
constexpr int kGroupBoxSlots = 36;

std::string TextLine(std::string_view description, std::string_view group, int n);
std::string IndiLine(std::string_view description, int n);

// One comment record: what it does and where.
struct CommentEntry {
    enum Kind { Text, OpenBox, CloseBox, Nothing } kind = Nothing;
    int slot = -1;    // 0-35 for boxes
    std::string text; // shown text (group-box caption or comment)
    Rect rect;        // the rule's rectangle moved down 2, its bottom the rule's top + 4
    int ruleTop = 0;
    bool raises = false;
};
// "0"-"9" are slots 0-9, "A"-"Z" 10-35; anything else names no slot (-1).
int GroupBoxSlot(char c);
CommentEntry ParseComment(std::string_view record, int cellWidth, int rowHeight);
// The lower right corner a "]" entry gives the box it closes.
struct Corner {
    int x, y;
};
Corner ClosingCorner(const CommentEntry& close);

// A "BILD" record of $$INDI^QCC: a picture whose cells come from its "/"-pieces 2 and 3.
bool IsPictureRecord(std::string_view record);
Position PictureRect(std::string_view record, int cellWidth, int rowHeight);

} // namespace vorlan

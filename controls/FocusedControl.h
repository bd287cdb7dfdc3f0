#pragma once
// The kind of control that holds the keyboard focus, read by the frame's edit commands.

// 4: a grid or its in-place edit; 3: the record explorer's tree or list; 0: none of these.
extern int FocusedControlKind;

constexpr int kFocusKindNone = 0;
constexpr int kFocusKindExplorer = 3;
constexpr int kFocusKindGrid = 4;

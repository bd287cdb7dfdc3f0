#pragma once
// The user's eleven font slots (the font page's list, FontName/FontSize + "A" + slot in the
// profile) by what each one changes; the slots' names in the language libraries follow them.

namespace vorlan {

enum FontSlot : int {
    kFontSlotGrid = 0,       // tables whose screen names no font of its own
    kFontSlotUnused = 1,     // read by nothing
    kFontSlotListWindow = 2, // the list windows
    kFontSlotPopupList = 3,  // popup selection lists
    kFontSlotPrint = 4,      // print list, table print, form hard copy
    kFontSlotMultiLine = 5,  // multi-line fields
    kFontSlotGridFont1 = 6,  // tables whose screen names font 1, 2, 3 (4 is the main window's)
    kFontSlotGridFont2 = 7,
    kFontSlotGridFont3 = 8,
    kFontSlotMainWindow = 9, // the main window, its bars and every form
    kFontSlotGridFixed = 10, // tables whose screen names the fixed font (-1) or font 5
};

} // namespace vorlan

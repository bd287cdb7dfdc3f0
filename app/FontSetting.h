#pragma once
// The user's font settings in the profile (section "Settings", FontName<letter> and
// FontSize<letter>, letter "A" + n).

#include "app/FontSlots.h"
#include "framework/FwString.h"

struct FontSetting {
    CString name;
    int scaledSize = 0; // points * 10 + 5, 0 when no size
    int points = 0;
};

FontSetting ReadFontSetting(int n);
void WriteFontSetting(int n, const FontSetting& font);

#include "app/FontSetting.h"

#include "framework/App.h"

#include <string>

namespace {

std::string Key(const char* prefix, int n) {
    return std::string(prefix) + static_cast<char>('A' + n);
}

} // namespace

FontSetting ReadFontSetting(int n) {
    FontSetting f;
    CWinApp* app = AfxGetApp();
    if (!app) return f;
    f.name = app->GetProfileString("Settings", Key("FontName", n).c_str(), "");
    f.points = app->GetProfileInt("Settings", Key("FontSize", n).c_str(), 0);
    f.scaledSize = f.points ? f.points * 10 + 5 : 0;
    return f;
}

void WriteFontSetting(int n, const FontSetting& font) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileString("Settings", Key("FontName", n).c_str(), font.name);
    app->WriteProfileInt("Settings", Key("FontSize", n).c_str(), font.points);
}

#pragma once
// What the icon desktop tells the server without a window: the sizes of the MDI client area
// and of the screen, which server screens place their windows by.

#include <string>

namespace vorlan {

// %WIN("CLIENTSIZE") and %WIN("SCREENSIZE") become "width,height".
std::string ClientSizeLine(int width, int height);
std::string ScreenSizeLine(int width, int height);

} // namespace vorlan

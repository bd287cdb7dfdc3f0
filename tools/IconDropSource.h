#pragma once
// Drop source of drags from the icon desktop and from the menu tree: the plain arrow while
// the effect is "move" (an icon moved on the desktop is no file move), the default cursors
// otherwise.

#include "framework/OleDragDrop.h"

class CIconDropSource : public COleDropSource {
  public:
    SCODE GiveFeedback(DROPEFFECT effect) override {
        if ((effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_MOVE) {
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
            return S_OK;
        }
        return COleDropSource::GiveFeedback(effect);
    }
};

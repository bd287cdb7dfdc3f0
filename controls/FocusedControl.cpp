#include "controls/FocusedControl.h"

int FocusedControlKind = kFocusKindNone;

// CT_close of the terminal double: left out of the one build that stands in for a library
// without it.
#include "tests/cards/CtApiDouble.h"

#include <windows.h>

extern "C" __declspec(dllexport) signed char WINAPI CT_close(unsigned short ctn) {
    return ctapidouble::Close(ctn);
}

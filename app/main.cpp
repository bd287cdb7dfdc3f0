#include "app/VORLANApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    return AfxWinMain(instance, cmdLine, cmdShow);
}

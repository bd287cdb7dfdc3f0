#include "app/VORLANApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    theApp.SetTransport(MakeClientLibraryTransport());
    return AfxWinMain(instance, cmdLine, cmdShow);
}

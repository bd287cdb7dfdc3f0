#include "app/VORLANApp.h"
#include "frame/MainFrame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    theApp.SetTransport(MakeClientLibraryTransport());
    theApp.m_pfnCreateMainFrame = &CreateVorlanMainFrame;
    return AfxWinMain(instance, cmdLine, cmdShow);
}

#include "app/VORLANApp.h"
#include "frame/MainFrame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    AppParts parts;
    parts.transport = MakeClientLibraryTransport();
    parts.createMainFrame = &CreateVorlanMainFrame;
    theApp.Plug(std::move(parts));
    return AfxWinMain(instance, cmdLine, cmdShow);
}

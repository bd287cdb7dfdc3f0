// img_lock_holder PATH: keeps PATH open without sharing until told to let go, so that a test
// sees a file locked by another process. Named events "<tag>.held" and "<tag>.release".
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 1;
    HANDLE file = ::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    std::string tag = argv[2];
    HANDLE held = ::CreateEventA(nullptr, TRUE, FALSE, (tag + ".held").c_str());
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, (tag + ".release").c_str());
    ::SetEvent(held);
    ::WaitForSingleObject(release, 60000);
    ::CloseHandle(file);
    ::CloseHandle(held);
    ::CloseHandle(release);
    return 0;
}

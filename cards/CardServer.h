#pragma once
// The card server library "SCARD32.DLL": it drives a card terminal by text commands and posts
// its events to a hidden window of ours, which turns them into status numbers for the window
// that owns the reading.

#include "framework/LoadedLibrary.h"
#include "framework/Wnd.h"

#include <string>

// The library's one entry: (handle word, zero on entry; command; 0; input data; input length;
// reply buffer; reply length, in: the buffer's size, out: the reply's) -> 0 on success.
using SCardComandEntry = int(WINAPI*)(long* handle, const char* command, long reserved, const char* input,
                                      long* inputLength, char* reply, long* replyLength);

class CCardServer : public CWnd {
  public:
    // The library posts its events to the hidden window with this message, and the owner
    // receives each status number with it (wParam).
    static constexpr UINT kCardMessage = 0x8000;

    // Loads the library and runs its start sequence; without it every command fails.
    CCardServer();
    ~CCardServer() override;

    // Announces the hidden window to the library once; 1 when it is announced. The owner
    // then receives the current status at once and every later one.
    int RegisterWindow(HWND owner);
    // The library's result, -1 without the library. A reply buffer is zeroed first and holds
    // a terminated text afterwards.
    int Command(const char* text, const char* input = nullptr, long inputLength = 0, char* reply = nullptr,
                long replyLength = 0);
    // The reply of a command into a buffer of `size` bytes; empty when the command failed.
    std::string Ask(const char* text, size_t size, bool* succeeded = nullptr);
    void SetStatus(const std::string& word);
    int Status() const { return m_nStatus; }
    bool IsRegistered() const { return m_bRegistered; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnCardEvent(WPARAM status);
    void ForwardStatus();

    CLoadedLibrary m_library;
    SCardComandEntry m_command = nullptr;
    int m_nStatus;
    bool m_bRegistered = false;
    HWND m_hOwner = nullptr;
};

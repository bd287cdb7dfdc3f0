#pragma once
// Windows the main frame opens beside the server's screens: the manual, HTML help, web
// pages and terminal sessions. The frame asks through this interface, so that tests can
// observe what was asked.

#include "framework/FwString.h"

#include <windows.h>

#include <memory>

class IFrameViewer {
  public:
    virtual ~IFrameViewer() = default;
    // The manual (a PDF file) in a window with the given title.
    virtual void ShowManual(const CString& path, const CString& title) = 0;
    // An HTML help topic ("file.chm::/page.htm#anchor").
    virtual void ShowHtmlHelp(const CString& topic) = 0;
    // A web page; returns the window that shows it, or null.
    virtual HWND OpenWebPage(const CString& address, bool newWindow, const CString& title) = 0;
    // A terminal session to the server (ssh or telnet); returns its window, or null.
    virtual HWND OpenTerminal(bool ssh) = 0;
};

// The program's own: HTML help through the system's help viewer (in test mode recorded as a
// "viewer" line instead), the manual and web pages in web-browser children, terminals in the
// terminal child of the main frame.
std::unique_ptr<IFrameViewer> MakeFrameViewer();

#pragma once
// The request hub: after every server step of a form it serves, in a fixed order, the
// requests that the server left for the workstation under ^QTEMP(%JOB,...), removes each
// and reports the served work's result through %INF and %F.

#include <windows.h>

#include <string>

class CSession;
namespace vorlan {
struct RequestNode;
}

// What the hub needs of the form it serves.
class IRequestHubForm {
  public:
    virtual ~IRequestHubForm() = default;
    // Parent of the boxes and dialogs, owner of the clipboard.
    virtual HWND HubWindow() const = 0;
    // The window that takes pasted text (the rich-text field); may be null.
    virtual HWND PasteTarget() const = 0;
    // Runs the form's pending field actions (%DDN); 1 when the chain ended normally.
    virtual int ExecuteDDN(const char* call) = 0;
    // Writes what the server left under ^QTEMP(%JOB,"COMPORT") to the serial ports.
    virtual void ComPort() = 0;
};

class CRequestHub {
  public:
    CRequestHub(CSession& session, IRequestHubForm& form);
    // One pass over every request node.
    void Run();

    // For the services: runs one line of M code and returns what it writes.
    std::string Execute(const std::string& line);
    IRequestHubForm& Form() { return m_form; }

  private:
    void PasteText();
    void ServeNode(const vorlan::RequestNode& node,
                   void (*service)(CRequestHub&, const vorlan::RequestNode&));
    void Report();

    CSession& m_session;
    IRequestHubForm& m_form;
    bool m_bReport = false;
};

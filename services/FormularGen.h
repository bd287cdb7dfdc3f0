#pragma once
// The RTF form generator as a print form uses it: the scan pass finds the form's templates,
// the server's print routine fills ^ZDR, the merge pass writes the documents. A status dialog
// shows the progress; every failure is one message box. Destroying the generator removes the
// job's ^ZDR data.

#include "services/FormularEngine.h"

#include <memory>
#include <string>
#include <vector>

class CWnd;
class CStatusDialog;

class CFormularGen {
  public:
    // owner: parent of the status dialog (may be null). layoutOnly: every line on one page with
    // all headers and footers. filter: when not empty, the one template of that base name.
    CFormularGen(CWnd* owner, int layoutOnly, const char* filter);
    ~CFormularGen();
    CFormularGen(const CFormularGen&) = delete;
    CFormularGen& operator=(const CFormularGen&) = delete;

    // mode 1: scan pass, path = the template folder. mode 0: merge pass, path = the output
    // file (onePerPart off), or with onePerPart a "….rtf" pattern, a folder or empty. The
    // names of the files written go into names (at most 512). A result code 0-12; every
    // code but 0 has been shown in a message box.
    int Generate(const char* prefix, int mode, const char* path, int onePerPart,
                 std::vector<std::string>& names);
    // The same without the message box and the final status text.
    int MergeTemplates(const char* prefix, int mode, const char* path, int onePerPart,
                       std::vector<std::string>& names);

    // The folder the scan pass found the templates in.
    const std::string& TemplateFolder() const { return m_engine->TemplateFolder(); }
    std::string Resolve(const std::string& path) const { return m_engine->Resolve(path); }

  private:
    class CSessionLink;
    class CDisplayMeasurer;
    void ShowStatus(const char* text);
    void ShowMessage(int code);

    std::unique_ptr<CSessionLink> m_session;
    std::unique_ptr<CDisplayMeasurer> m_measurer;
    std::unique_ptr<vorlan::formular::FormularEngine> m_engine;
    std::unique_ptr<CStatusDialog> m_status;
};

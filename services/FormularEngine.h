#pragma once
// The form generator without windows: finds a form's RTF templates (scan pass), and merges
// the server's data under ^ZDR(%JOB,%FORM,...) into one RTF document per part or one for
// all (merge pass), breaking pages itself.

#include "services/FormularReader.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlan::formular {

// The server session: what a line of M code writes.
class IFormularSession {
  public:
    virtual ~IFormularSession() = default;
    virtual std::string Execute(const std::string& line) = 0;
};

constexpr int kMaxOutputs = 512;
constexpr int kMaxLinesPerPage = 512;

class FormularEngine {
  public:
    FormularEngine(IFormularSession& session, IFontMeasurer& measurer, bool layoutOnly, std::string filter);
    ~FormularEngine();

    // mode 1: the scan pass over `path` as the template folder; mode 0: the merge pass into
    // `path` (a file, or with onePerPart a file name pattern or folder, or empty). The names
    // of the files written go into `names`. A result code.
    int Generate(const std::string& prefix, int mode, const std::string& path, bool onePerPart,
                 std::vector<std::string>& names);
    int Scan(const std::string& folder, const std::string& prefix);
    int Merge(const std::string& prefix, const std::string& path, bool onePerPart,
              std::vector<std::string>& names);

    // The arguments of the message of the last result: the current file, or for "no
    // template" the folder, the prefix, the language and the version.
    const std::vector<std::string>& MessageArgs() const { return m_args; }
    // The folder where the scan pass found the templates; the merge pass reads from it.
    const std::string& TemplateFolder() const { return m_folder; }
    // Relative output names and folders lie in that folder.
    std::string Resolve(const std::string& path) const;
    // How many times a template was read in the merge pass.
    int TemplatesRead() const { return m_templatesRead; }

    // Called with the part number (1, 2, ...) as each part begins.
    std::function<void(int part)> onPart;
    // The server's output folder for a part made usable (placeholders translated, resolved,
    // created); empty when it cannot be.
    std::function<std::string(const std::string& folder)> prepareFolder;

  private:
    class Output;
    struct Line {
        std::string x, y;
        int slot;
    };

    std::string Exec(const std::string& line) { return m_session.Execute(line); }
    int Fail(int code, const std::string& file);
    int ScanFolder(const std::string& folder, const std::string& prefix, bool& found);
    int Load(const std::string& file);
    std::string PartOutputName(const std::string& path, int part);
    int FillBody(Output& out);
    void WritePage(Output& out, int page, const std::vector<Line>& lines, bool last, bool titleMode);
    void WriteSection(Output& out, int request, int store, const char* opening, int page,
                      const std::string& pageValue);
    std::optional<std::string> FieldValue(int section, const Line& line, const std::string& token, int page,
                                          const std::string& pageValue);
    int StoreFor(int request) const;
    long long Usable(int page, bool titleMode, long long base) const;
    int HeaderRequest(int page, bool titleMode) const {
        return page == 1 || !titleMode ? kHeaderFirst : kHeader;
    }

    IFormularSession& m_session;
    bool m_layoutOnly;
    std::string m_filter;
    TemplateReader m_reader;
    std::string m_folder;
    std::string m_loaded; // the template name the reader holds
    std::vector<std::string> m_args;
    int m_templatesRead = 0;
};

// Files of the folder whose names match "<prefix>?_*.rtf" (case ignored), sorted.
std::vector<std::string> ListTemplates(const std::string& folder, const std::string& prefix);
// The folder with one path separator at its end.
std::string WithSeparator(const std::string& folder);

} // namespace vorlan::formular

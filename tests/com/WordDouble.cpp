// Word as the print forms see it, for the tests: Application (Documents, Quit), Documents
// (Open) and Document (PrintOut, SaveAs, Close), found by name. A document is the text of its
// file; SaveAs with format 17 writes it as a real PDF, any other format as the file it was;
// PrintOut prints it through GDI on the default printer and logs what the printer and the fax
// software saw. A file that cannot be read or written raises an automation exception, as Word
// would.
#include "tests/com/ComDouble.h"
#include "tests/com/DocumentOutput.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using comdouble::AutomationError;
using comdouble::Member;
using comdouble::Object;

namespace {

// Our own numbers: the client must look every member up by name.
enum : DISPID {
    kDocuments = 0x101,
    kQuit = 0x102,
    kOpen = 0x201,
    kPrintOut = 0x301,
    kSaveAs = 0x302,
    kClose = 0x303,
};

const Member kApplication[] = {{"Documents", kDocuments}, {"Quit", kQuit}};
const Member kDocumentsMembers[] = {{"Open", kOpen}};
const Member kDocument[] = {{"PrintOut", kPrintOut}, {"SaveAs", kSaveAs}, {"Close", kClose}};

constexpr long kPdfFormat = 17;

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Document : public Object {
  public:
    Document(std::string path, std::string bytes)
        : Object("Document", kDocument, std::size(kDocument)), m_path(std::move(path)),
          m_bytes(std::move(bytes)) {}
    std::string LogName() const override { return "Document[" + FileName(m_path) + "]"; }
    void Call(DISPID id, WORD, std::vector<VARIANT>& args, VARIANT*) override {
        switch (id) {
        case kPrintOut: PrintOut(); break;
        case kSaveAs: SaveAs(args); break;
        default: break;
        }
    }

  private:
    void PrintOut() {
        // The print title Word gives a document: what the fax software files numbers under.
        std::string title = "Microsoft Word - " + FileName(m_path);
        std::string context = docdouble::PrintContext();
        std::string printer;
        if (!docdouble::PrintLines(title, docdouble::DocumentLines(m_bytes), printer))
            throw AutomationError{"Der Drucker " + printer + " hat den Auftrag nicht angenommen."};
        comdouble::Log("  printed " + context);
    }
    void SaveAs(std::vector<VARIANT>& args) {
        std::string target = args.empty() ? std::string() : comdouble::TextOf(args[0]);
        long format = args.size() < 2 || comdouble::IsMissing(args[1])
                          ? 0
                          : std::atol(comdouble::TextOf(args[1]).c_str());
        std::string bytes =
            format == kPdfFormat ? docdouble::PdfOf(docdouble::DocumentLines(m_bytes)) : m_bytes;
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (target.empty() || !out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            throw AutomationError{"Word kann die Datei " + target + " nicht speichern."};
    }

    std::string m_path;
    std::string m_bytes;
};

class Documents : public Object {
  public:
    Documents() : Object("Documents", kDocumentsMembers, std::size(kDocumentsMembers)) {}
    void Call(DISPID, WORD, std::vector<VARIANT>& args, VARIANT* result) override {
        std::string path = args.empty() ? std::string() : comdouble::TextOf(args[0]);
        std::string bytes;
        if (path.empty() || !docdouble::ReadFile(path, bytes))
            throw AutomationError{"Word kann die Datei " + path +
                                  " nicht \xF6"
                                  "ffnen."};
        comdouble::SetObject(result, new Document(path, bytes));
    }
};

class Application : public Object {
  public:
    Application() : Object("Application", kApplication, std::size(kApplication)) {}
    void Call(DISPID id, WORD, std::vector<VARIANT>&, VARIANT* result) override {
        if (id == kDocuments) comdouble::SetObject(result, new Documents);
        if (id == kQuit) comdouble::SetQuit();
    }
};

// {6A2E4B10-3C5D-4F7E-8B91-2D3C4E5F6A01}
constexpr CLSID kWordClsid = {0x6a2e4b10, 0x3c5d, 0x4f7e, {0x8b, 0x91, 0x2d, 0x3c, 0x4e, 0x5f, 0x6a, 0x01}};

} // namespace

int main() {
    return comdouble::RunServer({{"Word.Application", kWordClsid}},
                                [](const std::string&) -> Object* { return new Application; });
}

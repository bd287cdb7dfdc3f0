// Excel as the export sees it, for the tests: Application, Workbooks, Workbook, Worksheets,
// Worksheet and Range by their fixed DISPIDs, over workbooks kept as text files of our own
// ("sheet!cell=formula" lines, whatever the extension). A missing file or sheet and a bad
// cell name raise automation exceptions with a German description, as Excel would.
#include "tests/com/ComDouble.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using comdouble::AutomationError;
using comdouble::Member;
using comdouble::Object;

namespace {

enum : DISPID {
    kAdd = 0xB5,
    kClearContents = 0x71,
    kClose = 0x115,
    kActiveSheet = 0x133,
    kFormulaR1C1 = 0x108,
    kItem = 0xAA,
    kName = 0x6E,
    kRange = 0xC5,
    kWorkbooks = 0x23C,
    kWorksheets = 0x1EE,
    kOpen = 0x2AA,
    kQuit = 0x12E,
    kSave = 0x11B,
    kSaveAs = 0x11C,
    kSaveCopyAs = 0xAF,
    kUserControl = 0x4BA,
    kVisible = 0x22E,
};

const Member kApplication[] = {
    {"Workbooks", kWorkbooks}, {"Quit", kQuit}, {"Visible", kVisible}, {"UserControl", kUserControl}};
const Member kWorkbooksMembers[] = {{"Add", kAdd}, {"Open", kOpen}};
const Member kWorkbook[] = {{"ActiveSheet", kActiveSheet},
                            {"Worksheets", kWorksheets},
                            {"Name", kName},
                            {"Close", kClose},
                            {"Save", kSave},
                            {"SaveAs", kSaveAs},
                            {"SaveCopyAs", kSaveCopyAs}};
const Member kWorksheetsMembers[] = {{"Item", kItem}};
const Member kWorksheet[] = {{"Range", kRange}, {"Name", kName}};
const Member kRangeMembers[] = {{"FormulaR1C1", kFormulaR1C1}, {"ClearContents", kClearContents}};

struct Sheet {
    std::string name;
    std::map<std::string, std::string> cells;
};

struct Book {
    std::string path;
    std::string name;
    std::vector<std::shared_ptr<Sheet>> sheets;
};

bool SameText(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Write(const Book& book, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw AutomationError{"Die Datei " + path + " kann nicht gespeichert werden."};
    for (const auto& sheet : book.sheets) {
        if (sheet->cells.empty()) out << sheet->name << "!\r\n";
        for (const auto& [cell, formula] : sheet->cells)
            out << sheet->name << "!" << cell << "=" << formula << "\r\n";
    }
}

std::shared_ptr<Book> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw AutomationError{"Die Datei " + path + " wurde nicht gefunden."};
    auto book = std::make_shared<Book>();
    book->path = path;
    book->name = FileName(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t bang = line.find('!');
        if (bang == std::string::npos) continue;
        std::string name = line.substr(0, bang);
        auto it = std::find_if(book->sheets.begin(), book->sheets.end(),
                               [&](const auto& s) { return SameText(s->name, name); });
        if (it == book->sheets.end()) {
            book->sheets.push_back(std::make_shared<Sheet>(Sheet{name, {}}));
            it = book->sheets.end() - 1;
        }
        size_t eq = line.find('=', bang);
        if (eq != std::string::npos) (*it)->cells[line.substr(bang + 1, eq - bang - 1)] = line.substr(eq + 1);
    }
    if (book->sheets.empty()) book->sheets.push_back(std::make_shared<Sheet>(Sheet{"Tabelle1", {}}));
    return book;
}

// A1 to XFD1048576, upper case.
bool IsCellName(const std::string& name) {
    size_t letters = 0;
    while (letters < name.size() && name[letters] >= 'A' && name[letters] <= 'Z')
        ++letters;
    size_t digits = name.size() - letters;
    if (letters < 1 || letters > 3 || digits < 1 || digits > 7 || name[letters] == '0') return false;
    return std::all_of(name.begin() + static_cast<long>(letters), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

class Range : public Object {
  public:
    Range(std::shared_ptr<Sheet> sheet, std::string cell)
        : Object("Range", kRangeMembers, std::size(kRangeMembers)), m_sheet(std::move(sheet)),
          m_cell(std::move(cell)) {}
    std::string LogName() const override { return "Range[" + m_sheet->name + "!" + m_cell + "]"; }
    void Call(DISPID id, WORD flags, std::vector<VARIANT>& args, VARIANT* result) override {
        if (id == kClearContents) {
            m_sheet->cells.erase(m_cell);
        } else if (id == kFormulaR1C1 && (flags & DISPATCH_PROPERTYPUT)) {
            if (args.empty()) throw AutomationError{"Kein Wert"};
            std::string value = comdouble::TextOf(args.back());
            if (value.empty())
                m_sheet->cells.erase(m_cell);
            else
                m_sheet->cells[m_cell] = value;
        } else if (id == kFormulaR1C1) {
            auto it = m_sheet->cells.find(m_cell);
            comdouble::SetText(result, it == m_sheet->cells.end() ? std::string() : it->second);
        }
    }

  private:
    std::shared_ptr<Sheet> m_sheet;
    std::string m_cell;
};

class Worksheet : public Object {
  public:
    explicit Worksheet(std::shared_ptr<Sheet> sheet)
        : Object("Worksheet", kWorksheet, std::size(kWorksheet)), m_sheet(std::move(sheet)) {}
    std::string LogName() const override { return "Worksheet[" + m_sheet->name + "]"; }
    void Call(DISPID id, WORD flags, std::vector<VARIANT>& args, VARIANT* result) override {
        if (id == kName && (flags & DISPATCH_PROPERTYPUT)) {
            std::string name = args.empty() ? std::string() : comdouble::TextOf(args.back());
            // Excel's rule for sheet names.
            if (name.empty() || name.size() > 31 || name.find_first_of(":\\/?*[]") != std::string::npos)
                throw AutomationError{"Der eingegebene Blattname ist ung\xFC"
                                      "ltig."};
            m_sheet->name = name;
        } else if (id == kName) {
            comdouble::SetText(result, m_sheet->name);
        } else if (id == kRange) {
            std::string first = args.empty() ? std::string() : comdouble::TextOf(args[0]);
            std::string second =
                args.size() < 2 || comdouble::IsMissing(args[1]) ? first : comdouble::TextOf(args[1]);
            if (!IsCellName(first) || !IsCellName(second))
                throw AutomationError{"Der Bezug " + first +
                                      " ist ung\xFC"
                                      "ltig."};
            comdouble::SetObject(result, new Range(m_sheet, first));
        }
    }

  private:
    std::shared_ptr<Sheet> m_sheet;
};

class Worksheets : public Object {
  public:
    explicit Worksheets(std::shared_ptr<Book> book)
        : Object("Worksheets", kWorksheetsMembers, std::size(kWorksheetsMembers)), m_book(std::move(book)) {}
    void Call(DISPID, WORD, std::vector<VARIANT>& args, VARIANT* result) override {
        if (args.empty()) throw AutomationError{"Kein Blatt angegeben."};
        const VARIANT& index = args[0];
        if (index.vt == VT_BSTR) {
            std::string name = comdouble::TextOf(index);
            for (const auto& sheet : m_book->sheets)
                if (SameText(sheet->name, name)) return comdouble::SetObject(result, new Worksheet(sheet));
            throw AutomationError{"Das Blatt " + name + " gibt es in " + m_book->name + " nicht."};
        }
        long n = std::atol(comdouble::TextOf(index).c_str());
        if (n < 1 || n > static_cast<long>(m_book->sheets.size()))
            throw AutomationError{"Index au\xDF"
                                  "erhalb des Bereichs."};
        comdouble::SetObject(result, new Worksheet(m_book->sheets[static_cast<size_t>(n - 1)]));
    }

  private:
    std::shared_ptr<Book> m_book;
};

// The application's open workbooks.
std::vector<std::shared_ptr<Book>> g_books;
int g_newBooks = 0;

class Workbook : public Object {
  public:
    explicit Workbook(std::shared_ptr<Book> book)
        : Object("Workbook", kWorkbook, std::size(kWorkbook)), m_book(std::move(book)) {}
    std::string LogName() const override { return "Workbook[" + m_book->name + "]"; }
    void Call(DISPID id, WORD, std::vector<VARIANT>& args, VARIANT* result) override {
        switch (id) {
        case kActiveSheet: comdouble::SetObject(result, new Worksheet(m_book->sheets.front())); break;
        case kWorksheets: comdouble::SetObject(result, new Worksheets(m_book)); break;
        case kName: comdouble::SetText(result, m_book->name); break;
        case kSave:
            if (m_book->path.empty()) throw AutomationError{"Die Mappe hat noch keinen Dateinamen."};
            Write(*m_book, m_book->path);
            break;
        case kSaveAs:
        case kSaveCopyAs: {
            std::string path = args.empty() ? std::string() : comdouble::TextOf(args[0]);
            if (path.empty()) throw AutomationError{"Kein Dateiname angegeben."};
            Write(*m_book, path);
            if (id == kSaveAs) {
                m_book->path = path;
                m_book->name = FileName(path);
            }
            break;
        }
        case kClose:
            if (!args.empty() && !comdouble::IsMissing(args[0]) && comdouble::BoolOf(args[0]))
                Write(*m_book, m_book->path);
            g_books.erase(std::remove(g_books.begin(), g_books.end(), m_book), g_books.end());
            break;
        default: break;
        }
    }

  private:
    std::shared_ptr<Book> m_book;
};

class Workbooks : public Object {
  public:
    Workbooks() : Object("Workbooks", kWorkbooksMembers, std::size(kWorkbooksMembers)) {}
    void Call(DISPID id, WORD, std::vector<VARIANT>& args, VARIANT* result) override {
        std::shared_ptr<Book> book;
        if (id == kAdd) {
            book = std::make_shared<Book>();
            book->name = "Mappe" + std::to_string(++g_newBooks);
            book->sheets.push_back(std::make_shared<Sheet>(Sheet{"Tabelle1", {}}));
        } else {
            book = Read(args.empty() ? std::string() : comdouble::TextOf(args[0]));
        }
        g_books.push_back(book);
        comdouble::SetObject(result, new Workbook(book));
    }
};

class Application : public Object {
  public:
    Application() : Object("Application", kApplication, std::size(kApplication)) {}
    void Call(DISPID id, WORD, std::vector<VARIANT>& args, VARIANT* result) override {
        switch (id) {
        case kWorkbooks: comdouble::SetObject(result, new Workbooks); break;
        case kQuit: comdouble::SetQuit(); break;
        case kVisible:
            m_visible = !args.empty() && comdouble::BoolOf(args.back());
            comdouble::SetKept(m_visible || m_userControl);
            break;
        case kUserControl:
            m_userControl = !args.empty() && comdouble::BoolOf(args.back());
            comdouble::SetKept(m_visible || m_userControl);
            break;
        default: break;
        }
    }

  private:
    bool m_visible = false;
    bool m_userControl = false;
};

// {5D1F3C20-7B6A-4E8D-9A41-0C2E6B7F8A01}, ...08, ...05
constexpr CLSID Clsid(unsigned char last) {
    return {0x5d1f3c20, 0x7b6a, 0x4e8d, {0x9a, 0x41, 0x0c, 0x2e, 0x6b, 0x7f, 0x8a, last}};
}

} // namespace

int main() {
    const std::vector<comdouble::ServerClass> classes = {
        {"Excel.Application", Clsid(0x01)},
        {"Excel.Application.8", Clsid(0x08)},
        {"Excel.Application.5", Clsid(0x05)},
    };
    return comdouble::RunServer(classes, [](const std::string&) -> Object* { return new Application; });
}

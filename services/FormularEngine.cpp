#include "services/FormularEngine.h"
#include "common/TextChars.h"
#include "services/FolderPath.h"

#include "services/FormularLines.h"
#include "services/FormularWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <share.h>
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace vorlan::formular {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The template file through a buffer of 64 KB.
class FileSource : public IByteSource {
  public:
    explicit FileSource(std::FILE* file) : m_file(file), m_buffer(65536) {}
    int Get() override {
        if (m_at == m_size) {
            m_size = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
            m_at = 0;
            if (m_size == 0) return -1;
        }
        return static_cast<unsigned char>(m_buffer[m_at++]);
    }

  private:
    std::FILE* m_file;
    std::vector<char> m_buffer;
    size_t m_size = 0, m_at = 0;
};

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool EqualNoCase(const std::string& a, const std::string& b) {
    return vorlan::TextEqualsNoCase(a, b);
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && EqualNoCase(text.substr(text.size() - end.size()), end);
}

bool MatchesTemplate(const std::string& name, const std::string& prefix) {
    // "<prefix>?_*.rtf"
    if (name.size() < prefix.size() + 2 + 4) return false;
    if (!EqualNoCase(name.substr(0, prefix.size()), prefix)) return false;
    if (name[prefix.size() + 1] != '_') return false;
    return EndsWithNoCase(name, ".rtf");
}

std::string Trimmed(const std::string& value) {
    size_t begin = value.find_first_not_of(' ');
    if (begin == std::string::npos) return std::string();
    size_t end = value.find_last_not_of(' ');
    return value.substr(begin, end - begin + 1);
}

std::FILE* OpenOutput(const std::string& path) {
#ifdef _WIN32
    // Nobody reads a document that is still being written.
    return ::_fsopen(path.c_str(), "wb", _SH_DENYRD);
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

constexpr size_t kMaxValueChars = 1 << 20;

} // namespace

std::vector<std::string> ListTemplates(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((WithSeparator(folder) + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                MatchesTemplate(data.cFileName, prefix))
                names.push_back(data.cFileName);
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
#else
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (dirent* entry = ::readdir(dir))
            if (MatchesTemplate(entry->d_name, prefix)) names.push_back(entry->d_name);
        ::closedir(dir);
    }
#endif
    std::sort(names.begin(), names.end());
    return names;
}

std::string WithSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
    return folder + kSeparator;
}

// The output document through a buffer of 64 KB.
class FormularEngine::Output {
  public:
    Output() { m_buffer.reserve(65536); }
    ~Output() { Close(); }
    bool Open(const std::string& path) {
        Close();
        m_file.reset(OpenOutput(path));
        m_failed = false;
        return m_file != nullptr;
    }
    bool IsOpen() const { return m_file != nullptr; }
    void Put(const std::string& text) {
        for (char c : text) {
            m_buffer.push_back(c);
            if (m_buffer.size() == 65536) Flush();
        }
    }
    // False when the document could not be written in full.
    bool Close() {
        if (!m_file) return true;
        Flush();
        bool ok = !m_failed && std::fflush(m_file.get()) == 0;
        ok = std::fclose(m_file.release()) == 0 && ok;
        return ok;
    }
    bool started = false;

  private:
    void Flush() {
        if (!m_buffer.empty() &&
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file.get()) != m_buffer.size())
            m_failed = true;
        m_buffer.clear();
    }
    FilePtr m_file;
    std::string m_buffer;
    bool m_failed = false;
};

FormularEngine::FormularEngine(IFormularSession& session, IFontMeasurer& measurer, bool layoutOnly,
                               std::string filter)
    : m_session(session), m_layoutOnly(layoutOnly), m_filter(std::move(filter)), m_reader(measurer) {}

FormularEngine::~FormularEngine() = default;

int FormularEngine::Fail(int code, const std::string& file) {
    m_args.assign(1, file);
    return code;
}

int FormularEngine::Generate(const std::string& prefix, int mode, const std::string& path, bool onePerPart,
                             std::vector<std::string>& names) {
    m_args.clear();
    return mode == 1 ? Scan(path, prefix) : Merge(prefix, path, onePerPart, names);
}

int FormularEngine::Scan(const std::string& folder, const std::string& prefix) {
    std::string home = Exec(kHome);
    std::string module = Exec(kModule);
    std::vector<std::string> folders;
    std::string base = WithSeparator(folder);
    if (!home.empty() && !module.empty()) folders.push_back(base + home + kSeparator + module + kSeparator);
    if (!home.empty()) folders.push_back(base + home + kSeparator);
    if (!module.empty()) folders.push_back(base + module + kSeparator);
    folders.push_back(base);
    for (const std::string& candidate : folders) {
        bool found = false;
        int result = ScanFolder(candidate, prefix, found);
        if (found) m_folder = candidate;
        if (result != kNoTemplate) return result;
    }
    m_args = {folder, prefix, Exec(kLanguage), Exec(kVersion)};
    return kNoTemplate;
}

int FormularEngine::ScanFolder(const std::string& folder, const std::string& prefix, bool& found) {
    for (const std::string& name : ListTemplates(folder, prefix)) {
        std::string base = name.substr(0, name.find('.'));
        if (!m_filter.empty() && !EqualNoCase(base, m_filter)) continue;
        std::string path = folder + name;
        FilePtr file(std::fopen(path.c_str(), "rb"));
        if (!file) return Fail(kCannotOpen, path);
        found = true;
        Exec(SetPartLine(base));
        FileSource source(file.get());
        m_loaded.clear();
        int result = m_reader.Read(source);
        if (result != kOk) return Fail(result, path);
    }
    return found ? kOk : kNoTemplate;
}

std::string FormularEngine::Resolve(const std::string& path) const {
    return ResolveAgainst(m_folder, path);
}

int FormularEngine::Load(const std::string& file) {
    if (!m_loaded.empty() && m_loaded == file) return kOk;
    m_loaded.clear();
    std::string path = m_folder + file;
    FilePtr handle(std::fopen(path.c_str(), "rb"));
    if (!handle) return Fail(kCannotOpen, path);
    FileSource source(handle.get());
    ++m_templatesRead;
    int result = m_reader.Read(source);
    if (result != kOk) return Fail(result, path);
    m_loaded = file;
    return kOk;
}

std::string FormularEngine::PartOutputName(const std::string& path, int part) {
    if (!path.empty() && EndsWithNoCase(path, ".rtf"))
        return path.substr(0, path.size() - 4) + "_" + std::to_string(part) + ".rtf";
    std::string name;
    if (!path.empty()) {
        name = path + Exec(kPartName);
    } else {
        std::string folder = WithSeparator(Exec(kPartDir));
        folder = prepareFolder ? prepareFolder(folder) : Resolve(folder);
        name = folder + Exec(kPartName);
    }
    if (!EndsWithNoCase(name, ".rtf")) name += ".rtf";
    return Resolve(name);
}

int FormularEngine::Merge(const std::string& prefix, const std::string& given, bool onePerPart,
                          std::vector<std::string>& names) {
    names.clear();
    const std::string path = Resolve(given);
    Output out;
    if (!onePerPart) {
        if (!out.Open(path)) return Fail(kCannotCreate, path);
        names.push_back(path);
    }
    std::string current = path;
    auto failed = [&](int code) {
        out.Close();
        return code;
    };
    Exec(kResetPart);
    for (int part = 1;; ++part) {
        if (Exec(kNextPart).empty()) break;
        if (onePerPart) {
            current = PartOutputName(path, part);
            if (static_cast<int>(names.size()) >= kMaxOutputs) return failed(Fail(kNoMemory, current));
            if (!out.Open(current)) return Fail(kCannotCreate, current);
            out.started = false;
            names.push_back(current);
        }
        if (onPart) onPart(part);
        std::string file = prefix + Exec(kPartTemplate) + ".rtf";
        int result = Load(file);
        if (result == kCannotOpen) {
            // A part without a template of its own takes the form's default one.
            result = Load(prefix + "D_0.rtf");
            if (result == kCannotOpen) return failed(Fail(kCannotOpen, m_folder + file));
        }
        if (result != kOk) return failed(result);
        if (!out.started) {
            // Every page is a section of its own whose header and footer were chosen here; a
            // title-page flag, which each later section inherits, would make a reader choose
            // again and show first-page variants that no section has.
            std::string head =
                m_layoutOnly ? m_reader.Head() : WithoutControlWord(m_reader.Head(), "titlepg");
            if (head.empty()) return failed(Fail(kSyntax, m_folder + m_loaded));
            // The document's own group stays open for the parts that follow.
            out.Put(head[0] == '{' ? head.substr(0, head.size() - 1) : "{" + head);
            out.started = true;
        } else {
            out.Put("\\sbkpage\\sect ");
        }
        result = FillBody(out);
        if (result != kOk) return failed(Fail(result, m_folder + m_loaded));
        if (onePerPart) {
            out.Put("}");
            if (!out.Close()) return Fail(kCannotCreate, current);
        }
    }
    if (!onePerPart) {
        if (out.started) out.Put("}");
        if (!out.Close()) return Fail(kCannotCreate, current);
    }
    return kOk;
}

int FormularEngine::StoreFor(int request) const {
    if (m_reader.Sec(request).present) return request;
    // A header or footer that the template lacks in this variant takes the other one.
    int other = request ^ 1;
    return m_reader.Sec(other).present ? other : -1;
}

long long FormularEngine::Usable(int page, bool titleMode, long long base) const {
    const DocProps& d = m_reader.Doc();
    long long usable = base;
    int header = StoreFor(HeaderRequest(page, titleMode));
    if (header >= 0) {
        long long h = 0LL + m_reader.Sec(header).height + d.headery - d.margt;
        if (h > 0) usable -= h;
    }
    long long footer = 0;
    for (int s : {kFooter, kFooterFirst})
        if (m_reader.Sec(s).present) footer = std::max<long long>(footer, m_reader.Sec(s).height);
    if (m_reader.Sec(kFooter).present || m_reader.Sec(kFooterFirst).present) {
        long long f = footer + d.footery - d.margb;
        if (f > 0) usable -= f;
    }
    return usable;
}

int FormularEngine::FillBody(Output& out) {
    const DocProps& d = m_reader.Doc();
    const Section& body = m_reader.Sec(kBody);
    bool titleMode = !m_layoutOnly && d.titlepg && m_reader.PageBreaks() > 0;
    long long base = 0LL + d.paperh + std::atoll(Exec(kExtraHeight).c_str()) - d.margb - d.margt;
    std::vector<Line> lines;
    long long filled = 0;
    int page = 1;
    Exec(kResetLine);
    for (;;) {
        std::string x = Exec(NextLineLine(kBody));
        if (x.empty()) break;
        std::string y = Exec(LineCodeLine(kBody));
        int slot = SlotIndex(y);
        long long height = slot >= 0 && body.slots[slot].used ? body.slots[slot].Total() : 0;
        if (!m_layoutOnly) {
            if (!lines.empty() && filled + height > Usable(page, titleMode, base)) {
                WritePage(out, page, lines, false, titleMode);
                ++page;
                lines.clear();
                filled = 0;
                // The header and footer walks moved X: the body goes on after this line.
                Exec(RestoreLineLine(x));
            }
            if (height > Usable(page, titleMode, base)) return kLineTooTall;
        }
        if (static_cast<int>(lines.size()) >= kMaxLinesPerPage) return kNoMemory;
        lines.push_back({x, y, slot});
        filled += height;
    }
    WritePage(out, page, lines, true, titleMode);
    return kOk;
}

void FormularEngine::WritePage(Output& out, int page, const std::vector<Line>& lines, bool last,
                               bool titleMode) {
    std::string pageValue;
    if (!lines.empty()) pageValue = Exec(PageValueLine(kBody, lines.back().x, lines.back().y));
    if (page > 1) out.Put("\\sbkpage\\sect ");
    if (m_layoutOnly) {
        static const char* const kOpenings[] = {"{\\header ", "{\\headerf ", "{\\footer ", "{\\footerf "};
        for (int s = kHeader; s <= kFooterFirst; ++s)
            if (m_reader.Sec(s).present) WriteSection(out, s, s, kOpenings[s], page, pageValue);
    } else {
        int header = HeaderRequest(page, titleMode);
        int footer = last && titleMode ? kFooter : kFooterFirst;
        if (int store = StoreFor(header); store >= 0)
            WriteSection(out, header, store, "{\\header ", page, pageValue);
        if (int store = StoreFor(footer); store >= 0)
            WriteSection(out, footer, store, "{\\footer ", page, pageValue);
    }
    const Section& body = m_reader.Sec(kBody);
    std::string text;
    for (const Line& line : lines) {
        if (line.slot < 0 || !body.slots[line.slot].used) continue;
        text.clear();
        WriteLine(
            body.slots[line.slot].text,
            [&](const std::string& token) { return FieldValue(kBody, line, token, page, pageValue); }, text);
        out.Put(text);
    }
}

void FormularEngine::WriteSection(Output& out, int request, int store, const char* opening, int page,
                                  const std::string& pageValue) {
    const Section& section = m_reader.Sec(store);
    std::string text = opening;
    // The lead belongs to no data line: only the page's own values fill it.
    WriteLine(
        section.lead,
        [&](const std::string& token) -> std::optional<std::string> {
            if (token == "#0") return std::to_string(page);
            if (token == "#100") return pageValue;
            return std::nullopt;
        },
        text);
    out.Put(text);
    Exec(kResetLine);
    for (;;) {
        std::string x = Exec(NextLineLine(request));
        if (x.empty()) break;
        Line line{x, Exec(LineCodeLine(request)), 0};
        line.slot = SlotIndex(line.y);
        if (line.slot < 0 || !section.slots[line.slot].used) continue;
        text.clear();
        WriteLine(
            section.slots[line.slot].text,
            [&](const std::string& token) { return FieldValue(request, line, token, page, pageValue); },
            text);
        out.Put(text);
    }
    out.Put("}");
}

std::optional<std::string> FormularEngine::FieldValue(int section, const Line& line, const std::string& token,
                                                      int page, const std::string& pageValue) {
    if (token == "#0") return std::to_string(page);
    if (token == "#100") return pageValue;
    std::string defined = Exec(TokenDefinedLine(section, line.x, line.y, token));
    if (defined.size() == 2 && defined[0] == '1') {
        std::string value;
        Exec(kResetSub);
        for (;;) {
            if (Exec(TokenNextSubLine(section, line.x, line.y, token)).empty()) break;
            value += Exec(TokenSubValueLine(section, line.x, line.y, token));
            if (value.size() > kMaxValueChars) break;
        }
        return value;
    }
    return Trimmed(Exec(TokenValueLine(section, line.x, line.y, token)));
}

} // namespace vorlan::formular

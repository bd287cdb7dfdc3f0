#include "services/FormularGen.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/StatusDialog.h"
#include "resources/PrintIds.h"
#include "resources/ServiceIds.h"
#include "services/FormularLines.h"
#include "tools/FileDropTarget.h"

#include <map>

using namespace vorlan::formular;

namespace {

constexpr char kCaption[] = "VORLAN Formularagent";

// The message of each result code; 0 has none.
const UINT kMessages[] = {0,
                          IDS_FORMULAR_CANNOT_OPEN,
                          IDS_FORMULAR_SYNTAX,
                          IDS_FORMULAR_UNBALANCED,
                          IDS_FORMULAR_NO_MEMORY,
                          IDS_FORMULAR_BAD_RTF,
                          IDS_FORMULAR_BAD_TABLE,
                          IDS_FORMULAR_BAD_RTF,
                          IDS_FORMULAR_BAD_RTF,
                          IDS_FORMULAR_FONTS_FULL,
                          IDS_FORMULAR_LINE_TOO_TALL,
                          IDS_FORMULAR_NO_TEMPLATE,
                          IDS_FORMULAR_CANNOT_CREATE};

// A box under the generator's own caption, through the application object (test mode
// answers it); the program's caption is back afterwards.
int TitledMessageBox(const char* text, UINT type) {
    CWinApp* app = AfxGetApp();
    if (!app) return AfxMessageBox(text, type);
    CString saved = app->m_pszAppName;
    app->m_pszAppName = kCaption;
    int answer = app->CWinApp::DoMessageBox(text, type, 0);
    app->m_pszAppName = saved;
    return answer;
}

// An information context on the display, deleted on every way out.
class CInfoContext {
  public:
    CInfoContext() : m_hDC(::CreateICA("DISPLAY", nullptr, nullptr, nullptr)) {
        if (m_hDC) ::SetMapMode(m_hDC, MM_TEXT);
    }
    ~CInfoContext() {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
    CInfoContext(const CInfoContext&) = delete;
    CInfoContext& operator=(const CInfoContext&) = delete;
    HDC Get() const { return m_hDC; }

  private:
    HDC m_hDC;
};

} // namespace

class CFormularGen::CSessionLink : public IFormularSession {
  public:
    std::string Execute(const std::string& line) override { return TheSession().Execute(line).str(); }
};

// Ten pixels a half point: one logical unit of the display context is then one twip.
class CFormularGen::CDisplayMeasurer : public IFontMeasurer {
  public:
    int LineHeight(const std::string& face, int halfPoints) override {
        auto key = std::make_pair(face, halfPoints);
        auto known = m_heights.find(key);
        if (known != m_heights.end()) return known->second;
        int height = 0;
        if (m_ic.Get()) {
            LOGFONTA lf{};
            lf.lfHeight = -halfPoints * 10;
            lf.lfCharSet = DEFAULT_CHARSET;
            lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
            CFont font;
            if (font.CreateFontIndirect(lf)) {
                CSelectedObject selected(m_ic.Get(), font);
                TEXTMETRICA tm{};
                if (::GetTextMetricsA(m_ic.Get(), &tm)) height = tm.tmHeight + tm.tmExternalLeading;
            }
        }
        m_heights[key] = height;
        return height;
    }

  private:
    CInfoContext m_ic;
    std::map<std::pair<std::string, int>, int> m_heights;
};

CFormularGen::CFormularGen(CWnd* owner, int layoutOnly, const char* filter)
    : m_session(std::make_unique<CSessionLink>()), m_measurer(std::make_unique<CDisplayMeasurer>()),
      m_engine(
          std::make_unique<FormularEngine>(*m_session, *m_measurer, layoutOnly != 0, filter ? filter : "")) {
    vorlan::TraceFunction("CFormularGen::CFormularGen");
    m_status = std::make_unique<CStatusDialog>(IDD_PRINT_STATUS, owner ? owner->m_hWnd : nullptr);
    CString text;
    text.LoadString(IDS_FORMULAR_STARTING);
    ShowStatus(text);
    m_engine->onPart = [this](int part) {
        CString text;
        text.FormatId(IDS_FORMULAR_PART, part);
        ShowStatus(text);
    };
    m_engine->prepareFolder = [engine = m_engine.get()](const std::string& folder) {
        char translated[MAX_PATH];
        if (!CFileDropTarget::TranslateDirectory(folder.c_str(), translated)) return std::string();
        std::string resolved = engine->Resolve(translated);
        CFileDropTarget::MakeDirectory(resolved.c_str());
        return resolved;
    };
}

CFormularGen::~CFormularGen() {
    vorlan::TraceFunction("CFormularGen::~CFormularGen");
    // The job's form data lives exactly as long as the generator.
    m_session->Execute(kKillJob);
}

void CFormularGen::ShowStatus(const char* text) {
    m_status->SetText(IDC_PRINT_STATUS_TEXT, text);
}

int CFormularGen::MergeTemplates(const char* prefix, int mode, const char* path, int onePerPart,
                                 std::vector<std::string>& names) {
    vorlan::TraceFunction("CFormularGen::MergeTemplates");
    CWaitCursor wait;
    return m_engine->Generate(prefix ? prefix : "", mode, path ? path : "", onePerPart != 0, names);
}

int CFormularGen::Generate(const char* prefix, int mode, const char* path, int onePerPart,
                           std::vector<std::string>& names) {
    vorlan::TraceFunction("CFormularGen::Generate");
    int result = MergeTemplates(prefix, mode, path, onePerPart, names);
    if (result != kOk) {
        ShowMessage(result);
    } else if (mode == 0) {
        CString text;
        text.LoadString(IDS_FORMULAR_DONE);
        ShowStatus(text);
    }
    return result;
}

void CFormularGen::ShowMessage(int code) {
    if (code <= 0 || code >= static_cast<int>(sizeof kMessages / sizeof kMessages[0])) return;
    const std::vector<std::string>& args = m_engine->MessageArgs();
    auto arg = [&](size_t i) { return i < args.size() ? args[i].c_str() : ""; };
    CString text;
    text.FormatId(kMessages[code], arg(0), arg(1), arg(2), arg(3));
    vorlan::WriteProtocol("CFormularGen::Generate - %d: %s", vorlan::kLogNote, code, text.c_str());
    TitledMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

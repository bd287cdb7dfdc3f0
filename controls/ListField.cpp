#include "controls/ListField.h"

#include "app/ProtocolLog.h"
#include "controls/FormColours.h"
#include "framework/App.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstring>

using namespace listfield;

namespace {

// Runs the "SELECT" code once the tree has left its selection change.
constexpr UINT WM_LISTFIELD_SELECT = WM_APP + 0x124;

CListField::Executor& TheExecutor() {
    static CListField::Executor executor;
    return executor;
}

HIMAGELIST OwnStateImages(UINT bitmap) {
    HINSTANCE module = AfxGetApp() ? AfxGetApp()->ImageModule() : ::GetModuleHandleA(nullptr);
    return ImageList_LoadImageA(module, MAKEINTRESOURCEA(bitmap), 16, 0, CLR_DEFAULT, IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
}

bool ThemeActive() {
    return AfxGetApp() && AfxGetApp()->IsThemeActive();
}

} // namespace

void CListField::SetExecutor(Executor executor) {
    TheExecutor() = std::move(executor);
}

CListField::~CListField() {
    if (m_hStateImages) ImageList_Destroy(m_hStateImages);
}

std::string CListField::Run(const std::string& line) {
    return TheExecutor() ? TheExecutor()(line) : std::string();
}

bool CListField::Create(HWND parent, const RECT& rect, UINT id) {
    vorlan::TraceFunction("CListField::Create");
    RegisterWindowClass("VORLAN ListField", CS_DBLCLKS, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    bool themed = ThemeActive();
    DWORD style = WS_CHILD | WS_VISIBLE | (themed ? WS_BORDER : 0);
    DWORD exStyle = themed ? 0 : WS_EX_CLIENTEDGE;
    return CreateEx(exStyle, "VORLAN ListField", "", style, rect, parent, id);
}

void CListField::PostNcDestroy() {
    delete this;
}

LRESULT CListField::OnCreate() {
    CRect client = GetClientRect();
    if (!m_tree.Create(WS_VISIBLE | WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                           TVS_INFOTIP,
                       client, m_hWnd, kTreeId))
        return -1;
    m_hStateImages = AfxLoadImageList(kStateBitmap);
    if (!m_hStateImages) m_hStateImages = OwnStateImages(kStateBitmap);
    if (m_hStateImages) m_tree.SetImageList(m_hStateImages, TVSIL_STATE);
    return 0;
}

LRESULT CListField::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        vorlan::TraceFunction("CListField::WindowProc - WM_CREATE");
        if (OnCreate() < 0) return -1;
        break;
    case WM_SETTEXT:
        vorlan::TraceFunction("CListField::WindowProc - WM_SETTEXT");
        CWnd::WindowProc(msg, wParam, lParam);
        SetContent(reinterpret_cast<const char*>(lParam));
        return 1;
    case WM_SETFONT: m_tree.SendMessage(WM_SETFONT, wParam, lParam); return 0;
    case WM_SIZE:
        if (m_tree.m_hWnd) ::MoveWindow(m_tree.m_hWnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (reinterpret_cast<HWND>(wParam) != m_tree.m_hWnd && m_tree.m_hWnd) ::SetFocus(m_tree.m_hWnd);
        return 0;
    case WM_KEYDOWN: OnKeyDown(wParam, lParam); return 0;
    case WM_NCPAINT: OnNcPaint(wParam, lParam); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_LISTFIELD_SELECT: RunSelectCode(); return 0;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

void CListField::OnKeyDown(WPARAM key, LPARAM lParam) {
    bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (key == VK_TAB || (key == VK_RETURN && ctrl)) {
        ::SetFocus(m_hWnd);
        ::SendMessageA(::GetParent(m_hWnd), WM_KEYDOWN, key, lParam);
    }
}

void CListField::OnNcPaint(WPARAM wParam, LPARAM lParam) {
    CWnd::WindowProc(WM_NCPAINT, wParam, lParam);
    if (!ThemeActive()) return;
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc) return;
    RECT r = GetWindowRect();
    ::OffsetRect(&r, -r.left, -r.top);
    ::DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT);
    ::ReleaseDC(m_hWnd, dc);
}

// ---- content

HTREEITEM CListField::Insert(HTREEITEM parent, const std::string& text, const Look& look, unsigned param) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM | (look.button ? TVIF_CHILDREN : 0);
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.state = INDEXTOSTATEIMAGEMASK(look.image) | (look.bold ? TVIS_BOLD : 0);
    insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
    insert.item.lParam = static_cast<LPARAM>(param);
    insert.item.cChildren = look.button ? 1 : 0;
    HTREEITEM item = m_tree.InsertItem(insert);
    // Expanded once the children are in: the parent is marked now and opened by its caller.
    if (item && look.expanded) m_tree.SetItemState(item, TVIS_EXPANDED, TVIS_EXPANDED);
    return item;
}

void CListField::SetContent(const char* name) {
    vorlan::TraceFunction("CListField::SetContent");
    m_strName = name ? name : "";
    m_bLoading = true;
    m_tree.SendMessage(WM_SETREDRAW, FALSE);
    m_tree.DeleteAllItems();
    m_hTitle = nullptr;
    if (m_strName.empty()) {
        m_bLoading = false;
        m_tree.SendMessage(WM_SETREDRAW, TRUE);
        return;
    }
    m_bDynamic = Run(DynamicLine(m_strName)) == "1";
    uint32_t back = FormColour(Number(Run(BackColourLine(m_strName))));
    // The table's "none" is no colour the tree can paint (it would be black): -1 is its own.
    TreeView_SetBkColor(m_tree.m_hWnd,
                        back == kDefaultColour ? static_cast<COLORREF>(-1) : static_cast<COLORREF>(back));
    m_nFunctionKey = FunctionKey(Run(FunctionKeyLine(m_strName)));
    m_strSelect = Run(SelectCodeLine(m_strName));

    std::string title = Run(TitleLine(m_strName));
    if (!title.empty()) {
        Look look;
        look.bold = true;
        look.expanded = true;
        m_hTitle = Insert(nullptr, ParseRecord(title).text, look, 0);
    }
    Run(kFirstStart);
    for (int x = 1;; ++x) {
        std::string reply = Run(NextFirstLine(m_strName));
        if (reply.empty()) break;
        Record record = ParseRecord(reply);
        bool children = Run(FirstDefinedLine(m_strName)) != "1";
        Look look = FirstLevelLook(record.Value(), children, m_bDynamic);
        HTREEITEM item = Insert(m_hTitle, record.text, look, ItemParam(1, x, 0, record.Value()));
        if (!m_bDynamic && children && item) LoadSecondLevel(item, record, false);
    }
    if (m_hTitle) m_tree.Expand(m_hTitle, TVE_EXPAND);
    m_tree.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_tree.m_hWnd, nullptr, TRUE);
    m_bLoading = false;
}

void CListField::LoadSecondLevel(HTREEITEM first, const Record& firstRecord, bool dynamic) {
    int x = ParamX(static_cast<unsigned>(m_tree.GetItemData(first)));
    Run(kSecondStart);
    for (int y = 1;; ++y) {
        std::string reply = Run(NextSecondLine(m_strName));
        if (reply.empty()) break;
        Record record = ParseRecord(reply);
        Look look = dynamic ? DynamicSecondLevelLook(record, y, firstRecord.chosen)
                            : SecondLevelLook(record, y, firstRecord.chosen);
        std::string text = dynamic ? record.text : ShownText(record);
        HTREEITEM item = Insert(first, text, look, ItemParam(2, x, y, record.Value()));
        if (item) LoadThirdLevel(item, record, dynamic);
    }
    if (m_tree.GetItemState(first, TVIS_EXPANDED) & TVIS_EXPANDED) {
        m_tree.SetItemState(first, 0, TVIS_EXPANDED);
        m_tree.Expand(first, TVE_EXPAND);
    }
}

void CListField::LoadThirdLevel(HTREEITEM second, const Record& secondRecord, bool dynamic) {
    unsigned param = static_cast<unsigned>(m_tree.GetItemData(second));
    int x = ParamX(param);
    int y = Position(second);
    Run(kThirdStart);
    for (int z = 1;; ++z) {
        std::string reply = Run(NextThirdLine(m_strName));
        if (reply.empty()) break;
        Record record = ParseRecord(reply);
        Look look = dynamic ? DynamicThirdLevelLook(record, z, secondRecord) : ThirdLevelLook(record, z, secondRecord);
        Insert(second, dynamic ? record.text : ShownText(record), look, ItemParam(3, x, y, record.Value()));
    }
    if (m_tree.GetChildItem(second) && (m_tree.GetItemState(second, TVIS_EXPANDED) & TVIS_EXPANDED)) {
        m_tree.SetItemState(second, 0, TVIS_EXPANDED);
        m_tree.Expand(second, TVE_EXPAND);
    }
}

// ---- entries

int CListField::StateImage(HTREEITEM item) const {
    return static_cast<int>((m_tree.GetItemState(item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12);
}

void CListField::SetStateImage(HTREEITEM item, int image) {
    TreeView_SetItemState(m_tree.m_hWnd, item, INDEXTOSTATEIMAGEMASK(image), TVIS_STATEIMAGEMASK);
}

int CListField::Position(HTREEITEM item) const {
    HTREEITEM parent = m_tree.GetParentItem(item);
    HTREEITEM sibling = parent ? m_tree.GetChildItem(parent) : m_tree.GetRootItem();
    for (int position = 1; sibling; sibling = m_tree.GetNextSiblingItem(sibling), ++position)
        if (sibling == item) return position;
    return 0;
}

int CListField::Level(HTREEITEM item) const {
    if (!item || item == m_hTitle) return 0;
    int depth = 0;
    for (HTREEITEM i = item; i; i = m_tree.GetParentItem(i))
        ++depth;
    return m_hTitle ? depth - 1 : depth;
}

CListField::Place CListField::PlaceOf(HTREEITEM item) const {
    Place place;
    place.level = Level(item);
    if (place.level == 0) return place;
    unsigned param = static_cast<unsigned>(m_tree.GetItemData(item));
    place.x = ParamX(param);
    if (place.level == 2) place.y = Position(item);
    if (place.level == 3) {
        place.y = ParamY(param);
        place.z = Position(item);
    }
    return place;
}

std::string CListField::NodeOf(const Place& place) const {
    return EntryNode(m_strName, place.x, place.y, place.z);
}

void CListField::SetRadioChildrenActive(HTREEITEM item, bool active) {
    for (HTREEITEM child = m_tree.GetChildItem(item); child; child = m_tree.GetNextSiblingItem(child)) {
        int image = StateImage(child);
        if (active && (image == kInactiveOff || image == kInactiveOn)) SetStateImage(child, image - 2);
        if (!active && (image == kRadioOff || image == kRadioOn)) SetStateImage(child, image + 2);
    }
}

int CListField::ToggleState(HTREEITEM item) {
    vorlan::TraceFunction("CListField::ToggleState");
    if (!item) return 0;
    int image = StateImage(item);
    switch (image) {
    case kNone: return 0;
    case kInactiveOff:
    case kInactiveOn: {
        HTREEITEM parent = m_tree.GetParentItem(item);
        if (parent) ToggleState(parent);
        // A parent that could not be turned on leaves its group inactive.
        int now = StateImage(item);
        if (now == kInactiveOff || now == kInactiveOn) return 0;
        return ToggleState(item);
    }
    case kRadioOn: return 1;
    case kRadioOff: {
        HTREEITEM parent = m_tree.GetParentItem(item);
        HTREEITEM first = parent ? m_tree.GetChildItem(parent) : m_tree.GetRootItem();
        for (HTREEITEM sibling = first; sibling; sibling = m_tree.GetNextSiblingItem(sibling)) {
            int other = StateImage(sibling);
            if (sibling == item) SetStateImage(sibling, kRadioOn);
            else if (other == kRadioOn || other == kRadioOff) SetStateImage(sibling, kRadioOff);
        }
        Place place = PlaceOf(item);
        int position = Position(item);
        if (place.level == 3) Run(SetPieceLine(EntryNode(m_strName, place.x, place.y), 3, position));
        else Run(SetPieceLine(EntryNode(m_strName, place.x), 3, position));
        return 1;
    }
    case kUnchecked:
    case kChecked: {
        bool checked = image == kUnchecked;
        Place place = PlaceOf(item);
        if (place.level == 3) {
            HTREEITEM parent = m_tree.GetParentItem(item);
            if (parent && StateImage(parent) == kUnchecked) ToggleState(parent);
            SetStateImage(item, checked ? kChecked : kUnchecked);
            Run(SetPieceLine(NodeOf(place), 2, (checked ? 1 : 0) + 128));
            return 1;
        }
        SetStateImage(item, checked ? kChecked : kUnchecked);
        if (m_tree.GetChildItem(item)) {
            m_tree.Expand(item, checked ? TVE_EXPAND : TVE_COLLAPSE);
            SetRadioChildrenActive(item, checked);
        }
        Run(SetPieceLine(NodeOf(place), 2, checked ? 1 : 0));
        return 1;
    }
    default: return 0;
    }
}

// ---- notifications of the tree

LRESULT CListField::OnNotify(NMHDR* header) {
    if (!header || header->idFrom != kTreeId) return 0;
    switch (header->code) {
    case NM_CLICK: OnClick(); return 0;
    case NM_DBLCLK: OnDoubleClick(); return 1;
    case TVN_KEYDOWN: {
        WORD key = reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey;
        if (key != VK_SPACE && key != VK_RETURN) return 0;
        OnDoubleClick();
        return 1;
    }
    case NM_RCLICK: {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(m_tree.m_hWnd, &p);
        if (HTREEITEM hit = m_tree.HitTest(p)) m_tree.SelectItem(hit);
        return 0;
    }
    case NM_SETFOCUS: ReportSelection(false); return 0;
    case TVN_SELCHANGEDA: ReportSelection(true); return 0;
    case TVN_GETINFOTIPA: OnGetInfoTip(reinterpret_cast<NMTVGETINFOTIPA*>(header)); return 0;
    case TVN_ITEMEXPANDINGA: OnExpanding(reinterpret_cast<NMTREEVIEWA*>(header)); return 0;
    case TVN_BEGINLABELEDITA: return OnBeginLabelEdit(reinterpret_cast<NMTVDISPINFOA*>(header)) ? 0 : 1;
    case TVN_ENDLABELEDITA: return OnEndLabelEdit(reinterpret_cast<NMTVDISPINFOA*>(header)) ? 1 : 0;
    default: return 0;
    }
}

void CListField::OnClick() {
    POINT p;
    DWORD pos = ::GetMessagePos();
    p.x = static_cast<short>(LOWORD(pos));
    p.y = static_cast<short>(HIWORD(pos));
    ::ScreenToClient(m_tree.m_hWnd, &p);
    UINT flags = 0;
    HTREEITEM hit = m_tree.HitTest(p, &flags);
    if (hit && (flags & TVHT_ONITEMSTATEICON)) ToggleState(hit);
}

void CListField::OnDoubleClick() {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(m_tree.m_hWnd, &p);
    UINT flags = 0;
    HTREEITEM hit = m_tree.HitTest(p, &flags);
    if (hit) m_tree.Expand(hit, TVE_TOGGLE);
    if (hit && (flags & TVHT_ONITEMSTATEICON)) return;
    if (m_nFunctionKey) {
        ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, kFirstFunctionKeyCommand + m_nFunctionKey, 0);
        return;
    }
    ToggleState(m_tree.GetSelectedItem());
}

void CListField::ReportSelection(bool run) {
    if (m_bLoading || m_strName.empty()) return;
    HTREEITEM item = m_tree.GetSelectedItem();
    int x = 0, y = 0, position = 0;
    if (item && item != m_hTitle) {
        unsigned param = static_cast<unsigned>(m_tree.GetItemData(item));
        int level = Level(item);
        int image = StateImage(item);
        x = ParamX(param);
        y = level == 1 ? 0 : ParamY(param);
        if (image == kRadioOff || image == kRadioOn || level == 3) position = Position(item);
    }
    Run(SelectionLine(m_strName, x, y, position));
    // The form may rebuild this field: not while the tree is still inside its change.
    if (run && !m_strSelect.empty()) PostMessage(WM_LISTFIELD_SELECT);
}

void CListField::RunSelectCode() {
    vorlan::TraceFunction("CListField::RunSelectCode");
    if (m_strSelect.empty()) return;
    Run(SelectRunLine(m_strSelect));
    ::SendMessageA(::GetParent(m_hWnd), WM_TESTFOREVENT, 0, 0);
}

void CListField::OnGetInfoTip(NMTVGETINFOTIPA* tip) {
    if (!tip || !tip->pszText || tip->cchTextMax <= 0) return;
    Place place = PlaceOf(tip->hItem);
    tip->pszText[0] = 0;
    if (place.level == 0) return;
    std::string text = ParseRecord(Run(RecordLine(NodeOf(place)))).tip;
    size_t n = std::min(text.size(), static_cast<size_t>(tip->cchTextMax - 1));
    std::memcpy(tip->pszText, text.data(), n);
    tip->pszText[n] = 0;
}

void CListField::OnExpanding(NMTREEVIEWA* view) {
    if (!view || m_bLoading || !m_bDynamic || !(view->action & TVE_EXPAND)) return;
    HTREEITEM item = view->itemNew.hItem;
    if (!item || m_tree.GetChildItem(item) || Level(item) != 1) return;
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    Place place = PlaceOf(item);
    m_bLoading = true;
    Run(PositionLine(place.x, 0));
    Record record = ParseRecord(Run(CurrentFirstLine(m_strName)));
    LoadSecondLevel(item, record, true);
    m_bLoading = false;
    ::SetCursor(old);
}

bool CListField::OnBeginLabelEdit(NMTVDISPINFOA* info) {
    if (!info) return false;
    Place place = PlaceOf(info->item.hItem);
    if (place.level == 0) return false;
    m_strEditNode = NodeOf(place);
    Record record = ParseRecord(Run(RecordLine(m_strEditNode)));
    int image = StateImage(info->item.hItem);
    if (record.text.find('?') != std::string::npos) {
        if (HWND edit = TreeView_GetEditControl(m_tree.m_hWnd)) ::SetWindowTextA(edit, record.edited.c_str());
        if (image != kChecked) ToggleState(info->item.hItem);
        return true;
    }
    bool radio = image == kRadioOff || image == kRadioOn || image == kInactiveOff || image == kInactiveOn;
    int value = record.Value();
    if (radio && (value == 1 || value == 4)) {
        ToggleState(info->item.hItem);
        return true;
    }
    return false;
}

bool CListField::OnEndLabelEdit(NMTVDISPINFOA* info) {
    if (!info || !info->item.pszText || m_strEditNode.empty()) return false;
    std::string typed = info->item.pszText;
    std::string text = Run(TextLine(m_strEditNode));
    if (text.find('?') != std::string::npos) {
        std::string shown = SplicedText(text, KeptLabelText(typed));
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = info->item.hItem;
        item.pszText = const_cast<char*>(shown.c_str());
        TreeView_SetItem(m_tree.m_hWnd, &item);
        Run(EditedTextLine(m_strEditNode, typed));
        return false;
    }
    Run(LabelTextLine(m_strEditNode, typed));
    if (KeptLabelText(typed) != typed) {
        // The tree shows the text as it was kept.
        std::string kept = KeptLabelText(typed);
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = info->item.hItem;
        item.pszText = const_cast<char*>(kept.c_str());
        TreeView_SetItem(m_tree.m_hWnd, &item);
        return false;
    }
    return true;
}

// ---- the tree

LRESULT CListFieldTree::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && OnKeyDown(wParam, lParam)) return 0;
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    return CTreeCtrl::WindowProc(msg, wParam, lParam);
}

bool CListFieldTree::OnKeyDown(WPARAM key, LPARAM lParam) {
    bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    HWND field = ::GetParent(m_hWnd);
    if (key == VK_TAB || (key == VK_RETURN && ctrl)) {
        ::SendMessageA(field, WM_KEYDOWN, key, lParam);
        return true;
    }
    bool typed = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
    if (!typed || ctrl) return false;
    HTREEITEM selected = GetSelectedItem();
    if (!selected) return false;
    HWND edit = TreeView_EditLabel(m_hWnd, selected);
    if (!edit) return true;
    // The key adds to the text the editor starts with.
    int length = ::GetWindowTextLengthA(edit);
    ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(length), length);
    ::PostMessageA(edit, WM_KEYDOWN, key, lParam);
    return true;
}

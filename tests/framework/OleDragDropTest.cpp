#include "framework/Clipboard.h"
#include "framework/OleDragDrop.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

HGLOBAL Block(const std::string& bytes) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(h), bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    return h;
}

std::string Read(HGLOBAL h) {
    std::string s(static_cast<const char*>(::GlobalLock(h)), ::GlobalSize(h));
    ::GlobalUnlock(h);
    return s;
}

struct Target : COleDropTarget {
    std::vector<std::string> calls;
    DROPEFFECT answer = DROPEFFECT_MOVE;
    bool accept = false;
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint p) override {
        calls.push_back("enter " + std::to_string(p.x) + "," + std::to_string(p.y));
        return answer;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint p) override {
        calls.push_back("over " + std::to_string(p.x) + "," + std::to_string(p.y));
        return answer;
    }
    bool OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint) override {
        calls.push_back("drop " + std::to_string(effect) + " " +
                        (data->IsDataAvailable(CF_TEXT) ? "text" : "none"));
        return accept;
    }
    void OnDragLeave(CWnd*) override { calls.push_back("leave"); }
};

} // namespace

TEST(OleDragDrop, DataSourceHandsOutCopiesOfWhatItOwns) {
    ASSERT_TRUE(AfxOleInit());
    COleDataSource source;
    ASSERT_TRUE(source.CacheGlobalData(CF_TEXT, Block("first")));
    ASSERT_TRUE(source.CacheGlobalData(CF_TEXT, Block("second"))) << "a format offered again replaces";
    EXPECT_FALSE(source.CacheGlobalData(CF_TEXT, nullptr));

    COleDataObject data;
    source.GetInterface()->AddRef();
    data.Attach(source.GetInterface());
    EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
    EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
    HGLOBAL a = data.GetGlobalData(CF_TEXT);
    HGLOBAL b = data.GetGlobalData(CF_TEXT);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b) << "each reader frees its own copy";
    EXPECT_EQ(Read(a), "second");
    ::GlobalFree(a);
    ::GlobalFree(b);
    EXPECT_EQ(data.GetGlobalData(CF_BITMAP), nullptr);

    FORMATETC fe{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    EXPECT_EQ(source.GetInterface()->QueryGetData(&fe), DV_E_TYMED);
    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(source.GetInterface()->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC got{};
    ULONG n = 0;
    EXPECT_EQ(formats->Next(1, &got, &n), S_OK);
    EXPECT_EQ(got.cfFormat, CF_TEXT);
    EXPECT_EQ(formats->Next(1, &got, &n), S_FALSE);
    formats->Release();
}

TEST(OleDragDrop, DropTargetSpeaksClientCoordinatesAndCleansUpARefusedDrop) {
    ASSERT_TRUE(AfxOleInit());
    ASSERT_TRUE(CWnd::RegisterWindowClass("FwTest.Ole", 0, nullptr, nullptr, nullptr));
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, "FwTest.Ole", "", WS_POPUP | WS_VISIBLE, CRect(100, 50, 300, 250), nullptr, 0));
    Target target;
    ASSERT_TRUE(target.Register(&wnd));
    EXPECT_FALSE(target.Register(&wnd)) << "once";

    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, Block("x"));
    POINT origin{0, 0};
    ::ClientToScreen(wnd, &origin);
    IDropTarget* drop = target.GetInterface();
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(drop->DragEnter(source.GetInterface(), 0, POINTL{origin.x + 5, origin.y + 7}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY;
    drop->DragOver(0, POINTL{origin.x + 6, origin.y + 8}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "only what the source allows";
    effect = DROPEFFECT_MOVE;
    drop->Drop(source.GetInterface(), 0, POINTL{origin.x + 6, origin.y + 8}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"enter 5,7", "over 6,8", "over 6,8", "drop 2 text", "leave"}));

    target.calls.clear();
    target.accept = true;
    effect = DROPEFFECT_MOVE;
    drop->Drop(source.GetInterface(), 0, POINTL{origin.x, origin.y}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"over 0,0", "drop 2 text"}));
    target.Revoke();
    wnd.DestroyWindow();
}

namespace {
DROPEFFECT g_loopAllowed = 0;
COleDropSource* g_loopSource = nullptr;
DROPEFFECT FakeLoop(IDataObject* data, COleDropSource* source, DROPEFFECT allowed) {
    g_loopAllowed = allowed;
    g_loopSource = source;
    FORMATETC fe{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&fe) == S_OK ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}
} // namespace

TEST(OleDragDrop, DragLoopSeamReplacesTheSystemLoopUntilPutBack) {
    ASSERT_TRUE(AfxOleInit());
    fw::DragLoop previous = fw::SetDragLoop(&FakeLoop);
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, Block("x"));
    COleDropSource mine;
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &mine),
              static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(g_loopAllowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE));
    EXPECT_EQ(g_loopSource, &mine);
    source.DoDragDrop(DROPEFFECT_MOVE);
    EXPECT_NE(g_loopSource, nullptr) << "a plain source stands in when none is given";
    EXPECT_EQ(fw::SetDragLoop(previous), &FakeLoop);
}

TEST(OleDragDrop, InProcessDropCarriesTheModifierKeys) {
    ASSERT_TRUE(AfxOleInit());
    ASSERT_TRUE(CWnd::RegisterWindowClass("FwTest.Ole2", 0, nullptr, nullptr, nullptr));
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, "FwTest.Ole2", "", WS_POPUP | WS_VISIBLE, CRect(10, 10, 110, 110), nullptr, 0));
    struct KeyTarget : COleDropTarget {
        std::vector<DWORD> keys;
        DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD k, CPoint) override {
            keys.push_back(k);
            return DROPEFFECT_COPY;
        }
        DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD k, CPoint) override {
            keys.push_back(k);
            return (k & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
        }
        bool OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) override { return true; }
    } target;
    ASSERT_TRUE(target.Register(&wnd));
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, Block("x"));
    POINT at{20, 20};
    EXPECT_EQ(
        fw::DropInProcess(target, source.GetInterface(), at, DROPEFFECT_COPY | DROPEFFECT_MOVE, MK_CONTROL),
        static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_EQ(target.keys.size(), 3u);
    for (DWORD k : target.keys)
        EXPECT_TRUE(k & MK_CONTROL);
    EXPECT_EQ(fw::DropInProcess(target, source.GetInterface(), at, DROPEFFECT_COPY | DROPEFFECT_MOVE),
              static_cast<DWORD>(DROPEFFECT_MOVE));
    target.Revoke();
    wnd.DestroyWindow();
}

TEST(OleDragDrop, OleClipboardRoundTripAndMetafileTakeOver) {
    ASSERT_TRUE(AfxOleInit());
    const CLIPFORMAT format = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("FwTest.Token"));
    {
        COleDataSource source;
        source.CacheGlobalData(format, Block("TOKEN"));
        ASSERT_TRUE(source.SetClipboard());
    } // the clipboard keeps the object alive
    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    ASSERT_TRUE(data.IsDataAvailable(format));
    HGLOBAL block = data.GetGlobalData(format);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(Read(block), "TOKEN");
    ::GlobalFree(block);
    data.Release();
    ::OleSetClipboard(nullptr);

    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ::PatBlt(dc, 0, 0, 10, 10, BLACKNESS);
    HENHMETAFILE picture = ::CloseEnhMetaFile(dc);
    ASSERT_TRUE(fw::SetClipboardEnhMetaFile(nullptr, picture));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_NE(::GetClipboardData(CF_ENHMETAFILE), nullptr);
    EXPECT_EQ(::GetClipboardData(CF_TEXT), nullptr) << "the clipboard was emptied first";
    ::CloseClipboard();
    EXPECT_FALSE(fw::SetClipboardEnhMetaFile(nullptr, nullptr));
}

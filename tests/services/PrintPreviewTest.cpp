// The print preview driving a recording page painter, printing onto the CUPS fixture's queue.
#include "framework/App.h"
#include "framework/TestMode.h"
#include "resources/PrintIds.h"
#include "services/PrintPreview.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PreviewSteps.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Painter {
    int pages = 6;
    std::vector<int> codes;
    std::vector<int> drawnPages; // code 3 on the printer
    int userSeen = 0;
    bool drawnInPreview = false;

    static int Paint(int code, CDC* dc, CPrintInfo* info, void* user) {
        auto* self = static_cast<Painter*>(user);
        self->codes.push_back(code);
        if (code == kPagePrinterReady) {
            self->userSeen = *static_cast<int*>(info->m_lpUserData);
            info->SetMinPage(1);
            info->SetMaxPage(static_cast<UINT>(self->pages));
        } else if (code == kPageDraw) {
            char text[32];
            int n = std::snprintf(text, sizeof text, "Probe %u", info->m_nCurPage);
            ::TextOutA(*dc, info->m_rectDraw.left + 100, info->m_rectDraw.top + 100, text, n);
            if (info->m_bPreview)
                self->drawnInPreview = true;
            else
                self->drawnPages.push_back(static_cast<int>(info->m_nCurPage));
        }
        return 1;
    }
};

class PrintPreviewTest : public ::testing::Test {
  protected:
    CWinApp app{"PreviewTest"};
    harness::LanguageLibrary language;
    CWnd owner;

    void SetUp() override {
        fw::TestMode::Enable("", "PrintPreviewTest");
        ASSERT_NE(language.Handle(), nullptr);
        ASSERT_TRUE(owner.CreateEx(0, "STATIC", "Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   CRect(0, 0, 800, 600), nullptr, 0));
        app.m_pMainWnd = &owner;
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        owner.DestroyWindow();
        fw::TestMode::Disable();
    }

    int Run(Painter& painter, std::vector<harness::PreviewSteps::Step> steps) {
        harness::PreviewSteps run(std::move(steps));
        CPrintPreview preview(&owner, &Painter::Paint, &painter);
        int result = preview.DoModal();
        EXPECT_TRUE(run.AllRan()) << "every step ran before the preview ended";
        return result;
    }
};

HWND Tool(HWND preview) {
    return harness::FindDescendant(preview, TOOLBARCLASSNAMEA);
}

bool Enabled(HWND preview, UINT id) {
    return ::SendMessageA(Tool(preview), TB_ISBUTTONENABLED, id, 0) != 0;
}

CPrintPreview* Object(HWND preview) {
    return static_cast<CPrintPreview*>(CWnd::FromHandlePermanent(preview));
}

void Command(HWND preview, UINT id) {
    ::SendMessageA(preview, WM_COMMAND, id, 0);
}

void TypeInto(HWND preview, UINT editId, const char* text) {
    ::SetWindowTextA(::GetDlgItem(Tool(preview), static_cast<int>(editId)), text);
    ::SendMessageA(preview, WM_PREVIEW_PAGE, 0, 0);
}

} // namespace

TEST_F(PrintPreviewTest, SinglePageLeavesThePageButtonsOffAndZoomStopsAtItsLimits) {
    Painter painter;
    painter.pages = 1;
    struct Seen {
        bool pageButtons = true;
        bool zoomInAt1000 = true, zoomOutAt5 = true;
        int zoomUp = 0, zoomDown = 0;
        std::string title;
    } seen;
    int result =
        Run(painter,
            {
                [&](HWND p) {
                    seen.title = fw::WindowText(p);
                    seen.pageButtons = Enabled(p, ID_PREVIEW_FIRST) || Enabled(p, ID_PREVIEW_PREVIOUS) ||
                                       Enabled(p, ID_PREVIEW_NEXT) || Enabled(p, ID_PREVIEW_LAST);
                    char folder[MAX_PATH];
                    if (::GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) {
                        // Drawn now, not when the loop gets round to it.
                        ::RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                        ::CreateDirectoryA(folder, nullptr);
                        harness::SaveScreen(std::string(folder) + "\\preview.bmp");
                    }
                },
                [&](HWND p) {
                    ::SendMessageA(p, WM_PREVIEW_ZOOM, 990, 0);
                    Command(p, ID_PREVIEW_ZOOM_IN);
                    seen.zoomUp = Object(p)->Frame().EffectiveZoom();
                    seen.zoomInAt1000 = Enabled(p, ID_PREVIEW_ZOOM_IN);
                },
                [&](HWND p) {
                    ::SendMessageA(p, WM_PREVIEW_ZOOM, 20, 0);
                    Command(p, ID_PREVIEW_ZOOM_OUT);
                    seen.zoomDown = Object(p)->Frame().EffectiveZoom();
                    seen.zoomOutAt5 = Enabled(p, ID_PREVIEW_ZOOM_OUT);
                },
                [&](HWND p) { Command(p, ID_PREVIEW_CLOSE); },
            });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(seen.title, "Druckvorschau");
    EXPECT_FALSE(seen.pageButtons);
    EXPECT_EQ(seen.zoomUp, 1000);
    EXPECT_FALSE(seen.zoomInAt1000);
    EXPECT_EQ(seen.zoomDown, 5);
    EXPECT_FALSE(seen.zoomOutAt5);
    EXPECT_TRUE(painter.drawnInPreview);
    ASSERT_GE(painter.codes.size(), 2u);
    EXPECT_EQ(painter.codes.front(), kPagePrinterReady);
    EXPECT_EQ(painter.codes.back(), kPagePrinterGone);
    EXPECT_FALSE(::IsWindow(::FindWindowA("PrintPreview", nullptr)));
    EXPECT_TRUE(::IsWindowEnabled(owner)) << "the owner is given back its input";
}

TEST_F(PrintPreviewTest, TypedPageAndUserValueAreClampedAndAChangedValueRestartsThePainter) {
    Painter painter;
    struct Seen {
        int lastPage = 0, page0 = 0;
        int user0 = 0, user120 = 0;
        bool nextAtEnd = true, firstAtEnd = false;
        size_t codesBefore = 0;
        std::vector<int> restart;
    } seen;
    Run(painter, {
                     [&](HWND p) {
                         TypeInto(p, ID_PREVIEW_PAGE_EDIT, "17");
                         seen.lastPage = Object(p)->CurrentPage();
                         seen.nextAtEnd = Enabled(p, ID_PREVIEW_NEXT) || Enabled(p, ID_PREVIEW_LAST);
                         seen.firstAtEnd = Enabled(p, ID_PREVIEW_FIRST) && Enabled(p, ID_PREVIEW_PREVIOUS);
                         TypeInto(p, ID_PREVIEW_PAGE_EDIT, "0");
                         seen.page0 = Object(p)->CurrentPage();
                     },
                     [&](HWND p) {
                         seen.codesBefore = painter.codes.size();
                         TypeInto(p, ID_PREVIEW_USER_EDIT, "0");
                         seen.user0 = Object(p)->UserValue();
                         TypeInto(p, ID_PREVIEW_USER_EDIT, "120");
                         seen.user120 = Object(p)->UserValue();
                         for (size_t i = seen.codesBefore; i < painter.codes.size(); ++i)
                             if (painter.codes[i] != kPageDraw) seen.restart.push_back(painter.codes[i]);
                     },
                     [&](HWND p) { ::PostMessageA(p, WM_CLOSE, 0, 0); },
                 });
    EXPECT_EQ(seen.lastPage, 6) << "a page beyond the last shows the last";
    EXPECT_FALSE(seen.nextAtEnd);
    EXPECT_TRUE(seen.firstAtEnd);
    EXPECT_EQ(seen.page0, 1);
    EXPECT_EQ(seen.user0, 1) << "0 was typed; the value was 1 already, so nothing restarts";
    EXPECT_EQ(seen.user120, 99);
    EXPECT_EQ(seen.restart, (std::vector<int>{kPagePrinterGone, kPagePrinterReady}));
    EXPECT_EQ(painter.userSeen, 99) << "the painter reads the user value at code 1";
}

TEST_F(PrintPreviewTest, PrintingARangeSendsThosePagesToThePrinterAndEndsThePreview) {
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default pages:2-3");
    Painter painter;
    int result = Run(painter, {[&](HWND p) { Command(p, ID_PREVIEW_PRINT); }});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(painter.drawnPages, (std::vector<int>{2, 3}));
    std::vector<std::string> pages = harness::PrintedPages(60000);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].find("Probe 2"), std::string::npos) << pages[0];
    EXPECT_NE(pages[1].find("Probe 3"), std::string::npos) << pages[1];
}

TEST_F(PrintPreviewTest, CancelledPrintDialogChangesNothing) {
    Painter painter;
    int result = Run(painter, {
                                  [&](HWND p) { Command(p, ID_PREVIEW_PRINT); },
                                  [&](HWND p) { Command(p, ID_PREVIEW_PRINTER); },
                                  [&](HWND p) { Command(p, ID_PREVIEW_CLOSE); },
                              });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(painter.drawnPages.empty());
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, "print");
    EXPECT_EQ(shown[0].answer, IDCANCEL);
    EXPECT_EQ(shown[1].kind, "printsetup");
}

TEST_F(PrintPreviewTest, EnterTakesATypedZoomOrTheTypedPage) {
    Painter painter;
    struct Seen {
        int zoom150 = 0, afterText = 0, page = 0;
        std::string shownAfterLeaving;
    } seen;
    auto comboEdit = [](HWND p) {
        HWND combo = ::FindWindowExA(Tool(p), nullptr, "ComboBox", nullptr);
        return ::FindWindowExA(combo, nullptr, "Edit", nullptr);
    };
    auto type = [](HWND edit, const char* text) {
        ::SetFocus(edit);
        ::SetWindowTextA(edit, text);
        ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    };
    Run(painter, {
                     [&](HWND p) { type(comboEdit(p), "150"); },
                     [&](HWND p) {
                         seen.zoom150 = Object(p)->Frame().EffectiveZoom();
                         type(comboEdit(p), "viel");
                     },
                     [&](HWND p) {
                         seen.afterText = Object(p)->Frame().EffectiveZoom();
                         type(::GetDlgItem(Tool(p), ID_PREVIEW_PAGE_EDIT), "3");
                     },
                     [&](HWND p) {
                         seen.page = Object(p)->CurrentPage();
                         seen.shownAfterLeaving = fw::WindowText(comboEdit(p));
                     },
                     [&](HWND p) { Command(p, ID_PREVIEW_CLOSE); },
                 });
    EXPECT_EQ(seen.zoom150, 150);
    EXPECT_EQ(seen.afterText, 150) << "text that is no zoom is ignored";
    EXPECT_EQ(seen.page, 3);
    EXPECT_EQ(seen.shownAfterLeaving, "150%") << "leaving the box shows the zoom in use";
}

TEST_F(PrintPreviewTest, KeysScrollALargePageAndClicksZoomInAndOut) {
    Painter painter;
    struct Seen {
        int homeTop = 0, pageDownTop = 0, endBottom = 0, clientHeight = 0, afterHome = 0;
        int clickedIn = 0, clickedOut = 0;
    } seen;
    auto frame = [](HWND p) { return ::FindWindowExA(p, nullptr, "PrintPreviewFrame", nullptr); };
    auto pageRect = [&](HWND p) {
        HWND f = frame(p);
        RECT r{};
        ::GetWindowRect(::FindWindowExA(f, nullptr, "PrintPreviewPage", nullptr), &r);
        ::MapWindowPoints(nullptr, f, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    Run(painter, {
                     [&](HWND p) {
                         ::SendMessageA(p, WM_PREVIEW_ZOOM, 500, 0);
                         RECT client{};
                         ::GetClientRect(frame(p), &client);
                         seen.clientHeight = client.bottom;
                         seen.homeTop = pageRect(p).top;
                         ::SendMessageA(frame(p), WM_KEYDOWN, VK_NEXT, 0);
                         seen.pageDownTop = pageRect(p).top;
                         ::SendMessageA(frame(p), WM_KEYDOWN, VK_END, 0);
                         seen.endBottom = pageRect(p).bottom;
                         ::SendMessageA(frame(p), WM_KEYDOWN, VK_HOME, 0);
                         seen.afterHome = pageRect(p).top;
                         HWND page = ::FindWindowExA(frame(p), nullptr, "PrintPreviewPage", nullptr);
                         ::SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
                     },
                     [&](HWND p) {
                         seen.clickedIn = Object(p)->Frame().EffectiveZoom();
                         HWND page = ::FindWindowExA(frame(p), nullptr, "PrintPreviewPage", nullptr);
                         ::SendMessageA(page, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
                     },
                     [&](HWND p) {
                         seen.clickedOut = Object(p)->Frame().EffectiveZoom();
                         Command(p, ID_PREVIEW_CLOSE);
                     },
                 });
    EXPECT_EQ(seen.homeTop, 16) << "a page larger than the client starts 16 pixels in";
    EXPECT_EQ(seen.pageDownTop, 16 - seen.clientHeight);
    EXPECT_EQ(seen.endBottom, seen.clientHeight - 16) << "at the end 16 pixels stay below the page";
    EXPECT_EQ(seen.afterHome, 16);
    EXPECT_EQ(seen.clickedIn, 533);
    EXPECT_EQ(seen.clickedOut, 500);
}

TEST_F(PrintPreviewTest, WindowClassesLiveAsLongAsAnyPreview) {
    WNDCLASSA info{};
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    Painter painter;
    auto first = std::make_unique<CPrintPreview>(&owner, &Painter::Paint, &painter);
    {
        CPrintPreview second(&owner, &Painter::Paint, &painter);
        EXPECT_TRUE(::GetClassInfoA(module, "PrintPreviewPage", &info));
    }
    EXPECT_TRUE(::GetClassInfoA(module, "PrintPreview", &info)) << "the first preview still needs them";
    first.reset();
    EXPECT_FALSE(::GetClassInfoA(module, "PrintPreview", &info));
    EXPECT_FALSE(::GetClassInfoA(module, "PrintPreviewFrame", &info));
    EXPECT_TRUE(painter.codes.empty()) << "no printer is taken before the preview opens";
}

TEST_F(PrintPreviewTest, LanguageLibraryCarriesWhatThePreviewLoads) {
    HACCEL table = ::LoadAcceleratorsA(language.Handle(), MAKEINTRESOURCEA(IDR_PRINT_PREVIEW));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    int n = ::CopyAcceleratorTableA(table, keys, 32);
    bool print = false;
    for (int i = 0; i < n; ++i)
        print =
            print || (keys[i].key == 'P' && (keys[i].fVirt & FCONTROL) && keys[i].cmd == ID_PREVIEW_PRINT);
    EXPECT_TRUE(print) << "Ctrl+P prints";
    ::DestroyAcceleratorTable(table);
    for (UINT id : {IDS_GRID_LOADING, IDS_PRINT_SAVED, IDS_PRINT_TABLE, IDS_PRINT_OUTPUT,
                    IDS_PREVIEW_FIT_WIDTH, IDS_PREVIEW_WHOLE_PAGE, IDS_PREVIEW_PAGE, IDS_PREVIEW_PAGE_COUNT,
                    IDS_PREVIEW_PRINTING, IDS_PREVIEW_USER_VALUE, IDP_NO_PRINTER}) {
        char text[256] = {};
        EXPECT_GT(::LoadStringA(language.Handle(), id, text, sizeof text), 0) << id;
    }
    EXPECT_NE(::FindResourceA(language.Handle(), MAKEINTRESOURCEA(IDD_PRINT_STATUS), MAKEINTRESOURCEA(5)),
              nullptr);
    EXPECT_NE(
        ::LoadImageA(language.Handle(), MAKEINTRESOURCEA(IDC_PREVIEW_ZOOM_CURSOR), IMAGE_CURSOR, 0, 0, 0),
        nullptr);
    for (UINT icon : {IDI_PRINT_PREVIEW, IDI_PROGRAM, IDI_PROGRAM_SMALL})
        EXPECT_NE(::LoadImageA(language.Handle(), MAKEINTRESOURCEA(icon), IMAGE_ICON, 0, 0, 0), nullptr)
            << icon;
    for (UINT strip : {IDB_PREVIEW_BAR, IDB_PREVIEW_BAR_DISABLED}) {
        HANDLE bitmap =
            ::LoadImageA(language.Handle(), MAKEINTRESOURCEA(strip), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(bitmap, nullptr) << strip;
        BITMAP bm{};
        ::GetObjectA(bitmap, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 9 * 16) << "one picture for each button";
        ::DeleteObject(bitmap);
    }
}

TEST_F(PrintPreviewTest, NewPrinterRestartsThePainterAndTheSelectionPrintsTheCurrentPage) {
    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog printsetup printer:default");
    fw::TestMode::PushAnswer("dialog print printer:default selection:1");
    Painter painter;
    std::vector<int> afterSetup;
    int result = Run(painter, {
                                  [&](HWND p) {
                                      size_t before = painter.codes.size();
                                      Command(p, ID_PREVIEW_PRINTER);
                                      for (size_t i = before; i < painter.codes.size(); ++i)
                                          if (painter.codes[i] != kPageDraw)
                                              afterSetup.push_back(painter.codes[i]);
                                      Command(p, ID_PREVIEW_LAST);
                                      Command(p, ID_PREVIEW_PREVIOUS);
                                  },
                                  [&](HWND p) { Command(p, ID_PREVIEW_PRINT); },
                              });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(afterSetup, (std::vector<int>{kPagePrinterGone, kPagePrinterReady}));
    EXPECT_EQ(painter.drawnPages, (std::vector<int>{5}));
    std::vector<std::string> pages = harness::PrintedPages(60000);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Probe 5"), std::string::npos) << pages[0];
}

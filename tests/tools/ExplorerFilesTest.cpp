// The record explorer's file commands on the real file system and clipboard, in a scratch
// folder: new entries, pastes from the clipboard, copy/cut/paste of files, import, rename and
// delete.
#include "framework/App.h"
#include "framework/Clipboard.h"
#include "framework/TestMode.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "resources/ToolsIds.h"
#include "tests/harness/Harness.h"
#include "tools/ExplorerFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using harness::Exists;
using harness::IsFolder;

int CountEntries(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (std::strcmp(fd.cFileName, ".") && std::strcmp(fd.cFileName, "..")) ++count;
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return count;
}

std::string Block(const std::vector<std::string>& paths) {
    std::string block;
    for (const std::string& path : paths)
        AppendToFileBlock(block, path);
    return block;
}

struct Pixel {
    int width = 0, height = 0;
    uint8_t blue = 0, green = 0, red = 0;
};

// Size and middle pixel of a picture file at 32 bits.
Pixel Decode(const std::string& path) {
    Pixel p;
    ImgWinBitmap picture;
    ImgAnyDecoder decoder;
    decoder.DecodeFile(path.c_str(), &picture, 32);
    p.width = picture.GetWidth();
    p.height = picture.GetHeight();
    const uint8_t* at = picture.GetBits() + (p.height / 2) * picture.GetBytesPerLine() + (p.width / 2) * 4;
    p.blue = at[0];
    p.green = at[1];
    p.red = at[2];
    return p;
}

bool Near(int a, int b) {
    return a - b < 12 && b - a < 12;
}

// A 16 x 8 bitmap of 8 bits per pixel, every pixel palette entry 1 (blue).
HGLOBAL EightBitDib() {
    const int width = 16, height = 8;
    size_t size = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + width * height;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<uint8_t*>(::GlobalLock(block));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(bytes);
    header->biSize = sizeof *header;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biClrUsed = 256;
    auto* palette = reinterpret_cast<RGBQUAD*>(bytes + sizeof *header);
    palette[1] = RGBQUAD{200, 40, 10, 0};
    std::memset(bytes + sizeof *header + 256 * sizeof(RGBQUAD), 1, width * height);
    ::GlobalUnlock(block);
    return block;
}

// A metafile of one red rectangle; its bounds are what a paste makes of it.
HENHMETAFILE RedRectangle(RECT& bounds) {
    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    HBRUSH red = ::CreateSolidBrush(RGB(220, 0, 0));
    RECT r{0, 0, 40, 30};
    ::FillRect(dc, &r, red);
    ::DeleteObject(red);
    HENHMETAFILE picture = ::CloseEnhMetaFile(dc);
    ENHMETAHEADER header{};
    ::GetEnhMetaFileHeader(picture, sizeof header, &header);
    bounds =
        RECT{header.rclBounds.left, header.rclBounds.top, header.rclBounds.right, header.rclBounds.bottom};
    return picture;
}

class ExplorerFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "ExplorerFilesTest");
        ASSERT_NE(m_language.Handle(), nullptr);
        // A top-level window as the explorer's frame would be: the shell's questions are owned by it.
        m_owner =
            ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        CExplorerFiles::AddExplorer();
        m_folder = harness::NewFolder("explorerfiles");
    }
    void TearDown() override {
        CExplorerFiles::RemoveExplorer();
        ::DestroyWindow(m_owner);
        fw::TestMode::Disable();
    }
    // Puts one piece of data (a format and its handle) on the clipboard alone.
    void SetClipboard(UINT format, HANDLE data) {
        ASSERT_TRUE(::OpenClipboard(m_owner));
        ::EmptyClipboard();
        EXPECT_TRUE(::SetClipboardData(format, data));
        ::CloseClipboard();
    }
    void ClearClipboard() {
        ASSERT_TRUE(::OpenClipboard(m_owner));
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    std::vector<fw::ShownItem> Boxes() {
        std::vector<fw::ShownItem> boxes;
        for (const fw::ShownItem& item : fw::TestMode::Shown())
            if (item.kind == "box") boxes.push_back(item);
        return boxes;
    }

    CWinApp m_app{"ExplorerFilesTest"};
    harness::LanguageLibrary m_language;
    HWND m_owner = nullptr;
    std::string m_folder; // ends in "\"
};

} // namespace

TEST_F(ExplorerFilesTest, NewEntriesAreNumberedAndTheEleventhIsRefusedWithString59) {
    std::string folder = m_folder.substr(0, m_folder.size() - 1);
    EXPECT_EQ(CreateNewEntry(m_owner, folder, 33039), m_folder + "Neuer Ordner");
    EXPECT_EQ(CreateNewEntry(m_owner, folder, 33039), m_folder + "Neuer Ordner (2)");
    EXPECT_EQ(CreateNewEntry(m_owner, folder, 33039), m_folder + "Neuer Ordner (3)");
    EXPECT_TRUE(IsFolder(m_folder + "Neuer Ordner (3)"));

    // A document of the first name is there already: it keeps its content.
    harness::WriteTextFile(m_folder + "Neues Textdokument.txt", "Befund");
    EXPECT_EQ(CreateNewEntry(m_owner, folder, 33040), m_folder + "Neues Textdokument (2).txt");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Neues Textdokument.txt"), "Befund");
    EXPECT_TRUE(Exists(m_folder + "Neues Textdokument (2).txt"));
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Neues Textdokument (2).txt"), "");
    EXPECT_EQ(CreateNewEntry(m_owner, folder, 33041), m_folder + "Neues Microsoft Word-Dokument.rtf");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Neues Microsoft Word-Dokument.rtf"), "{\\rtf}");
    EXPECT_TRUE(Boxes().empty());

    for (int k = 4; k <= 10; ++k)
        ASSERT_FALSE(CreateNewEntry(m_owner, folder, 33039).empty());
    int before = CountEntries(m_folder);
    EXPECT_EQ(CreateNewEntry(m_owner, folder, 33039), "");
    EXPECT_EQ(CountEntries(m_folder), before) << "nothing is made after ten names";
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, harness::ResourceText(IDS_EXPLORER_NO_NEW_NAME));
    EXPECT_FALSE(boxes[0].text.empty());

    // A disk that refuses the file is told as such at once, not as ten names taken.
    fw::TestMode::ClearShown();
    EXPECT_EQ(CreateNewEntry(m_owner, m_folder + "fehlt\\tiefer", 33040), "");
    boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Der neue Eintrag konnte nicht angelegt werden.");
}

TEST_F(ExplorerFilesTest, ClipboardPicturesBecomeJpegsAndTextATextFileNeverReplacingOne) {
    ClearClipboard();
    EXPECT_FALSE(CanPasteClipboard());
    EXPECT_EQ(PasteClipboardAsFile(m_owner, m_folder), "") << "nothing to paste";

    // The metafile is preferred over the text beside it and played at its bounds.
    RECT bounds;
    HENHMETAFILE picture = RedRectangle(bounds);
    ASSERT_TRUE(::OpenClipboard(m_owner));
    ::EmptyClipboard();
    ::SetClipboardData(CF_ENHMETAFILE, picture);
    ::SetClipboardData(CF_TEXT, fw::MakeGlobalText("Notiz"));
    ::CloseClipboard();
    EXPECT_TRUE(CanPasteClipboard());
    harness::WriteTextFile(m_folder + "Bild aus Zwischenablage 1.jpg", "alt");
    std::string jpeg = PasteClipboardAsFile(m_owner, m_folder);
    ASSERT_EQ(jpeg, m_folder + "Bild aus Zwischenablage 2.jpg");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Bild aus Zwischenablage 1.jpg"), "alt");
    Pixel p = Decode(jpeg);
    EXPECT_EQ(p.width, bounds.right - bounds.left + 1);
    EXPECT_EQ(p.height, bounds.bottom - bounds.top + 1);
    EXPECT_TRUE(Near(p.red, 220) && Near(p.green, 0) && Near(p.blue, 0))
        << int(p.red) << "," << int(p.green) << "," << int(p.blue);

    // An 8-bit bitmap goes to the encoder widened to 32 bits through its palette.
    SetClipboard(CF_DIB, EightBitDib());
    EXPECT_TRUE(CanPasteClipboard());
    jpeg = PasteClipboardAsFile(m_owner, m_folder);
    ASSERT_EQ(jpeg, m_folder + "Bild aus Zwischenablage 3.jpg");
    p = Decode(jpeg);
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.height, 8);
    EXPECT_TRUE(Near(p.red, 10) && Near(p.green, 40) && Near(p.blue, 200))
        << int(p.red) << "," << int(p.green) << "," << int(p.blue);

    ASSERT_TRUE(fw::SetClipboardText(m_owner, "Zeile\r\nzwei"));
    EXPECT_EQ(PasteClipboardAsFile(m_owner, m_folder), m_folder + "Text aus Zwischenablage 1.txt");
    EXPECT_EQ(PasteClipboardAsFile(m_owner, m_folder), m_folder + "Text aus Zwischenablage 2.txt");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Text aus Zwischenablage 1.txt"), "Zeile\r\nzwei");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Text aus Zwischenablage 2.txt"), "Zeile\r\nzwei");
    EXPECT_TRUE(Boxes().empty());

    // While another thread holds the clipboard open, the command does nothing.
    HANDLE held = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([held, release] {
        bool open = ::OpenClipboard(nullptr) != FALSE;
        ::SetEvent(held);
        ::WaitForSingleObject(release, INFINITE);
        if (open) ::CloseClipboard();
    });
    ASSERT_EQ(::WaitForSingleObject(held, 10000), WAIT_OBJECT_0);
    int before = CountEntries(m_folder);
    EXPECT_EQ(PasteClipboardAsFile(m_owner, m_folder), "");
    EXPECT_EQ(CountEntries(m_folder), before);
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(held);
    ::CloseHandle(release);
}

TEST_F(ExplorerFilesTest, CopiedFilesArePastedBesideTheOriginalsAndACutIsPastedOnce) {
    std::string source = m_folder + "quelle\\";
    ::CreateDirectoryA(source.c_str(), nullptr);
    harness::WriteTextFile(source + "brief.txt", "Brief");
    ::CreateDirectoryA((source + "unter").c_str(), nullptr);
    harness::WriteTextFile(source + "unter\\x.txt", "x");
    // The first selected file is a picture: it goes onto the clipboard as a bitmap.
    SetClipboard(CF_DIB, EightBitDib());
    ASSERT_FALSE(PasteClipboardAsFile(m_owner, source).empty());
    std::string picture = source + "Bild aus Zwischenablage 1.jpg";
    ClearClipboard();

    std::string block = Block({source + "unter", picture, source + "brief.txt"});
    CExplorerFiles::Store(m_owner, block, 57634);
    EXPECT_EQ(CExplorerFiles::StoredCommand(), 57634);
    EXPECT_EQ(CExplorerFiles::StoredFiles(), block);
    ASSERT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(::OpenClipboard(m_owner));
    auto* header = static_cast<BITMAPINFOHEADER*>(::GlobalLock(::GetClipboardData(CF_DIB)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(std::abs(header->biHeight), 8);
    ::GlobalUnlock(::GetClipboardData(CF_DIB));
    ::CloseClipboard();

    std::string target = m_folder + "ziel\\neu";
    ASSERT_TRUE(CExplorerFiles::PasteStored(m_owner, target)) << "the missing target is made";
    EXPECT_EQ(harness::ReadTextFile(target + "\\brief.txt"), "Brief");
    EXPECT_EQ(harness::ReadTextFile(target + "\\unter\\x.txt"), "x");
    EXPECT_TRUE(Exists(target + "\\Bild aus Zwischenablage 1.jpg"));
    EXPECT_TRUE(Exists(source + "brief.txt")) << "a copy leaves the originals";
    EXPECT_EQ(CExplorerFiles::StoredCommand(), 57634) << "a copy can be pasted again";

    // Pasted again where the names are taken: the shell finds new ones, nothing is replaced.
    harness::WriteTextFile(source + "brief.txt", "Neuer Brief");
    ASSERT_TRUE(CExplorerFiles::PasteStored(m_owner, target));
    EXPECT_EQ(harness::ReadTextFile(target + "\\brief.txt"), "Brief");
    EXPECT_EQ(CountEntries(target + "\\"), 6);

    // A cut moves once; then the list is gone.
    CExplorerFiles::Store(m_owner, Block({source + "brief.txt"}), 57635);
    std::string moved = m_folder + "verschoben";
    ASSERT_TRUE(CExplorerFiles::PasteStored(m_owner, moved));
    EXPECT_FALSE(Exists(source + "brief.txt"));
    EXPECT_EQ(harness::ReadTextFile(moved + "\\brief.txt"), "Neuer Brief");
    EXPECT_EQ(CExplorerFiles::StoredCommand(), 0);
    EXPECT_TRUE(CExplorerFiles::StoredFiles().empty());
    EXPECT_FALSE(CExplorerFiles::PasteStored(m_owner, moved));

    // A target too long for a name below it is refused, with a message.
    CExplorerFiles::Store(m_owner, Block({picture}), 57634);
    std::string deep = m_folder + std::string(259 - m_folder.size(), 'z');
    EXPECT_FALSE(CExplorerFiles::PasteStored(m_owner, deep));
    EXPECT_FALSE(Exists(deep));
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ExplorerFilesTest, ImportCopiesTheChosenFileUnderAFreeName) {
    std::string record = m_folder + "akte";
    ::CreateDirectoryA(record.c_str(), nullptr);
    harness::WriteTextFile(m_folder + "bericht.txt", "neu");
    harness::WriteTextFile(record + "\\bericht.txt", "alt");
    fw::TestMode::PushAnswer("dialog open path:" + m_folder + "bericht.txt");
    ASSERT_TRUE(ImportFiles(m_owner, record));
    EXPECT_EQ(harness::ReadTextFile(record + "\\bericht.txt"), "alt");
    EXPECT_EQ(CountEntries(record + "\\"), 2);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "open");
    EXPECT_FALSE(ImportFiles(m_owner, record)) << "cancelled";
    EXPECT_EQ(CountEntries(record + "\\"), 2);
}

TEST_F(ExplorerFilesTest, RenameKeepsTheExtensionAndRefusesLabelsThatLeaveTheFolder) {
    std::string file = m_folder + "Bild 001.jpg";
    harness::WriteTextFile(file, "jpg");
    harness::WriteTextFile(m_folder + "Befund.jpg", "anderes");
    ::CreateDirectoryA((m_folder + "Ordner.2024").c_str(), nullptr);

    EXPECT_EQ(RenameFile(m_owner, file, "Roentgen"), m_folder + "Roentgen.jpg");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Roentgen.jpg"), "jpg");
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(RenameFile(m_owner, m_folder + "Ordner.2024", "Archiv"), m_folder + "Archiv");
    EXPECT_TRUE(IsFolder(m_folder + "Archiv"));
    EXPECT_TRUE(Boxes().empty());

    for (const char* bad : {"..\\..\\weg", "..", "a:b", "x/y"}) {
        EXPECT_EQ(RenameFile(m_owner, m_folder + "Roentgen.jpg", bad), "") << bad;
    }
    EXPECT_EQ(Boxes().size(), 4u);
    EXPECT_EQ(RenameFile(m_owner, m_folder + "Roentgen.jpg", "Befund"), "") << "the name is taken";
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Befund.jpg"), "anderes");
    EXPECT_EQ(harness::ReadTextFile(m_folder + "Roentgen.jpg"), "jpg");
    EXPECT_EQ(Boxes().size(), 5u);
    EXPECT_EQ(RenameFile(m_owner, m_folder + "Roentgen.jpg", ""), "") << "an empty label changes nothing";
}

TEST_F(ExplorerFilesTest, DeleteAsksFirstAndKeepsTheFilesOnNo) {
    harness::WriteTextFile(m_folder + "a.txt", "a");
    ::CreateDirectoryA((m_folder + "b").c_str(), nullptr);
    harness::WriteTextFile(m_folder + "b\\c.txt", "c");
    std::string block = Block({m_folder + "a.txt", m_folder + "b"});
    fw::TestMode::PushAnswer("box IDNO");
    EXPECT_FALSE(RecycleFiles(m_owner, block, true));
    fw::TestMode::PushAnswer("box IDNO");
    EXPECT_FALSE(RecycleFiles(m_owner, block, false));
    EXPECT_TRUE(Exists(m_folder + "a.txt"));
    EXPECT_TRUE(Exists(m_folder + "b\\c.txt"));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].text, boxes[1].text) << "the recycle bin, or for good";

    // Into the recycle bin: the test's own, since its data folder is set to the build tree.
    char data[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof data), 0u);
    std::string trash = "Z:" + std::string(data) + "/Trash/files/";
    std::replace(trash.begin(), trash.end(), '/', '\\');
    for (const char* name : {"a.txt", "b"}) {
        ::DeleteFileA((trash + name).c_str()); // an earlier run's
        ::DeleteFileA((trash + "..\\info\\" + name + ".trashinfo").c_str());
    }
    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_TRUE(RecycleFiles(m_owner, Block({m_folder + "a.txt"}), true));
    EXPECT_FALSE(Exists(m_folder + "a.txt"));
    EXPECT_EQ(harness::ReadTextFile(trash + "a.txt"), "a") << "in the recycle bin";

    // For good (the caller asks so when Shift is held): not in the recycle bin.
    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_TRUE(RecycleFiles(m_owner, Block({m_folder + "b"}), false));
    EXPECT_FALSE(Exists(m_folder + "b"));
    EXPECT_FALSE(Exists(trash + "b"));
    EXPECT_EQ(CountEntries(m_folder), 0);
}

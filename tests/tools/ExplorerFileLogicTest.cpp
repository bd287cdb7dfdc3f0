// The record explorer's file commands: names of new and pasted entries, the free-name rule,
// path bounds, new labels and path blocks.
#include "tools/ExplorerFileLogic.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ef = vorlan::explorerfiles;

namespace {

// A folder of files as the claim sees it: a name is claimed when it is not there yet.
struct FakeFolder {
    std::set<std::string> files;
    bool Claim(const std::string& path) { return files.insert(path).second; }
};

} // namespace

TEST(ExplorerFileLogic, NewEntriesTakeTheFirstFreeNumberedName) {
    ef::NewEntry entry;
    ASSERT_TRUE(ef::NewEntryOfCommand(33039, entry));
    EXPECT_EQ(entry, ef::NewEntry::Folder);
    ASSERT_TRUE(ef::NewEntryOfCommand(33041, entry));
    EXPECT_EQ(entry, ef::NewEntry::WordDocument);
    EXPECT_FALSE(ef::NewEntryOfCommand(33042, entry));

    EXPECT_EQ(ef::NewEntryPath("C:\\Akte\\", ef::NewEntry::TextDocument, 1),
              "C:\\Akte\\Neues Textdokument.txt");
    EXPECT_EQ(ef::NewEntryPath("C:\\Akte", ef::NewEntry::WordDocument, 10),
              "C:\\Akte\\Neues Microsoft Word-Dokument (10).rtf");
    EXPECT_EQ(ef::NewEntryContent(ef::NewEntry::WordDocument), "{\\rtf}");
    EXPECT_TRUE(ef::NewEntryContent(ef::NewEntry::TextDocument).empty());

    FakeFolder folder;
    auto candidate = [](int k) { return ef::NewEntryPath("C:\\Akte", ef::NewEntry::Folder, k); };
    auto claim = [&](const std::string& p) { return folder.Claim(p); };
    std::string path;
    for (const char* expected :
         {"C:\\Akte\\Neuer Ordner", "C:\\Akte\\Neuer Ordner (2)", "C:\\Akte\\Neuer Ordner (3)"}) {
        ASSERT_EQ(vorlan::ClaimFirstFree(1, ef::kNewEntryTries, candidate, claim, path), vorlan::FreeName::Ok);
        EXPECT_EQ(path, expected);
    }
    for (int k = 4; k <= 10; ++k)
        ASSERT_EQ(vorlan::ClaimFirstFree(1, ef::kNewEntryTries, candidate, claim, path), vorlan::FreeName::Ok);
    EXPECT_EQ(path, "C:\\Akte\\Neuer Ordner (10)");
    EXPECT_EQ(vorlan::ClaimFirstFree(1, ef::kNewEntryTries, candidate, claim, path), vorlan::FreeName::NoneFree)
        << "after ten names nothing more is tried";
    EXPECT_TRUE(path.empty());
}

TEST(ExplorerFileLogic, CopiesOfATakenNameAreNumberedBeforeTheExtension) {
    EXPECT_EQ(ef::NumberedName("brief.txt", 1, false), "brief.txt");
    EXPECT_EQ(ef::NumberedName("brief.2024.txt", 2, false), "brief.2024 (2).txt");
    EXPECT_EQ(ef::NumberedName("Ordner.alt", 3, true), "Ordner.alt (3)");
    EXPECT_EQ(ef::NumberedName("ohne", 4, false), "ohne (4)");
    EXPECT_EQ(ef::NumberedName(".profil", 2, false), ".profil (2)");
}

TEST(ExplorerFileLogic, PastedFilesFillTheFirstGapAndNeverATakenName) {
    EXPECT_EQ(ef::PastedPicturePath("C:\\Akte\\", 1), "C:\\Akte\\Bild aus Zwischenablage 1.jpg");
    EXPECT_EQ(ef::PastedTextPath("C:\\Akte", 65534), "C:\\Akte\\Text aus Zwischenablage 65534.txt");

    FakeFolder folder;
    for (int n : {1, 2, 4})
        folder.files.insert(ef::PastedPicturePath("C:\\A", n));
    auto candidate = [](int n) { return ef::PastedPicturePath("C:\\A", n); };
    std::string path;
    ASSERT_EQ(
        vorlan::ClaimFirstFree(
            1, ef::kMaxPasteNumber, candidate, [&](const std::string& p) { return folder.Claim(p); }, path),
        vorlan::FreeName::Ok);
    EXPECT_EQ(path, "C:\\A\\Bild aus Zwischenablage 3.jpg");
    ASSERT_EQ(
        vorlan::ClaimFirstFree(
            1, ef::kMaxPasteNumber, candidate, [&](const std::string& p) { return folder.Claim(p); }, path),
        vorlan::FreeName::Ok);
    EXPECT_EQ(path, "C:\\A\\Bild aus Zwischenablage 5.jpg");
}

TEST(ExplorerFileLogic, PathsOf260CharactersOrMoreAreRefusedNeverCut) {
    std::string folder = "C:\\" + std::string(237, 'x'); // 240 characters
    auto candidate = [&](int k) { return ef::NewEntryPath(folder, ef::NewEntry::Folder, k); };
    std::string path;
    // 240 + "\Neuer Ordner" = 253 fits; with " (2)" it is 257, " (10)" 258.
    int tries = 0;
    auto refuse = [&](const std::string&) {
        ++tries;
        return false;
    };
    EXPECT_EQ(vorlan::ClaimFirstFree(1, 10, candidate, refuse, path), vorlan::FreeName::NoneFree);
    EXPECT_EQ(tries, 10);

    std::string longer = folder + "yy"; // " (10)" gives exactly 260
    tries = 0;
    auto far = [&](int k) { return ef::NewEntryPath(longer, ef::NewEntry::Folder, k); };
    EXPECT_EQ(vorlan::ClaimFirstFree(1, 10, far, refuse, path), vorlan::FreeName::TooLong);
    EXPECT_EQ(tries, 9) << "the tries that fit were made, the one of 260 characters was not";
    EXPECT_TRUE(path.empty());
}

TEST(ExplorerFileLogic, LabelsThatLeaveTheFolderOrHoldReservedCharactersAreRefused) {
    EXPECT_EQ(ef::CheckLabel("Befund vom 3.5."), ef::LabelCheck::Ok);
    EXPECT_EQ(ef::CheckLabel("...."), ef::LabelCheck::Ok);
    EXPECT_EQ(ef::CheckLabel(""), ef::LabelCheck::Empty);
    EXPECT_EQ(ef::CheckLabel("."), ef::LabelCheck::DotName);
    EXPECT_EQ(ef::CheckLabel(".."), ef::LabelCheck::DotName);
    for (const char* bad : {"..\\..\\x", "a/b", "C:x", "a*", "a?", "\"a\"", "<a", "a>", "a|b", "a\tb"})
        EXPECT_EQ(ef::CheckLabel(bad), ef::LabelCheck::BadCharacter) << bad;
}

TEST(ExplorerFileLogic, ARenameKeepsTheFolderAndTheFilesExtension) {
    EXPECT_EQ(ef::RenamedPath("C:\\Akte\\Bild 001.jpg", "Röntgen", false), "C:\\Akte\\Röntgen.jpg");
    EXPECT_EQ(ef::RenamedPath("C:\\Akte\\brief.2024.rtf", "Brief", false), "C:\\Akte\\Brief.rtf");
    EXPECT_EQ(ef::RenamedPath("C:\\Akte\\ohne", "mit", false), "C:\\Akte\\mit");
    EXPECT_EQ(ef::RenamedPath("C:\\Akte\\Ordner.alt", "Neu", true), "C:\\Akte\\Neu")
        << "a folder's dot is part of its name";
    EXPECT_EQ(ef::RenamedPath("C:\\Akte.d\\ohne", "mit", false), "C:\\Akte.d\\mit");
}

TEST(ExplorerFileLogic, BlocksEndInAnEmptyPathAndSplitWithinTheirSize) {
    std::string block;
    ef::AppendPathToBlock(block, "C:\\a.txt");
    EXPECT_EQ(block, std::string("C:\\a.txt\0\0", 10));
    ef::AppendPathToBlock(block, "C:\\b");
    EXPECT_EQ(block, std::string("C:\\a.txt\0C:\\b\0\0", 15));
    std::string fromNul(1, '\0');
    ef::AppendPathToBlock(fromNul, "x");
    EXPECT_EQ(fromNul, std::string("x\0\0", 3));

    EXPECT_EQ(ef::SplitPathBlock(block), (std::vector<std::string>{"C:\\a.txt", "C:\\b"}));
    EXPECT_EQ(ef::SplitPathBlock(std::string("a\0\0b\0\0", 6)), std::vector<std::string>{"a"})
        << "the first empty path ends the block";
    EXPECT_EQ(ef::SplitPathBlock("unended"), std::vector<std::string>{"unended"});
    EXPECT_TRUE(ef::SplitPathBlock(std::string()).empty());
}

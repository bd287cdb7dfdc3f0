// Folder levels, path placeholders and shortened paths.
#include "tools/FolderPaths.h"

#include "framework/PathParts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vorlan::DirectoryLevels;
using Levels = std::vector<std::string>;

TEST(FolderPaths, LevelsSkipDriveRootsAndUncShares) {
    EXPECT_EQ(DirectoryLevels("C:\\a\\b\\c"), (Levels{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(DirectoryLevels("C:\\a\\b\\"), (Levels{"C:\\a", "C:\\a\\b"})) << "a trailing backslash";
    EXPECT_EQ(DirectoryLevels("C:\\"), (Levels{"C:\\"}));
    EXPECT_EQ(DirectoryLevels("\\\\srv\\share\\x\\y"), (Levels{"\\\\srv\\share\\x", "\\\\srv\\share\\x\\y"}));
    EXPECT_EQ(DirectoryLevels("\\\\srv\\share"), (Levels{"\\\\srv\\share"}));
    EXPECT_EQ(DirectoryLevels("\\\\srv\\share\\"), (Levels{"\\\\srv\\share"}));
    EXPECT_EQ(DirectoryLevels("a\\b"), (Levels{"a", "a\\b"})) << "relative to the current folder";
    EXPECT_EQ(DirectoryLevels("\\a\\b"), (Levels{"\\a", "\\a\\b"})) << "on the current drive";
    EXPECT_EQ(DirectoryLevels(""), Levels{});
}

TEST(FolderPaths, PlaceholdersBecomeTheProgramsPathAndFolder) {
    const std::string program = "C:\\Programme\\VORLAN\\VORLAN.exe";
    std::string out;
    ASSERT_TRUE(vorlan::TranslatePlaceholders("%program%\\Vorlagen", program, out));
    EXPECT_EQ(out, "C:\\Programme\\VORLAN\\Vorlagen");
    ASSERT_TRUE(vorlan::TranslatePlaceholders("%vorlan%", program, out));
    EXPECT_EQ(out, program);
    ASSERT_TRUE(vorlan::TranslatePlaceholders("%program%;%program%;%vorlan%", program, out));
    EXPECT_EQ(out, "C:\\Programme\\VORLAN;C:\\Programme\\VORLAN;" + program);
    ASSERT_TRUE(vorlan::TranslatePlaceholders("%program%\\x", "C:\\%vorlan%\\p.exe", out));
    EXPECT_EQ(out, "C:\\%vorlan%\\x") << "inserted text is not replaced again";
    ASSERT_TRUE(vorlan::TranslatePlaceholders("D:\\Daten\\%PROGRAM%", program, out));
    EXPECT_EQ(out, "D:\\Daten\\%PROGRAM%");
}

TEST(FolderPaths, ResultsOf260CharactersAreRefusedNotCut) {
    const std::string program = "C:\\P\\V.exe"; // folder "C:\P", 4 characters
    std::string out;
    EXPECT_TRUE(vorlan::TranslatePlaceholders("%program%" + std::string(255, 'x'), program, out));
    EXPECT_EQ(out.size(), 259u);
    EXPECT_FALSE(vorlan::TranslatePlaceholders("%program%" + std::string(256, 'x'), program, out));
    EXPECT_EQ(out, "");
}

TEST(FolderPaths, JoinedPathsAreBoundedAndNamesFreeOnlyWhenNotFound) {
    EXPECT_EQ(vorlan::JoinPath("C:\\x", "y.txt"), "C:\\x\\y.txt");
    EXPECT_EQ(vorlan::JoinPath("A:\\", "ARCHIV.EXE"), "A:\\ARCHIV.EXE") << "one backslash";
    EXPECT_EQ(vorlan::JoinPath("C:\\x", ""), "") << "no name";
    EXPECT_EQ(vorlan::JoinPath(std::string(254, 'a'), "abcd").size(), 259u);
    EXPECT_EQ(vorlan::JoinPath(std::string(254, 'a'), "abcde"), "") << "260 characters are refused, not cut";
    EXPECT_TRUE(vorlan::PathFits(std::string(259, 'p')));
    EXPECT_FALSE(vorlan::PathFits(std::string(260, 'p')));
    // A locked or unreadable file is there all the same; only "not found" frees a name.
    EXPECT_FALSE(vorlan::NameTaken(false, 2));
    EXPECT_FALSE(vorlan::NameTaken(false, 3));
    EXPECT_TRUE(vorlan::NameTaken(false, 5)) << "access denied";
    EXPECT_TRUE(vorlan::NameTaken(false, 32)) << "sharing violation";
    EXPECT_TRUE(vorlan::NameTaken(true, 0));
}

TEST(FolderPaths, StatusTextsKeep35Characters) {
    std::string forty(40, 'p');
    EXPECT_EQ(vorlan::ShortenPath(forty), std::string(35, 'p') + "...");
    EXPECT_EQ(vorlan::ShortenPath(std::string(35, 'p')), std::string(35, 'p'));
    EXPECT_EQ(vorlan::ShortenPath(""), "");
}

TEST(FolderPaths, NameAndFolderSplitAtTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(fw::FolderOf("C:\\Bilder\\a.bmp"), "C:\\Bilder");
    EXPECT_EQ(fw::FileNameOf("C:\\Bilder\\a.bmp"), "a.bmp");
    EXPECT_EQ(fw::FolderOf("C:\\Bilder/2026/a.bmp"), "C:\\Bilder/2026") << "a server path with slashes";
    EXPECT_EQ(fw::FileNameOf("C:\\Bilder/2026/a.bmp"), "a.bmp");
    EXPECT_EQ(fw::FolderOf("a.bmp"), "") << "no folder";
    EXPECT_EQ(fw::FileNameOf("a.bmp"), "a.bmp");
    EXPECT_EQ(fw::FileNameOf("C:\\Bilder\\"), "") << "a folder path names no file";
}

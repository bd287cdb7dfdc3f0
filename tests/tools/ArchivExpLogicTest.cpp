// Where the archive export puts the launcher files and each document, and what it refuses.
#include "tools/ArchivExpLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ArchivExpLogic, DocumentFoldersFollowTheTreeUnderTheRoot) {
    std::string out;
    ASSERT_TRUE(vorlan::ArchiveFolder("E:\\Ziel\\Archiv\\", {"Befunde", "Bilder", "Alt"}, out));
    EXPECT_EQ(out, "E:\\Ziel\\Archiv\\Befunde\\Bilder\\Alt");
    EXPECT_TRUE(vorlan::ArchiveFolder("A:\\", {"Befunde"}, out));
    EXPECT_EQ(out, "A:\\Befunde") << "a drive's root keeps its one backslash";
}

TEST(ArchivExpLogic, TextsThatWouldLeaveTheArchiveAreRefused) {
    std::string out = "left over";
    for (const char* bad : {"..", ".", "", "a\\b", "a/b", "C:", "x*", "x?", "a\"b", "<a>", "a|b", "\t"}) {
        EXPECT_FALSE(vorlan::ArchiveFolder("E:\\Archiv\\", {"Befunde", bad}, out)) << bad;
        EXPECT_EQ(out, "") << bad;
    }
    EXPECT_TRUE(vorlan::IsPlainName("Brief vom 1.2.2026 (Kopie).rtf"));
    EXPECT_TRUE(vorlan::IsPlainName("Bef\xfcnde"));
}

TEST(ArchivExpLogic, PathsOf260CharactersAreRefusedNotCut) {
    std::string root = "E:\\" + std::string(240, 'r') + "\\";
    std::string out = "left over";
    EXPECT_TRUE(vorlan::ArchiveFolder(root, {std::string(10, 'a')}, out));
    EXPECT_EQ(out.size(), 254u);
    EXPECT_TRUE(vorlan::ArchiveFolder(root, {std::string(15, 'a')}, out)) << "259 characters fit";
    EXPECT_EQ(out.size(), 259u);
    EXPECT_FALSE(vorlan::ArchiveFolder(root, {std::string(16, 'a')}, out)) << "260 do not";
    EXPECT_EQ(out, "");
}

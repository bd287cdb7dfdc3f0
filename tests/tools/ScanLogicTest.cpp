// Page names, the free-name rule, bounded paths and the barcode assignment's lines.
#include "tools/ScanLogic.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace scan = vorlan::scan;

TEST(ScanLogic, PageNamesGrowTheirDigits) {
    EXPECT_EQ(scan::PageName(1), "Bild 001.jpg");
    EXPECT_EQ(scan::PageName(9), "Bild 009.jpg");
    EXPECT_EQ(scan::PageName(10), "Bild 010.jpg");
    EXPECT_EQ(scan::PageName(99), "Bild 099.jpg");
    EXPECT_EQ(scan::PageName(100), "Bild 100.jpg");
    EXPECT_EQ(scan::PageName(1000), "Bild 1000.jpg");
}

TEST(ScanLogic, TheFirstNameNoFileHasIsTaken) {
    std::set<std::string> files;
    auto exists = [&](const std::string& p) { return files.count(p) != 0; };
    std::string path;
    for (int n = 1; n <= 9; ++n)
        files.insert("C:\\Akte\\" + scan::PageName(n));
    ASSERT_EQ(scan::FreePagePath("C:\\Akte", exists, path), vorlan::FreeName::Ok);
    EXPECT_EQ(path, "C:\\Akte\\Bild 010.jpg");
    for (int n = 10; n <= 999; ++n)
        files.insert("C:\\Akte\\" + scan::PageName(n));
    ASSERT_EQ(scan::FreePagePath("C:\\Akte\\", exists, path), vorlan::FreeName::Ok);
    EXPECT_EQ(path, "C:\\Akte\\Bild 1000.jpg") << "a trailing backslash is not doubled";
    // A gap is filled: a page that exists but is locked still counts as there.
    files.erase("C:\\Akte\\Bild 050.jpg");
    ASSERT_EQ(scan::FreePagePath("C:\\Akte", exists, path), vorlan::FreeName::Ok);
    EXPECT_EQ(path, "C:\\Akte\\Bild 050.jpg");

    ASSERT_EQ(scan::FreePagePath(
                  "C:\\Voll", [](const std::string&) { return true; }, path),
              vorlan::FreeName::NoneFree);
    EXPECT_TRUE(path.empty());
}

TEST(ScanLogic, LongPathsAreRefusedNotCut) {
    std::string path = "x";
    std::string folder = "C:\\" + std::string(243, 'a'); // 246 + "\Bild 001.jpg" = 259
    ASSERT_EQ(scan::FreePagePath(
                  folder, [](const std::string&) { return false; }, path),
              vorlan::FreeName::Ok);
    EXPECT_EQ(path.size(), 259u);
    folder += 'a';
    EXPECT_EQ(scan::FreePagePath(
                  folder, [](const std::string&) { return false; }, path),
              vorlan::FreeName::TooLong);
    EXPECT_TRUE(path.empty());
    // Page 1000 needs a character more than page 999.
    std::string nearly = "C:\\" + std::string(243, 'a');
    EXPECT_EQ(scan::FreePagePath(
                  nearly, [](const std::string& p) { return p.size() < 260; }, path),
              vorlan::FreeName::TooLong);
}

TEST(ScanLogic, BarcodeLinesQuoteTheCode) {
    EXPECT_EQ(scan::ScanFunctionLine(), "W $G(^QSYS(\"SCAN\"))");
    EXPECT_EQ(scan::AssignLine("SCAN^QAKT", "4711-1"), "W $$SCAN^QAKT(\"4711-1\")");
    EXPECT_EQ(scan::AssignLine("SCAN^QAKT", "A\"B"), "W $$SCAN^QAKT(\"A\"\"B\")");
    EXPECT_EQ(scan::AssignLine("SCAN^QAKT", "\")) K ^X W (\""), "W $$SCAN^QAKT(\"\"\")) K ^X W (\"\"\")");
    EXPECT_EQ(scan::AssignLine("SCAN^QAKT", "A\tB"), "W $$SCAN^QAKT(\"A\"_$C(9)_\"B\")");
    EXPECT_EQ(scan::AssignLine("^%QS1", ""), "W $$^%QS1(\"\")");
    // A function name that is not a plain entry reference is not sent.
    EXPECT_EQ(scan::AssignLine("", "1"), "");
    EXPECT_EQ(scan::AssignLine("SCAN", "1"), "");
    EXPECT_EQ(scan::AssignLine("X^Y(1) K ^Z", "1"), "");
    EXPECT_EQ(scan::AssignLine("A B^QAKT", "1"), "");
}

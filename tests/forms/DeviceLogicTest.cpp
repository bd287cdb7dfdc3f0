#include "forms/DeviceLogic.h"
#include "forms/FormKeysLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

TEST(DeviceLogic, WalksNameTheirNodeAndEndAtTheLastSubscript) {
    EXPECT_EQ(kPrinterTextWalk.start, "S %QCC=\"\"");
    EXPECT_EQ(kPrinterTextWalk.next, "S %QCC=$O(^QTEMP(%JOB,%DN,\"LPT1\",%QCC)) W %QCC");
    EXPECT_EQ(kPrinterTextWalk.value, "W $G(^QTEMP(%JOB,%DN,\"LPT1\",%QCC))");
    EXPECT_EQ(kDisplayMessageWalk.next,
              "S %QCC=$O(^QTEMP(%JOB,\"COMPORT\",\"DISPLAY\",\"MSG\",%QCC)) W %QCC");
}

TEST(DeviceLogic, PrinterTextStopsAtItsLimit) {
    std::string text;
    EXPECT_TRUE(AppendPrinterText(text, "Quittung 4711\r\n"));
    EXPECT_TRUE(AppendPrinterText(text, ""));
    EXPECT_TRUE(AppendPrinterText(text, "Betrag 12,50 EUR\r\n"));
    EXPECT_EQ(text, "Quittung 4711\r\nBetrag 12,50 EUR\r\n");

    std::string big(kPrinterTextLimit - 3, 'x');
    EXPECT_FALSE(AppendPrinterText(big, "abcdef")) << "full";
    EXPECT_EQ(big.size(), kPrinterTextLimit);
    EXPECT_EQ(big.substr(big.size() - 4), "xabc");
    EXPECT_FALSE(AppendPrinterText(big, "more"));
    EXPECT_EQ(big.size(), kPrinterTextLimit);
}

TEST(DeviceLogic, DisplayAndDrawerFramesDifferOnlyInTheirHead) {
    fw::PortFrame drawer = CashDrawerFrame("Lade");
    EXPECT_EQ(std::string(drawer.data(), drawer.size()), std::string("\x1b"
                                                                     "FLade\r") +
                                                             std::string(18, '\0'));
    auto line = CustomerDisplayFrame('B', "Lade");
    EXPECT_EQ(std::string(line.data(), 8), std::string("\x1b"
                                                       "FBLade\r\0",
                                                       8));
}

TEST(DeviceLogic, AKeysDialogOpensWithItsCaptionAndCommandValue) {
    EXPECT_EQ(KeyDialogOpening("SUBDLG", "Ortsauswahl"), "SUBDLG\xA7Ortsauswahl");
    EXPECT_EQ(KeyDialogOpening("SUBDLG", "[Suchen;Strg+F"), "SUBDLG\xA7Suchen (Strg+F)");
    EXPECT_EQ(KeyDialogOpening("SUBDLG", "Suchen; "), "SUBDLG\xA7Suchen");
    EXPECT_EQ(KeyDialogOpening("SUBDLG", ""), "SUBDLG\xA7");
    // The command id names the key: F5 is 0x8020 among the frames' commands.
    EXPECT_EQ(KeyDialogValue(0x8020), 0x4020);
    EXPECT_EQ(KeyDialogValue(0x4000), 0);
}

TEST(DeviceLogic, UndoServesEveryFieldUpTo255) {
    EXPECT_FALSE(IsUndoFieldId(0x1000, 5));
    EXPECT_TRUE(IsUndoFieldId(0x1001, 5));
    EXPECT_TRUE(IsUndoFieldId(0x1005, 5));
    EXPECT_FALSE(IsUndoFieldId(0x1006, 5)) << "a control beyond the fields";
    EXPECT_TRUE(IsUndoFieldId(0x1064, 120)) << "field 100, beyond the old limit of 99";
    EXPECT_TRUE(IsUndoFieldId(0x10FF, 400));
    EXPECT_FALSE(IsUndoFieldId(0x1100, 400));
    EXPECT_FALSE(IsUndoFieldId(0x1800, 400)) << "the grid";
    EXPECT_FALSE(IsUndoFieldId(0x1001, 0));
}

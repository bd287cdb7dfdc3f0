// The list field's lines to the server and its state table, without a window.
#include "controls/ListFieldLogic.h"

#include <gtest/gtest.h>

using namespace listfield;

namespace {
const std::string kSub = "^ZDEMO(\"AWL\")";
Record Rec(const std::string& text, const std::string& state, int chosen = 0) {
    Record r;
    r.text = text;
    r.state = state;
    r.chosen = chosen;
    return r;
}
} // namespace

TEST(ListFieldLines, SubscriptsAreSplicedIntoANameThatCarriesSomeAlready) {
    EXPECT_EQ(Node("A", "X"), "A(X)");
    EXPECT_EQ(Node(kSub, "X,Y"), "^ZDEMO(\"AWL\",X,Y)");
    EXPECT_EQ(DynamicLine(kSub), "W:$D(^ZDEMO(\"AWL\",\"DYN\")) 1");
    EXPECT_EQ(BackColourLine("N"), "W $G(N(\"BGCOLOR\"))");
    EXPECT_EQ(TitleLine(kSub), "W $G(^ZDEMO(\"AWL\",0))");
    EXPECT_EQ(NextFirstLine(kSub), "S X=X+1 W $G(^ZDEMO(\"AWL\",X))");
    EXPECT_EQ(FirstDefinedLine("N"), "W $D(N(X))");
    EXPECT_EQ(NextThirdLine(kSub), "S Z=Z+1 W $G(^ZDEMO(\"AWL\",X,Y,Z))");
    EXPECT_EQ(EntryNode(kSub, 2, 1, 3), "^ZDEMO(\"AWL\",2,1,3)");
    EXPECT_EQ(EntryNode("N", 4), "N(4)");
    EXPECT_EQ(SetPieceLine(EntryNode(kSub, 2, 1), 3, 3), "S $P(^ZDEMO(\"AWL\",2,1),%DL,3)=3");
}

TEST(ListFieldLines, TheSelectionQuotesTheArrayName) {
    EXPECT_EQ(SelectionLine(kSub, 3, 0, 2), "S %FELD=\"^ZDEMO(\"\"AWL\"\")\"_%DL_3_%DL_0_%DL_2");
}

TEST(ListFieldLines, TypedLabelsAreQuotedAndTheDelimiterBecomesABlank) {
    EXPECT_EQ(EditedTextLine("N(1,4)", "sagt \"ja\""), "S $P(N(1,4),%DL,4)=\"sagt \"\"ja\"\"\"");
    EXPECT_EQ(LabelTextLine("N(1)", "a\xA7" "b"), "S $P(N(1),%DL,1)=\"a b\"");
    EXPECT_EQ(KeptLabelText("\xA7\xA7"), "  ");
}

TEST(ListFieldRecords, PiecesMissingCountAsEmptyAndTheFunctionKeyIsBounded) {
    Record r = ParseRecord("Text ?\xA7" "3\xA7" "2\xA7" "neu\xA7Tipp");
    EXPECT_EQ(r.text, "Text ?");
    EXPECT_EQ(r.Value(), 3);
    EXPECT_EQ(r.chosen, 2);
    EXPECT_EQ(ShownText(r), "Text neu");
    Record bare = ParseRecord("nur Text");
    EXPECT_EQ(bare.Value(), 0);
    EXPECT_EQ(bare.tip, "");
    EXPECT_EQ(ShownText(ParseRecord("A ? B")), "A ? B"); // nothing edited yet
    EXPECT_EQ(SplicedText("Wert: ? mg", "5"), "Wert: 5 mg");
    for (auto [reply, key] : std::initializer_list<std::pair<const char*, int>>{
             {"8", 8}, {"", 0}, {"13", 0}, {"-3", 0}, {"12", 12}, {"x", 0}})
        EXPECT_EQ(FunctionKey(reply), key) << reply;
}

TEST(ListFieldStates, FirstLevel) {
    EXPECT_EQ(FirstLevelLook(0, false, false).image, kUnchecked);
    EXPECT_EQ(FirstLevelLook(1, false, false).image, kChecked);
    EXPECT_EQ(FirstLevelLook(2, false, false).image, kNone);
    Look parent = FirstLevelLook(1, true, false);
    EXPECT_EQ(parent.image, kNone);
    EXPECT_TRUE(parent.bold && parent.button && parent.expanded);
    EXPECT_FALSE(FirstLevelLook(0, true, true).expanded) << "dynamic arrays load on expansion";
}

TEST(ListFieldStates, SecondLevelBoxesAndRadioGroups) {
    EXPECT_EQ(SecondLevelLook(Rec("a", "0"), 1, 0).image, kUnchecked);
    EXPECT_FALSE(SecondLevelLook(Rec("a", "0"), 1, 0).expanded);
    EXPECT_EQ(SecondLevelLook(Rec("a", "1"), 1, 0).image, kChecked);
    EXPECT_TRUE(SecondLevelLook(Rec("a", "2"), 1, 0).expanded);
    Look chosen = SecondLevelLook(Rec("a", "4"), 2, 2);
    EXPECT_EQ(chosen.image, kRadioOn);
    EXPECT_TRUE(chosen.bold);
    Look other = SecondLevelLook(Rec("b", "3"), 3, 2);
    EXPECT_EQ(other.image, kRadioOff);
    EXPECT_FALSE(other.bold);
    EXPECT_TRUE(SecondLevelLook(Rec("c ?", "3"), 3, 2).bold) << "editable entries are bold";
    EXPECT_FALSE(DynamicSecondLevelLook(Rec("a", "2"), 1, 0).expanded);
}

TEST(ListFieldStates, ThirdLevelUnderActiveAndInactiveParents) {
    Record active = Rec("p", "1", 2), inactive = Rec("p", "0", 2);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "0"), 2, active).image, kRadioOn);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "0"), 1, active).image, kRadioOff);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "0"), 2, inactive).image, kInactiveOn);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "0"), 1, inactive).image, kInactiveOff);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "2"), 1, active).image, kNone);
    EXPECT_TRUE(ThirdLevelLook(Rec("a", "1"), 1, active).bold);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "128"), 1, inactive).image, kUnchecked);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "129"), 1, active).image, kChecked);
    EXPECT_EQ(ThirdLevelLook(Rec("a", "200"), 1, active).image, kNone) << "no image past the strip";
    EXPECT_EQ(DynamicThirdLevelLook(Rec("a", "2"), 1, active).image, kNone);
    EXPECT_EQ(DynamicThirdLevelLook(Rec("a", "0"), 2, inactive).image, kInactiveOn);
}

TEST(ListFieldStates, ItemParametersCarryTheSubscripts) {
    EXPECT_EQ(ItemParam(1, 3, 0, 0), 3u);
    EXPECT_EQ(ItemParam(2, 3, 2, 1), 0x20003u);
    EXPECT_EQ(ItemParam(2, 3, 2, 4), 3u) << "radio entries stand by their position";
    unsigned third = ItemParam(3, 2, 1, 0);
    EXPECT_TRUE(ParamThird(third));
    EXPECT_EQ(ParamX(third), 2);
    EXPECT_EQ(ParamY(third), 1);
}

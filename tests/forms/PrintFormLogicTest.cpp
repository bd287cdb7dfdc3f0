#include "forms/PrintFormLogic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace vorlan::printform;

TEST(PrintFormLogic, KindIsTheSecondCharacter) {
    EXPECT_EQ(KindOf("WA"), Kind::View);
    EXPECT_EQ(KindOf("WB"), Kind::Open);
    EXPECT_EQ(KindOf("XS"), Kind::Pdf) << "the first character is not looked at";
    EXPECT_EQ(KindOf("WD"), Kind::Print);
    EXPECT_EQ(KindOf("WF"), Kind::Fax);
    EXPECT_EQ(KindOf("WZ"), Kind::MergeOnly);
    EXPECT_EQ(KindOf("WE"), Kind::Refused);
    EXPECT_EQ(KindOf("Wb"), Kind::None);
    EXPECT_EQ(KindOf("B"), Kind::None);
    EXPECT_EQ(KindOf(""), Kind::None);
}

TEST(PrintFormLogic, JobOptionsAreReadInOrderAndThreeAreTakenAway) {
    std::map<std::string, std::string> answers = {
        {line::kMulti, "1"},       {line::kPrint, "3"},     {line::kLocal, "10"},
        {line::kDir, "C:\\Out"},   {line::kName, "Brief"},  {line::kFilter, "BRIEF"},
        {line::kLoadDir, "C:\\T"}, {line::kSleep, "0"},     {line::kLayout, "1"}};
    std::vector<std::string> sent;
    JobOptions o = ReadJobOptions([&](const std::string& l) {
        sent.push_back(l);
        return answers[l];
    });
    EXPECT_EQ(sent, (std::vector<std::string>{line::kMulti, line::kPrint, line::kLocal, line::kDir, line::kName,
                                              line::kFilter, line::kLoadDir, line::kSleep, line::kLayout}));
    for (const char* taken : {line::kMulti, line::kPrint, line::kLocal})
        EXPECT_NE(std::string(taken).find(" K ^ZDR(%JOB,\"SAVE\","), std::string::npos) << taken;
    EXPECT_TRUE(o.onePerPart);
    EXPECT_EQ(o.print, "3");
    EXPECT_TRUE(o.local);
    EXPECT_EQ(o.dir, "C:\\Out\\");
    EXPECT_EQ(o.name, "Brief.rtf");
    EXPECT_EQ(o.sleepMs, 1000) << "no wait given is a second";
    EXPECT_TRUE(o.layoutOnly);

    answers = {{line::kLocal, "0"}, {line::kSleep, "250"}, {line::kLayout, "2"}, {line::kName, "x.RTF"}};
    o = ReadJobOptions([&](const std::string& l) { return answers[l]; });
    EXPECT_FALSE(o.onePerPart);
    EXPECT_FALSE(o.local);
    EXPECT_EQ(o.dir, "") << "no folder stays none";
    EXPECT_EQ(o.name, "x.RTF");
    EXPECT_EQ(o.sleepMs, 250);
    EXPECT_FALSE(o.layoutOnly);
}

TEST(PrintFormLogic, OutputFolderRulesInTheirOrder) {
    EXPECT_EQ(OutputFolderOf("C:\\Out\\", false, false), OutputFolder::Given);
    EXPECT_EQ(OutputFolderOf("C:\\Out\\", false, true), OutputFolder::Given);
    // Local with a folder and a single document: the program's folder, not the folder.
    EXPECT_EQ(OutputFolderOf("C:\\Out\\", true, false), OutputFolder::ProgramFolder);
    EXPECT_EQ(OutputFolderOf("", false, false), OutputFolder::ProgramFolder);
    EXPECT_EQ(OutputFolderOf("C:\\Out\\", true, true), OutputFolder::Temporary);
    EXPECT_EQ(OutputFolderOf("", true, true), OutputFolder::Temporary);
    EXPECT_EQ(OutputFolderOf("", false, true), OutputFolder::AsGiven);

    EXPECT_EQ(TemplateFolderOf("L", "U", "P"), "L");
    EXPECT_EQ(TemplateFolderOf("", "U", "P"), "U");
    EXPECT_EQ(TemplateFolderOf("", "", "P"), "P");
}

TEST(PrintFormLogic, OutputPaths) {
    EXPECT_EQ(OutputPathOf("C:\\Out\\", "Brief.rtf", false), "C:\\Out\\Brief.rtf");
    EXPECT_EQ(OutputPathOf("C:\\Out\\", "Brief.rtf", true), "C:\\Out\\Brief.rtf");
    EXPECT_EQ(OutputPathOf("C:\\Out\\", "", true), "C:\\Out\\") << "the generator names the parts";
    EXPECT_EQ(OutputPathOf("C:\\Out\\", "", false), "") << "a free name in the temporary folder";
    EXPECT_EQ(ProbeName(1), "VORLAN-Beleg#1.rtf");
    EXPECT_EQ(ProbeName(kProbeNames), "VORLAN-Beleg#99.rtf");
}

TEST(PrintFormLogic, RoundsThroughWord) {
    EXPECT_EQ(RoundsOf(""), 1);
    EXPECT_EQ(RoundsOf("3"), 3);
    EXPECT_EQ(RoundsOf("0"), 0);
    EXPECT_EQ(RoundsOf("-2"), 0);
    EXPECT_EQ(RoundsOf("x"), 0);
}

TEST(PrintFormLogic, NamesPdfAndFaxNumbers) {
    EXPECT_EQ(FileNameOf("C:\\Out\\Brief_030123.rtf"), "Brief_030123.rtf");
    EXPECT_EQ(FileNameOf("Brief.rtf"), "Brief.rtf");
    EXPECT_EQ(PdfPathOf("C:\\Out\\Brief.rtf"), "C:\\Out\\Brief.pdf");
    EXPECT_EQ(PdfPathOf("C:\\a.b\\Brief"), "C:\\a.b\\Brief.pdf");
    EXPECT_EQ(FaxNumberOf("C:\\Fax\\Brief_0301234567.rtf"), "0301234567");
    EXPECT_EQ(FaxNumberOf("C:\\Fax\\Kunde_A_+49 30 1234.rtf"), "+49 30 1234");
    EXPECT_EQ(FaxNumberOf("C:\\Fax_x\\Brief.rtf"), "") << "an underscore of the folder is no number";
    EXPECT_EQ(FaxNumberOf("C:\\Fax\\Brief_.rtf"), "");
    EXPECT_TRUE(HasDigit("+49 30"));
    EXPECT_FALSE(HasDigit("Brief"));
    EXPECT_FALSE(HasDigit(""));
    EXPECT_EQ(FaxTitleOf("Brief_1.rtf", true), "Microsoft Word - Brief_1.rtf");
    EXPECT_EQ(FaxTitleOf("Brief_1.rtf", false), "Brief_1.rtf");
}

TEST(PrintFormLogic, ServerLines) {
    EXPECT_EQ(FilePrinterLine(2), "W $G(^ZDR(%JOB,\"SAVE\",\"PRINTER\",2))");
    // A form or module not named answers 0 instead of failing on an empty subscript.
    EXPECT_EQ(std::string(line::kPdfForm),
              "W $S($G(%MI)=\"\"!($G(%FORM)=\"\"):0,1:$D(^ZFOPDF(%MI,\"PDF\",%FORM)))");
    EXPECT_TRUE(Exists("1"));
    EXPECT_TRUE(Exists("10"));
    EXPECT_FALSE(Exists("0"));
    EXPECT_FALSE(Exists(""));
    EXPECT_EQ(std::string(text::kNotOpened), "Das Dokument konnte nicht ge\xF6""ffnet werden! \nPfad: ");
}

#include "framework/PortWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(PortWriter, TheRecordsSettingsAreLaidOverThePortsOwn) {
    DCB dcb{};
    dcb.BaudRate = 1200;
    dcb.StopBits = ONESTOPBIT;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.fParity = TRUE;
    ApplyPortLine(dcb, fw::ParsePortRecord("COM2\xA7"
                                           "9600\xA7"
                                           "2\xA7"
                                           "7\xA7"
                                           "0"));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_FALSE(dcb.fParity) << "no parity, no parity check";

    // What the record cannot be read for stays as the port has it.
    ApplyPortLine(dcb, fw::ParsePortRecord("COM2\xA7schnell\xA7\xA7"
                                           "9\xA7"
                                           "2"));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_TRUE(dcb.fParity);
}

TEST(PortWriter, ANameThatIsNoPortIsNeverOpenedNotEvenAsAFile) {
    char folder[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(sizeof folder, folder), 0u);
    std::string file = std::string(folder) + "portwriter-test.bin";
    if (FILE* f = std::fopen(file.c_str(), "wb")) std::fclose(f);
    EXPECT_FALSE(CPortWriter::WriteOnce(file.c_str(), "x", 1));
    EXPECT_FALSE(CPortWriter::WriteOnce("", "x", 1));
    EXPECT_FALSE(CPortWriter::WriteOnce("COM200", "x", 1)) << "a port that does not exist";
    CPortWriter closed;
    EXPECT_FALSE(closed.SetLine(fw::PortLine{}));
    EXPECT_FALSE(closed.Write("x", 1));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    DeleteFileA(file.c_str());
}

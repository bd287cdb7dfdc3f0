#include "framework/PortName.h"

#include <gtest/gtest.h>

TEST(PortName, OnlyPortNamesCanOpen) {
    for (const char* good : {"COM1", "com2", "LPT1", "COM255", "\\\\.\\COM10", "\\\\.\\lpt3"})
        EXPECT_TRUE(fw::IsDevicePortName(good)) << good;
    for (const char* bad :
         {"", "COM", "COM0", "COM256", "COM01", "COM1:", "COM1 ", "CON", "NUL", "C:\\TEMP\\COM1", "COM1\\x",
          "\\\\.\\C:", "\\\\server\\COM1", "LPT1.txt", "AUX", "\\\\?\\COM1", "COMX"})
        EXPECT_FALSE(fw::IsDevicePortName(bad)) << bad;
}

TEST(PortName, DevicePathCarriesTheDevicePrefix) {
    EXPECT_EQ(fw::DevicePath("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(fw::DevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
    EXPECT_EQ(fw::DevicePath("C:\\x"), "");
}

namespace {
std::string Bytes(const fw::PortFrame& frame) {
    return std::string(frame.data(), frame.size());
}
} // namespace

TEST(PortName, FramesAreTwentyFiveBytesFilledWithZeros) {
    // A display line of 21 characters fills the frame with its CR last.
    std::string exact(21, 'x');
    EXPECT_EQ(Bytes(fw::TextPortFrame("\x1b"
                                      "FA",
                                      exact)),
              "\x1b"
              "FA" +
                  exact + "\r");
    // The cash drawer's head is one byte shorter: 22 characters fit.
    EXPECT_EQ(Bytes(fw::TextPortFrame("\x1b"
                                      "F",
                                      std::string(22, 'k'))),
              "\x1b"
              "F" +
                  std::string(22, 'k') + "\r");
    // Longer texts are cut at 25 bytes and lose their CR.
    EXPECT_EQ(Bytes(fw::TextPortFrame("\x1b"
                                      "F",
                                      std::string(23, 'k'))),
              "\x1b"
              "F" +
                  std::string(23, 'k'));
    EXPECT_EQ(Bytes(fw::TextPortFrame("", "")), std::string("\r") + std::string(24, '\0'));
    EXPECT_EQ(Bytes(fw::BoundedPortFrame("ab")), std::string("ab") + std::string(23, '\0'));
    EXPECT_EQ(Bytes(fw::BoundedPortFrame(std::string(100, 'z'))), std::string(25, 'z'));
}

TEST(PortName, PortRecordsGiveOnlyTheSettingsTheyCanBeReadFor) {
    fw::PortLine full = fw::ParsePortRecord("COM2\xA7"
                                            "9600\xA7"
                                            "2\xA7"
                                            "7\xA7"
                                            "2");
    EXPECT_EQ(full.name, "COM2");
    EXPECT_EQ(full.baud, 9600);
    EXPECT_EQ(full.stopBits, 2);
    EXPECT_EQ(full.byteSize, 7);
    EXPECT_EQ(full.parity, 2);

    struct Case {
        const char* record;
        long baud;
        int stopBits, byteSize, parity;
    } cases[] = {
        {"COM1", -1, -1, -1, -1},
        {"COM1\xA7\xA7\xA7\xA7", -1, -1, -1, -1},
        {"COM1\xA7neun\xA7"
         "1\xA7"
         "8",
         -1, 1, 8, -1},
        {"COM1\xA7-9600\xA7"
         "3\xA7"
         "9\xA7"
         "5",
         -1, -1, -1, -1},
        {"COM1\xA7"
         "99999999999999\xA7"
         "0\xA7"
         "4\xA7"
         "0\xA7"
         "extra",
         -1, 0, 4, 0},
        {"COM1\xA7"
         "0\xA7"
         "1 \xA7"
         "8x\xA7"
         "",
         -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        fw::PortLine line = fw::ParsePortRecord(c.record);
        EXPECT_EQ(line.name, "COM1") << c.record;
        EXPECT_EQ(line.baud, c.baud) << c.record;
        EXPECT_EQ(line.stopBits, c.stopBits) << c.record;
        EXPECT_EQ(line.byteSize, c.byteSize) << c.record;
        EXPECT_EQ(line.parity, c.parity) << c.record;
    }
    EXPECT_EQ(fw::ParsePortRecord("").name, "");
}

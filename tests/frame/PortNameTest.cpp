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

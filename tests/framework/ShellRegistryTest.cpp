// Shell launches that hand back the started process, against the launch logger registered
// for .rtf and .pdf, and other programs' registry values saved and put back with their type.
#include "framework/Registry.h"
#include "framework/ShellFiles.h"
#include "tests/com/LaunchLog.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

namespace {

const char* const kKey = "Software\\VORLAN-Test\\Saved";

void DeleteTestKey() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VORLAN-Test");
}

} // namespace

TEST(ShellLaunch, VerbStartsTheTypesProgramAndHandsBackItsProcess) {
    ASSERT_FALSE(launchlog::LoggerPath().empty()) << "the fixture registered the logger";
    launchlog::Clear();
    std::string folder = harness::FreshFolder("shelllaunch");
    harness::WriteTextFile(folder + "Brief.rtf", "{\\rtf1 Brief}");
    harness::WriteTextFile(folder + "Brief.pdf", "%PDF-1.4\n");
    {
        fw::CShellProcess process;
        ASSERT_TRUE(fw::ShellExecuteProcess(nullptr, "open", folder + "Brief.rtf", "", folder,
                                            SW_SHOWMINNOACTIVE, process));
        ASSERT_NE(process.Handle(), nullptr);
        EXPECT_TRUE(process.Wait(20000));
        DWORD code = 1;
        EXPECT_TRUE(::GetExitCodeProcess(process.Handle(), &code));
        EXPECT_EQ(code, 0u);
        ASSERT_TRUE(
            fw::ShellExecuteProcess(nullptr, "print", folder + "Brief.pdf", "", "", SW_HIDE, process));
        HANDLE kept = process.Detach();
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(process.Handle(), nullptr);
        EXPECT_EQ(::WaitForSingleObject(kept, 20000), WAIT_OBJECT_0);
        ::CloseHandle(kept);
    }
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(2);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, folder + "Brief.rtf");
    EXPECT_EQ(launches[0].show, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(launches[0].folder + "\\", folder) << "the working folder";
    EXPECT_EQ(launches[1].verb, "print");
    EXPECT_EQ(launches[1].show, SW_HIDE);
}

TEST(ShellLaunch, MissingFileStartsNothing) {
    fw::CShellProcess process;
    process.Attach(::OpenProcess(SYNCHRONIZE, FALSE, ::GetCurrentProcessId()));
    EXPECT_FALSE(fw::ShellExecuteProcess(nullptr, "open", harness::FreshFolder("shellmissing") + "fehlt.rtf",
                                         "", "", SW_SHOWNORMAL, process));
    EXPECT_EQ(process.Handle(), nullptr) << "an earlier process is let go";
    EXPECT_TRUE(process.Wait(0));
}

TEST(SavedRegistryValue, ComesBackWithItsTypeOrGoesWhenItWasAbsent) {
    DeleteTestKey();
    fw::RegSavedValue absent = fw::RegSaveValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint");
    EXPECT_FALSE(absent.present);
    ASSERT_TRUE(
        fw::RegPutValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint", {true, REG_SZ, std::string("0", 2)}));
    EXPECT_TRUE(fw::RegSaveValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint").present);
    ASSERT_TRUE(fw::RegRestoreValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint", absent));
    EXPECT_FALSE(fw::RegSaveValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint").present) << "removed again";
    EXPECT_TRUE(fw::RegRestoreValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint", absent))
        << "nothing to remove";

    DWORD one = 1;
    ASSERT_TRUE(
        fw::RegPutValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint",
                        {true, REG_DWORD, std::string(reinterpret_cast<const char*>(&one), sizeof one)}));
    fw::RegSavedValue dword = fw::RegSaveValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint", 128);
    ASSERT_TRUE(dword.present);
    EXPECT_EQ(dword.type, static_cast<DWORD>(REG_DWORD));
    ASSERT_TRUE(
        fw::RegPutValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint", {true, REG_SZ, std::string("0", 2)}));
    ASSERT_TRUE(fw::RegRestoreValue(HKEY_CURRENT_USER, kKey, "BackgroundPrint", dword));
    HKEY key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(
        ::RegQueryValueExA(key, "BackgroundPrint", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);

    ASSERT_TRUE(fw::RegPutValue(HKEY_CURRENT_USER, kKey, "Lang", {true, REG_BINARY, std::string(300, 'x')}));
    fw::RegSavedValue cut = fw::RegSaveValue(HKEY_CURRENT_USER, kKey, "Lang", 128);
    EXPECT_EQ(cut.data, std::string(128, 'x')) << "only as much as asked is kept";
    EXPECT_EQ(cut.type, static_cast<DWORD>(REG_BINARY));
    DeleteTestKey();
}

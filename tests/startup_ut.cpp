// Start-up decisions: which start runs and which hands over, and where the
// settings files live with and without an application-data folder.
#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"

namespace {

TEST(Startup, InstanceRoleFollowsTheMutex) {
    struct Row {
        const char* name;
        bool created;
        uint32_t error;
        InstanceRole role;
    };
    const Row rows[] = {
        {"first start", true, 0, kInstanceFirst},
        {"second start", true, kErrorAlreadyExists, kInstanceHandOver},
        {"a copy runs as administrator", false, kErrorAccessDenied, kInstanceHandOver},
        {"mutex impossible for another reason", false, 87, kInstanceFirst},
        {"created with an unrelated error left over", true, kErrorAccessDenied, kInstanceFirst},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.role, DecideInstanceRole(row.created, row.error));
    }
}

TEST(Startup, SettingsPathsAlwaysNameAFolder) {
    struct Row {
        const char* name;
        const wchar_t* appData;
        const wchar_t* working;
        std::wstring folder, config, miras;
    };
    const Row rows[] = {
        {"application data", L"C:\\Users\\Jo\u00e3o\\AppData\\Roaming", L"C:\\Jogos",
         L"C:\\Users\\Jo\u00e3o\\AppData\\Roaming\\Zavik Crosshair",
         L"C:\\Users\\Jo\u00e3o\\AppData\\Roaming\\Zavik Crosshair\\config.ini",
         L"C:\\Users\\Jo\u00e3o\\AppData\\Roaming\\Zavik Crosshair\\miras.ini"},
        {"working folder", nullptr, L"D:\\Jogos\\Mira", L"D:\\Jogos\\Mira",
         L"D:\\Jogos\\Mira\\config.ini", L"D:\\Jogos\\Mira\\miras.ini"},
        {"working folder at a drive's root", nullptr, L"E:\\", L"E:\\", L"E:\\config.ini",
         L"E:\\miras.ini"},
        {"no folder known at all", nullptr, L"", L"", L"config.ini", L"miras.ini"},
        {"no working folder text", nullptr, nullptr, L"", L"config.ini", L"miras.ini"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsPaths paths;
        ComposeSettingsPaths(row.appData, row.working, &paths);
        EXPECT_EQ(row.folder, paths.folder);
        EXPECT_EQ(row.config, paths.config);
        EXPECT_EQ(row.miras, paths.miras);
    }
}

}  // namespace

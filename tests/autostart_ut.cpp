// The start-with-Windows Run value: quoted path, tray switch, bounds and the
// registry byte length; and the first byte of Windows' switch record.
#include <gtest/gtest.h>

#include <wchar.h>

#include <string>
#include <vector>

#include "state/autostart.h"

namespace {

struct RunValueRow {
    const char* name;
    std::wstring path;
    std::wstring expected;
};

TEST(Autostart, RunValueQuotesThePath) {
    const std::wstring long260 = L"C:\\" + std::wstring(257, L'p');
    const RunValueRow rows[] = {
        {"plain path", L"C:\\Apps\\ZavikCrosshair.exe",
         L"\"C:\\Apps\\ZavikCrosshair.exe\" --bandeja"},
        {"path with blanks", L"C:\\Program Files\\Zavik Crosshair\\Zavik Crosshair.exe",
         L"\"C:\\Program Files\\Zavik Crosshair\\Zavik Crosshair.exe\" --bandeja"},
        {"accented folder", L"C:\\Users\\Jo\u00e3o\\Mira.exe",
         L"\"C:\\Users\\Jo\u00e3o\\Mira.exe\" --bandeja"},
        {"260-character path fits whole", long260, L"\"" + long260 + L"\" --bandeja"},
        {"empty path", L"", L"\"\" --bandeja"},
    };
    for (const RunValueRow& row : rows) {
        SCOPED_TRACE(row.name);
        wchar_t buf[kRunValueChars];
        wmemset(buf, L'#', kRunValueChars);
        FormatRunValue(row.path.c_str(), buf, kRunValueChars);
        EXPECT_EQ(row.expected, std::wstring(buf));
        EXPECT_EQ((row.expected.size() + 1) * 2, RunValueByteLength(buf));
    }
}

TEST(Autostart, OverlongPathIsCutTo275Characters) {
    std::wstring path = L"C:\\" + std::wstring(400, L'q');
    wchar_t buf[kRunValueChars];
    FormatRunValue(path.c_str(), buf, kRunValueChars);
    EXPECT_EQ(275u, wcslen(buf));
    EXPECT_EQ(L'"', buf[0]);
    EXPECT_EQ(276u * 2, RunValueByteLength(buf));
}

TEST(Autostart, ByteLengthCountsTheTerminator) {
    EXPECT_EQ(2u, RunValueByteLength(L""));
    EXPECT_EQ(4u, RunValueByteLength(L"a"));
    EXPECT_EQ(78u, RunValueByteLength(L"\"C:\\Apps\\ZavikCrosshair.exe\" --bandeja"));
}


TEST(Autostart, SwitchRecordIsOffWhenTheLowestBitOfItsFirstByteIsSet) {
    const struct {
        const char* name;
        std::vector<uint8_t> record;
        bool off;
    } rows[] = {
        {"switched on in Task Manager", {2, 0, 0, 0, 0x4D, 0x7A, 0x10, 0xB2, 0x9C, 0x4D, 0xDA, 1},
         false},
        {"switched off in Task Manager", {3, 0, 0, 0, 0x4D, 0x7A, 0x10, 0xB2, 0x9C, 0x4D, 0xDA, 1},
         true},
        {"other even first byte", {0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},
        {"other odd first byte", {0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
        {"only the first byte counts", {0x00, 0xFF, 0xFF}, false},
        {"one byte", {0x01}, true},
        {"empty", {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.off, StartupRecordSaysOff(row.record.data(), (uint32_t)row.record.size()));
    }
    EXPECT_FALSE(StartupRecordSaysOff(kStartupOnRecord, kStartupRecordBytes));
}

}  // namespace

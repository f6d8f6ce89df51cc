// Windows-side checks of what the program hands to the shell for its tray
// icon: the menu it builds, the icon record after an add, and the balloon
// fields. Neither the icon, its tip, its menu nor a balloon can be read on the
// screen from outside, so these call the program's own functions, linked into
// this runner, and look at what they produce.
#include <stddef.h>
#include <string.h>

#include "app/app_win.h"
#include "state/change.h"
#include "harness.h"

using namespace e2e;

namespace {

const wchar_t kMessageOnlyClass[] = L"ZavikE2eTrayOwner";
const wchar_t kTip[] = ZAVIK_TITLE L" - Ctrl + O liga/desliga";
const wchar_t kOpenText[] = L"Abrir o " ZAVIK_TITLE L"...";
const wchar_t kQuitText[] = L"Sair";
const UINT kAddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
const DWORD kBalloonFlags = 0x24;  // NIIF_USER | NIIF_LARGE_ICON
const DWORD kQuietTime = 0x80;     // NIIF_RESPECT_QUIET_TIME
enum {
    kMenuItems = 4,
    kMenuTextChars = 128,
    kTitleLimit = 63,
    kTextLimit = 255,
    kVkF5 = VK_F5,
    kModCtrlShift = kModControl | kModShift,
};

std::wstring Repeated(size_t count) {
    std::wstring s;
    for (size_t i = 0; i < count; ++i) s += (wchar_t)(L'a' + i % 26);
    return s;
}

struct MenuItem {
    UINT id = 0;
    UINT type = 0;
    UINT state = 0;
    std::wstring text;
};

MenuItem ReadMenuItem(HMENU menu, int position) {
    wchar_t text[kMenuTextChars] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = kMenuTextChars;
    MenuItem item;
    if (!GetMenuItemInfoW(menu, (UINT)position, TRUE, &info)) return item;
    item.id = info.wID;
    item.type = info.fType;
    item.state = info.fState;
    item.text = text;
    return item;
}

::testing::AssertionResult IsTextItem(const MenuItem& item, UINT id, const std::wstring& text) {
    if (item.type & MFT_SEPARATOR) return ::testing::AssertionFailure() << "a separator";
    if (item.id != id)
        return ::testing::AssertionFailure() << "id " << item.id << ", expected " << id;
    if (item.text != text)
        return ::testing::AssertionFailure()
               << "text \"" << Utf8(item.text) << "\", expected \"" << Utf8(text) << "\"";
    return ::testing::AssertionSuccess();
}

// The program's globals belong to the program; each case puts them back.
class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        savedApp_ = g_app;
        savedTop_ = g_top;
        savedOptions_ = g_options;
        savedIcon_ = g_trayIcon;
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kMessageOnlyClass;
        RegisterClassExW(&wc);  // an earlier case may have registered it already
        owner_ = CreateWindowExW(0, kMessageOnlyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_TRUE(owner_);
        g_app.messageWindow = owner_;
        g_top.smallIcon = LoadIconW(nullptr, (LPCWSTR)IDI_APPLICATION);
        g_app.largeIcon = LoadIconW(nullptr, (LPCWSTR)IDI_INFORMATION);
        ResetEverything();
    }

    void TearDown() override {
        if (added_) DeleteTrayIcon();
        if (owner_) DestroyWindow(owner_);
        g_app = savedApp_;
        g_top = savedTop_;
        ChangeOption(kOptionEnabled, savedOptions_.enabled);
        ChangeHotkey(savedOptions_.hotkeyKey, savedOptions_.hotkeyModifiers);
        g_trayIcon = savedIcon_;
    }

    AppWin savedApp_;
    AppTop savedTop_;
    AppOptions savedOptions_;
    NOTIFYICONDATAW savedIcon_;
    HWND owner_ = nullptr;
    bool added_ = false;
};

TEST_F(Tray, MenuShowsTheStateAndTheHotkey) {
    struct Row {
        const char* name;
        int32_t enabled;
        int32_t key, modifiers;
        const wchar_t* toggleText;
        bool checked;
    };
    const Row rows[] = {
        {"enabled", 1, 'O', 2, L"Mira ligada\tCtrl + O", true},
        {"disabled", 0, 'O', 2, L"Mira ligada\tCtrl + O", false},
        {"enabled with Ctrl+Shift+F5", 1, kVkF5, kModCtrlShift, L"Mira ligada\tCtrl + Shift + F5",
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ChangeOption(kOptionEnabled, row.enabled);
        ChangeHotkey(row.key, row.modifiers);
        HMENU menu = BuildTrayMenu();
        ASSERT_TRUE(menu);
        EXPECT_EQ(kMenuItems, GetMenuItemCount(menu));
        MenuItem toggle = ReadMenuItem(menu, 0);
        EXPECT_TRUE(IsTextItem(toggle, kCmdToggle, row.toggleText));
        EXPECT_EQ(row.checked, (toggle.state & MFS_CHECKED) != 0);
        EXPECT_TRUE(IsTextItem(ReadMenuItem(menu, 1), kCmdOpenSettings, kOpenText));
        EXPECT_TRUE(ReadMenuItem(menu, 2).type & MFT_SEPARATOR) << "no separator before Sair";
        EXPECT_TRUE(IsTextItem(ReadMenuItem(menu, 3), kCmdQuit, kQuitText));
        EXPECT_EQ((UINT)kCmdOpenSettings, GetMenuDefaultItem(menu, FALSE, 0));
        EXPECT_TRUE(ReadMenuItem(menu, 1).state & MFS_DEFAULT);
        DestroyMenu(menu);
    }
}

TEST_F(Tray, AddFillsTheRecordFromScratch) {
    // A notice shown before, as after a restart of the taskbar.
    ShowBalloon(L"título antigo", L"texto antigo", false);
    memset(&g_trayIcon.guidItem, 0x5A, sizeof g_trayIcon.guidItem);
    AddTrayIcon();
    added_ = true;
    const NOTIFYICONDATAW& r = g_trayIcon;
    // The full current record: the one that ends with hBalloonIcon.
    EXPECT_EQ(sizeof(NOTIFYICONDATAW), (size_t)r.cbSize);
    EXPECT_EQ(offsetof(NOTIFYICONDATAW, hBalloonIcon) + sizeof(HICON), (size_t)r.cbSize);
    EXPECT_EQ(owner_, r.hWnd);
    EXPECT_EQ(1u, r.uID);
    EXPECT_EQ(0x8001u, r.uCallbackMessage);
    EXPECT_EQ(kAddFlags, r.uFlags);
    EXPECT_EQ(g_top.smallIcon, r.hIcon);
    EXPECT_EQ(Utf8(kTip), Utf8(r.szTip));
    EXPECT_EQ(0u, r.uVersion) << "no callback version is asked for";
    EXPECT_EQ(L'\0', r.szInfoTitle[0]) << "the old notice title survived the add";
    EXPECT_EQ(L'\0', r.szInfo[0]) << "the old notice text survived the add";
    GUID zero = {};
    EXPECT_EQ(0, memcmp(&zero, &r.guidItem, sizeof zero)) << "members not cleared";
}

TEST_F(Tray, AddWhileTheShellStillHasTheIconRefreshesItsTip) {
    ASSERT_TRUE(AddTrayIcon());
    added_ = true;
    // As after a DPI change: the taskbar announces itself but kept the icon.
    ChangeHotkey(kVkF5, kModCtrlShift);
    KeepTrayIcon();
    EXPECT_EQ(Utf8(ZAVIK_TITLE L" - Ctrl + Shift + F5 liga/desliga"), Utf8(g_trayIcon.szTip));
    EXPECT_EQ(kAddFlags, g_trayIcon.uFlags);
    EXPECT_FALSE(KillTimer(owner_, kTrayRetryTimerId)) << "a retry was left running";
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &g_trayIcon)) << "the shell lost the icon";
}

TEST_F(Tray, BalloonCutsTitleAndText) {
    struct Row {
        const char* name;
        size_t titleChars, textChars;
        bool unprompted = false;  // raised without the player: quiet time respected
    };
    const Row rows[] = {
        {"short", 15, 60},
        {"exactly full", kTitleLimit, kTextLimit},
        {"one over", kTitleLimit + 1, kTextLimit + 1},
        {"title of 70, text of 300", 70, 300},
        {"raised by the program itself", 15, 60, true},
    };
    AddTrayIcon();
    added_ = true;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::wstring title = Repeated(row.titleChars), text = Repeated(row.textChars);
        ShowBalloon(title.c_str(), text.c_str(), row.unprompted);
        EXPECT_EQ((UINT)NIF_INFO, g_trayIcon.uFlags);
        EXPECT_EQ(Utf8(title.substr(0, kTitleLimit)), Utf8(g_trayIcon.szInfoTitle));
        EXPECT_EQ(Utf8(text.substr(0, kTextLimit)), Utf8(g_trayIcon.szInfo));
        EXPECT_EQ(L'\0', g_trayIcon.szInfoTitle[kTitleLimit]);
        EXPECT_EQ(L'\0', g_trayIcon.szInfo[kTextLimit]);
        EXPECT_EQ(kBalloonFlags | (row.unprompted ? kQuietTime : 0), g_trayIcon.dwInfoFlags);
        EXPECT_EQ(g_app.largeIcon, g_trayIcon.hBalloonIcon);
        EXPECT_EQ(Utf8(kTip), Utf8(g_trayIcon.szTip)) << "a notice changed the tip";
    }
}


}  // namespace

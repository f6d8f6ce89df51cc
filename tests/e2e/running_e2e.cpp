// End-to-end cases of the running program: the crosshair follows a game
// window in front (by class or by process image name), the toggle hotkey, the
// aiming mode, showing outside the game, the hand-off of a second start (also
// to a copy whose mutex it may not open), the tray icon across a new taskbar,
// the tray menu, "Sair", and a change of the display's resolution.
#include "harness.h"

#include <aclapi.h>
#include <shellapi.h>

#include "state/identity.h"
#include "overlay/placement.h"

using namespace e2e;

namespace {

const wchar_t kTraySwitch[] = ZAVIK_TRAY_SWITCH;
const wchar_t kGameClass[] = L"grcWindow";
// Not the game's class, so that only the process image name can identify it.
const wchar_t kOtherClass[] = L"ZavikFakeOther";
const wchar_t kFakeGame[] = L"fakegame.exe";
const wchar_t kClicksMessage[] = L"ZavikFakeGameClicks";  // answered with the clicks so far
const COLORREF kGameColour = RGB(0x20, 0x40, 0x60);
const wchar_t kGameColourArg[] = L"204060";
const COLORREF kOtherColour = RGB(200, 180, 40);
const RECT kOtherRect = {1500, 800, 1900, 1060};  // clear of the game and of the centre

// The game's client area: (100, 50)-(1380, 770), so the window of the
// crosshair sits at (580, 250) and the crosshair is drawn for a height of 720.
enum {
    kGameX = 100, kGameY = 50, kGameW = 1280, kGameH = 720,
    kOnGameX = 580, kOnGameY = 250,
    kCentredX = 800, kCentredY = 380, kScreenHeight = 1080,
    kTooNarrow = 639, kNarrowest = 640,
};
const DWORD kWithinSecondMs = 1000;
const wchar_t kMutexName[] = ZAVIK_MUTEX_NAME;
const wchar_t kTaskbarCreated[] = L"TaskbarCreated";
const wchar_t kMenuClass[] = L"#32768";
// Where a click lands clear of the tray menu, which opens at the parked pointer.
const RECT kClickRect = {200, 200, 600, 600};
const DWORD kBroadcastMs = 5000;
// A right click inside the game, away from the crosshair.
const POINT kAimPoint = {300, 700};

struct Game {
    Process process;
    HWND window = nullptr;
};

std::wstring GameArguments(const wchar_t* className) {
    return std::wstring(L"--class ") + className + L" --x " + std::to_wstring(kGameX) +
           L" --y " + std::to_wstring(kGameY) + L" --w " + std::to_wstring(kGameW) + L" --h " +
           std::to_wstring(kGameH) + L" --colour " + kGameColourArg;
}


class Running : public E2eCase {
protected:
    // The program with an existing settings file, started for the tray so
    // that no settings window takes the foreground or covers the game.
    Process StartWithSettings(
        std::initializer_list<std::pair<const char*, const char*>> overrides = {}) {
        EXPECT_TRUE(WriteSettingsText(L"config.ini", ConfigText(overrides).c_str()));
        Process p = StartProgramAndWait(kTraySwitch);
        overlay_ = p.process ? WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs) : nullptr;
        EXPECT_TRUE(overlay_) << "no overlay window";
        return p;
    }

    // Starts a fake game (exe and class as given) and brings it to the front.
    Game StartGame(const std::wstring& exe = HelperPath(kFakeGame),
                   const wchar_t* className = kGameClass, const std::wstring& extra = L"") {
        Game g;
        g.process = Start(exe, GameArguments(className) + extra);
        if (!g.process.process) return g;
        g.window = WaitForTopLevel(className, g.process.pid, kStartMs);
        EXPECT_TRUE(g.window) << "the fake game's window did not appear";
        if (g.window) {
            EXPECT_TRUE(BringToFront(g.window));
        }
        return g;
    }

    HWND Other() {
        if (!other_) other_ = CreateColourWindow(kOtherColour, kOtherRect);
        return other_;
    }

    std::string Enabled() {
        return IniValue(ReadSettingsText(L"config.ini"), "Opcoes", "ligada");
    }

    HWND overlay_ = nullptr;
    HWND other_ = nullptr;
};

// Whether the shell holds the icon of the program's message window: a change
// of nothing succeeds only for an icon it has.
bool ShellHasIcon(HWND messageWindow) {
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = messageWindow;
    icon.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

void ForgetIcon(HWND messageWindow) {
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = messageWindow;
    icon.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &icon);
}

// As a copy started as administrator keeps it from a normal start: nobody may
// open the mutex any more (the running copy's own handle keeps working).
bool LockMutexAgainstOpening() {
    HANDLE mutex = OpenMutexW(WRITE_DAC, FALSE, kMutexName);
    if (!mutex) return false;
    ACL empty;
    bool locked = InitializeAcl(&empty, sizeof empty, ACL_REVISION) &&
                  SetSecurityInfo(mutex, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, &empty, nullptr) == ERROR_SUCCESS;
    CloseHandle(mutex);
    return locked;
}

// What a start of the program meets: no handle, and access denied.
::testing::AssertionResult MutexRefusesAStart() {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kMutexName);
    DWORD error = GetLastError();
    if (mutex) {
        CloseHandle(mutex);  // a handle left open would keep the mutex for later cases
        return ::testing::AssertionFailure() << "the mutex still opens (error " << error << ")";
    }
    if (error != ERROR_ACCESS_DENIED)
        return ::testing::AssertionFailure() << "error " << error << ", not access denied";
    return ::testing::AssertionSuccess();
}

TEST_F(Running, GameInFrontShowsTheCrosshairOnItsClientArea) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    EXPECT_TRUE(MovesTo(overlay_, kOnGameX, kOnGameY, kReactMs));
    EXPECT_TRUE(ScreenShowsImageWithin(kOnGameX, kOnGameY,
                                       RenderOverlay(kBuiltinPresets[0].settings, kGameH),
                                       kGameColour, kReactMs));
}

TEST_F(Running, ClickOnTheCrosshairReachesTheGame) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    const std::wstring clicks = CaseTempFolder() + L"\\clicks.txt";
    Game game = StartGame(HelperPath(kFakeGame), kGameClass, L" --clicks \"" + clicks + L"\"");
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    ASSERT_TRUE(MovesTo(overlay_, kOnGameX, kOnGameY, kReactMs));
    // The crosshair's own centre pixel, opaque, right over the game's centre.
    const int x = kGameX + kGameW / 2, y = kGameY + kGameH / 2;
    SetCursorPos(x, y);
    LeftClick();
    const UINT countMessage = RegisterWindowMessageW(kClicksMessage);
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(game.window, countMessage, 0, 0) == 1; },
                        kReactMs))
        << "the game got no click";
    EXPECT_EQ("L " + std::to_string(x) + " " + std::to_string(y) + "\r\n",
              ReadFileBytes(clicks));
    EXPECT_EQ(game.window, GetForegroundWindow()) << "the crosshair took the foreground";
}

TEST_F(Running, AnotherWindowInFrontHidesTheCrosshair) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    ASSERT_TRUE(IsForegroundWithin(Other(), kReactMs));
    EXPECT_TRUE(BecomesVisible(overlay_, false, kWithinSecondMs));
    ASSERT_TRUE(BringToFront(game.window));
    EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
}

TEST_F(Running, TooNarrowGameShowsNothing) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(game.window, nullptr, 0, 0, kTooNarrow, kGameH, flags);
    EXPECT_TRUE(BecomesVisible(overlay_, false, kWithinSecondMs)) << "639 wide";
    SetWindowPos(game.window, nullptr, 0, 0, kNarrowest, kGameH, flags);
    EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs)) << "640 wide";
    // The centre of (100, 50)-(740, 770).
    EXPECT_TRUE(MovesTo(overlay_, kGameX + kNarrowest / 2 - kOverlayHalf, kOnGameY, kReactMs));
}

TEST_F(Running, CrosshairFollowsTheGameMovedByOnePixel) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(MovesTo(overlay_, kOnGameX, kOnGameY, kWithinSecondMs));
    SetWindowPos(game.window, nullptr, kGameX + 1, kGameY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(MovesTo(overlay_, kOnGameX + 1, kOnGameY, kWithinSecondMs));
    SetWindowPos(game.window, nullptr, kGameX + 1, kGameY + 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(MovesTo(overlay_, kOnGameX + 1, kOnGameY + 1, kWithinSecondMs));
}

TEST_F(Running, GameRecognisedByProcessImageName) {
    struct Row {
        const wchar_t* folder;  // one folder each: names differing in case collide
        const wchar_t* fileName;
        bool recognised;
    };
    const Row rows[] = {
        {L"upper", L"GTA5.exe", true},
        {L"lower", L"gta5.EXE", true},
        {L"process", L"x_GtaProcess_y.exe", true},
        {L"old", L"gta5.exe.old", false},
        {L"prefixed", L"mygta5.exe", false},
    };
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.fileName));
        std::wstring folder = CaseTempFolder() + L"\\" + row.folder;
        CreateDirectoryW(folder.c_str(), nullptr);
        std::wstring exe = folder + L"\\" + row.fileName;
        ASSERT_TRUE(CopyFileW(HelperPath(kFakeGame).c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(BringToFront(Other()));
        ASSERT_TRUE(BecomesVisible(overlay_, false, kWithinSecondMs));
        Game game = StartGame(exe, kOtherClass);
        ASSERT_TRUE(game.window);
        if (row.recognised) {
            EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
        } else {
            EXPECT_TRUE(StaysVisible(overlay_, false, kQuietMs));
        }
        ASSERT_TRUE(BringToFront(Other()));
        Kill(game.process);
    }
}

TEST_F(Running, HotkeyTogglesWithTheGameInFront) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    EXPECT_TRUE(BecomesVisible(overlay_, false, kReactMs));
    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "1", kReactMs));
    EXPECT_TRUE(BecomesVisible(overlay_, true, kReactMs));
}

TEST_F(Running, HotkeyDoesNothingWithAnotherWindowInFront) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    ASSERT_TRUE(IsForegroundWithin(Other(), kReactMs));
    ASSERT_TRUE(BecomesVisible(overlay_, false, kWithinSecondMs));
    PressKeys({VK_CONTROL, 'O'});
    PumpFor(kQuietMs);
    EXPECT_EQ("1", Enabled());
    ASSERT_TRUE(BringToFront(game.window));
    EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs)) << "the crosshair was switched off";
}

TEST_F(Running, HoldingTheHotkeyTogglesOnce) {
    if (RunningUnderWine()) GTEST_SKIP() << "Wine ignores MOD_NOREPEAT: a held hotkey repeats";
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    // Injected keys do not repeat by themselves: send the repeats a held key makes.
    struct Stroke {
        WORD key;
        DWORD flags;
    };
    const Stroke strokes[] = {
        {VK_CONTROL, 0}, {'O', 0}, {'O', 0}, {'O', 0}, {'O', 0},
        {'O', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP},
    };
    std::vector<INPUT> inputs;
    for (const Stroke& s : strokes) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = s.key;
        in.ki.dwFlags = s.flags;
        inputs.push_back(in);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    PumpFor(kQuietMs);
    EXPECT_EQ("0", Enabled());
}

TEST_F(Running, HotkeyHeldByAnotherProgramFailsQuietly) {
    ASSERT_TRUE(HoldTestHotkey(MOD_CONTROL, 'O'));
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    PressKeys({VK_CONTROL, 'O'});
    PumpFor(kQuietMs);
    EXPECT_EQ("1", Enabled());
    EXPECT_TRUE(IsRunning(p));
    EXPECT_TRUE(IsWindowVisible(overlay_));

    // Every tick with the game in front tries again.
    ReleaseTestHotkeys();
    PumpFor(kQuietMs);
    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    EXPECT_TRUE(BecomesVisible(overlay_, false, kReactMs));
}

TEST_F(Running, AimingModeShowsOnlyWhileTheRightButtonIsHeld) {
    Process p = StartWithSettings({{"so_mirando", "1"}});
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    SetCursorPos(kAimPoint.x, kAimPoint.y);
    EXPECT_TRUE(StaysVisible(overlay_, false, kQuietMs)) << "button up";
    RightButton(true);
    EXPECT_TRUE(BecomesVisible(overlay_, true, kReactMs)) << "button down";
    EXPECT_TRUE(StaysVisible(overlay_, true, kQuietMs)) << "button still down";
    RightButton(false);
    EXPECT_TRUE(BecomesVisible(overlay_, false, kReactMs)) << "button released";
}

// While aiming the tick runs every 15 ms but reads the game's client area at
// most every 200 ms: a moved game is still followed, within a second.
TEST_F(Running, AimingModeFollowsTheGameMovedWhileTheButtonIsHeld) {
    Process p = StartWithSettings({{"so_mirando", "1"}});
    ASSERT_TRUE(p.process);
    Game game = StartGame();
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(MovesTo(overlay_, kOnGameX, kOnGameY, kWithinSecondMs));  // placed while hidden
    SetCursorPos(kAimPoint.x, kAimPoint.y);
    RightButton(true);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kReactMs));
    SetWindowPos(game.window, nullptr, kGameX + 1, kGameY + 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(MovesTo(overlay_, kOnGameX + 1, kOnGameY + 1, kWithinSecondMs));
    EXPECT_TRUE(IsWindowVisible(overlay_));
}

TEST_F(Running, ShownOutsideTheGameWhenNotOnlyWithTheGame) {
    CreateColourWindow(kOtherColour, RECT{560, 240, 1360, 840});
    Process p = StartWithSettings({{"so_com_fivem", "0"}});
    ASSERT_TRUE(p.process);
    EXPECT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
    EXPECT_TRUE(HasWindowRect(overlay_, kCentredX, kCentredY, kOverlaySize, kOverlaySize));
    EXPECT_TRUE(ScreenShowsImageWithin(kCentredX, kCentredY,
                                       RenderOverlay(kBuiltinPresets[0].settings, kScreenHeight),
                                       kOtherColour, kReactMs + kWithinSecondMs));
}

TEST_F(Running, SecondStartOpensOrRaisesTheSettingsWindow) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    PumpFor(kQuietMs);
    ASSERT_FALSE(FindSettingsWindow(p.pid)) << "started for the tray with a settings file";

    Process second = StartProgram(kTraySwitch);
    DWORD code = 0xDEAD;
    EXPECT_TRUE(WaitExit(second, kExitMs, &code));
    EXPECT_EQ(0u, code);
    HWND settings = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kReactMs);
    ASSERT_TRUE(settings) << "no settings window after the hand-off";
    EXPECT_TRUE(BecomesVisible(settings, true, kReactMs));
    EXPECT_EQ(1, CountMessageWindows());

    ASSERT_TRUE(IsForegroundWithin(Other(), kReactMs));
    Process third = StartProgram();
    EXPECT_TRUE(WaitExit(third, kExitMs, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(IsForegroundWithin(settings, kReactMs));
    EXPECT_EQ(settings, FindSettingsWindow(p.pid)) << "a second settings window";
    // The raise passes through the topmost band; it must not stay there.
    EXPECT_TRUE(WaitFor([&] { return !(ExStyleOf(settings) & WS_EX_TOPMOST); }, kReactMs))
        << "left always on top";
}

TEST_F(Running, StartThatMayNotOpenTheMutexHandsOver) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    ASSERT_TRUE(LockMutexAgainstOpening());
    ASSERT_TRUE(MutexRefusesAStart());
    Process second = StartProgram();
    DWORD code = 0xDEAD;
    EXPECT_TRUE(WaitExit(second, kExitMs, &code)) << "the second start runs as a second copy";
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kReactMs)) << "no hand-off";
    EXPECT_EQ(1, CountMessageWindows());
}

TEST_F(Running, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    struct Row {
        const char* name;
        bool shellForgot;  // a restarted Explorer; else a DPI change, icon kept
    };
    const Row rows[] = {{"restarted taskbar", true}, {"taskbar still holding it", false}};
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    HWND messageWindow = FindMessageWindow(p.pid);
    ASSERT_TRUE(WaitFor([&] { return ShellHasIcon(messageWindow); }, kReactMs));
    const UINT taskbarCreated = RegisterWindowMessageW(kTaskbarCreated);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.shellForgot) {
            ForgetIcon(messageWindow);
            ASSERT_FALSE(ShellHasIcon(messageWindow));
        }
        // As Explorer announces itself: to every top-level window.
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, kBroadcastMs,
                            &answer);
        EXPECT_TRUE(WaitFor([&] { return ShellHasIcon(messageWindow); }, kReactMs));
        EXPECT_TRUE(IsRunning(p));
    }
}

TEST_F(Running, TrayMenuHasAForegroundOwnerAndClosesWithoutACommand) {
    Process p = StartWithSettings();
    ASSERT_TRUE(p.process);
    HWND elsewhere = CreateColourWindow(kOtherColour, kClickRect);
    ASSERT_TRUE(IsForegroundWithin(elsewhere, kReactMs));
    ParkCursor();
    PostMessageW(FindMessageWindow(p.pid), kWmTrayIcon, 0, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        menu = FindTopLevel(kMenuClass, p.pid);
        return menu && IsWindowVisible(menu);
    }, kReactMs)) << "no tray menu";
    if (RunningUnderWine()) {
        // A window that is never mapped cannot hold the X input focus: the
        // window manager hands the focus on and Wine's foreground follows it,
        // so neither the foreground owner nor the click outside can be shown
        // here. The owner itself can; Esc closes the menu instead of the click.
        HWND owner = GetWindow(menu, GW_OWNER);
        EXPECT_EQ(Utf8(ZAVIK_CLASS_TRAY), Utf8(ClassOf(owner)));
        EXPECT_FALSE(IsWindowVisible(owner)) << "the menu's owner must never show";
        PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        // Only a foreground owner lets a click elsewhere close the menu.
        HWND owner = GetForegroundWindow();
        EXPECT_EQ(p.pid, WindowPid(owner));
        EXPECT_EQ(Utf8(ZAVIK_CLASS_TRAY), Utf8(ClassOf(owner)));
        EXPECT_FALSE(IsWindowVisible(owner)) << "the menu's owner must never show";
        SetCursorPos((kClickRect.left + kClickRect.right) / 2,
                     (kClickRect.top + kClickRect.bottom) / 2);
        LeftClick();
    }
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, kReactMs)) << "menu still open";
    PumpFor(kQuietMs);
    EXPECT_EQ("1", Enabled()) << "closing the menu chose an item";
    EXPECT_TRUE(IsRunning(p));
}

TEST_F(Running, QuitSavesTheStateAndExitsWithZero) {
    Process p = StartWithSettings({{"posicao_x", "7"}});
    ASSERT_TRUE(p.process);
    // Each save below starts from a file holding only the byte-order mark, so
    // the whole text appears only when that save has written its last key.
    const std::string saved = ConfigText({{"ligada", "0"}, {"posicao_x", "7"}}, false);
    ASSERT_TRUE(WriteSettingsBytes(L"config.ini", "\xFF\xFE"));
    PostMessageW(FindMessageWindow(p.pid), WM_COMMAND, kCmdToggle, 0);
    ASSERT_TRUE(SettingsTextBecomes(L"config.ini", saved, kReactMs)) << "the toggle's save";
    // Spoil it again: now only the quit's own save can bring the state back.
    ASSERT_TRUE(WriteSettingsBytes(L"config.ini", "\xFF\xFE"));
    DWORD code = 0xDEAD;
    EXPECT_TRUE(QuitCleanly(p, kExitMs, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(SettingsTextBecomes(L"config.ini", saved, 0)) << "the quit's save";
    EXPECT_EQ(0, CountMessageWindows());
}

// Run in a Wine prefix whose display is a virtual desktop, the one kind of
// screen under Wine whose resolution a program can change as on Windows.
class DesktopRunning : public Running {
protected:
    void TearDown() override {
        ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);  // back to the stored mode
        Running::TearDown();
    }
};

TEST_F(DesktopRunning, NewResolutionMovesTheCrosshairToTheNewCentre) {
    struct Row {
        const char* name;
        int width, height;
    };
    const Row rows[] = {{"smaller", 1280, 720}, {"back to full", 1920, 1080}};
    // Below the crosshair, which comes later and stays on top.
    const RECT everywhere = {0, 0, rows[1].width, rows[1].height};
    ASSERT_TRUE(CreateColourWindow(kOtherColour, everywhere, true));
    Process p = StartWithSettings({{"so_com_fivem", "0"}});
    ASSERT_TRUE(p.process);
    ASSERT_TRUE(BecomesVisible(overlay_, true, kReactMs));
    ASSERT_TRUE(MovesTo(overlay_, kCentredX, kCentredY, kReactMs));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DEVMODEW mode = {};
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = (DWORD)row.width;
        mode.dmPelsHeight = (DWORD)row.height;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        ASSERT_EQ(DISP_CHANGE_SUCCESSFUL,
                  ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr));
        // Before any game is seen the crosshair sits on the primary monitor's
        // centre, drawn for that monitor's height.
        int x = row.width / 2 - kOverlayHalf, y = row.height / 2 - kOverlayHalf;
        EXPECT_TRUE(MovesTo(overlay_, x, y, kReactMs));
        EXPECT_TRUE(ScreenShowsImageWithin(
            x, y, RenderOverlay(kBuiltinPresets[0].settings, row.height), kOtherColour, kReactMs));
    }
}

}  // namespace

// End-to-end cases of game safety: the crosshair over a game never takes the
// foreground or the keyboard focus from it, also across ticks and a toggle,
// and a click on the crosshair's centre reaches the game underneath.
#include "harness.h"

#include "state/identity.h"

using namespace e2e;

namespace {

const wchar_t kTraySwitch[] = ZAVIK_TRAY_SWITCH;
const wchar_t kGameClass[] = L"grcWindow";
const wchar_t kFakeGame[] = L"fakegame.exe";
const wchar_t kClicksMessage[] = L"ZavikFakeGameClicks";
const wchar_t kClicksFileName[] = L"clicks.txt";
// The game's client area (100, 50) 1280 x 720: the crosshair window sits at
// (580, 250) and its centre, the crosshair's, is the game's centre.
enum {
    kGameX = 100, kGameY = 50, kGameW = 1280, kGameH = 720,
    kOnGameX = 580, kOnGameY = 250, kOverlaySide = kOverlaySize,
    kAbsoluteScale = 65535,
};
const POINT kCentre = {kGameX + kGameW / 2, kGameY + kGameH / 2};
const DWORD kWithinSecondMs = 1000;
const DWORD kSeveralTicksMs = 3 * kQuietMs;  // long enough for a raise of the overlay too

struct Game {
    Process process;
    HWND window = nullptr;
};

class Safety : public E2eCase {
protected:
    // The program with a settings file, started for the tray so that no
    // settings window takes the foreground; then the game, in front.
    void StartProgramAndGame(const std::wstring& gameExtra = L"") {
        ASSERT_TRUE(WriteSettingsText(L"config.ini", ConfigText().c_str()));
        program_ = StartProgramAndWait(kTraySwitch);
        ASSERT_TRUE(program_.process);
        overlay_ = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, program_.pid, kReactMs);
        ASSERT_TRUE(overlay_) << "no overlay window";
        std::wstring arguments = L"--x " + std::to_wstring(kGameX) + L" --y " +
                                 std::to_wstring(kGameY) + L" --w " + std::to_wstring(kGameW) +
                                 L" --h " + std::to_wstring(kGameH) + gameExtra;
        game_.process = Start(HelperPath(kFakeGame), arguments);
        ASSERT_TRUE(game_.process.process);
        game_.window = WaitForTopLevel(kGameClass, game_.process.pid, kStartMs);
        ASSERT_TRUE(game_.window) << "the fake game's window did not appear";
        ASSERT_TRUE(BringToFront(game_.window));
        ASSERT_TRUE(BecomesVisible(overlay_, true, kWithinSecondMs));
        ASSERT_TRUE(MovesTo(overlay_, kOnGameX, kOnGameY, kReactMs));
    }

    // The game is the foreground window and its thread's focus is on it.
    ::testing::AssertionResult GameHasForegroundAndFocus() {
        HWND fg = GetForegroundWindow();
        if (fg != game_.window)
            return ::testing::AssertionFailure() << "the foreground went to class \""
                                                 << Utf8(fg ? ClassOf(fg) : L"") << "\"";
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        DWORD thread = GetWindowThreadProcessId(game_.window, nullptr);
        if (!GetGUIThreadInfo(thread, &info))
            return ::testing::AssertionFailure() << "cannot read the game's focus";
        if (info.hwndActive != game_.window || info.hwndFocus != game_.window)
            return ::testing::AssertionFailure()
                   << "the game's active window is class \""
                   << Utf8(info.hwndActive ? ClassOf(info.hwndActive) : L"")
                   << "\" and its focus class \""
                   << Utf8(info.hwndFocus ? ClassOf(info.hwndFocus) : L"") << "\"";
        return ::testing::AssertionSuccess();
    }

    // A negative check over ms: the first moment the game lost either fails it.
    ::testing::AssertionResult GameKeepsForegroundFor(DWORD ms) {
        ::testing::AssertionResult last = ::testing::AssertionSuccess();
        bool lost = WaitFor([&] {
            last = GameHasForegroundAndFocus();
            return !static_cast<bool>(last);
        },
                            ms);
        return lost ? last : ::testing::AssertionSuccess();
    }

    LRESULT GameClicks() {
        DWORD_PTR clicks = 0;
        SendMessageTimeoutW(game_.window, RegisterWindowMessageW(kClicksMessage), 0, 0,
                            SMTO_ABORTIFHUNG, kReactMs, &clicks);
        return (LRESULT)clicks;
    }

    Process program_;
    HWND overlay_ = nullptr;
    Game game_;
};

// A left click at a screen point, as the mouse makes it.
void LeftClickAt(POINT p) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    // Absolute input runs from 0 to 65535 across the primary screen.
    in[0].mi.dx = MulDiv(p.x, kAbsoluteScale, w - 1);
    in[0].mi.dy = MulDiv(p.y, kAbsoluteScale, h - 1);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof(INPUT));
}

TEST_F(Safety, ShowingTheCrosshairLeavesTheGameInFront) {
    ASSERT_NO_FATAL_FAILURE(StartProgramAndGame());
    EXPECT_TRUE(GameHasForegroundAndFocus());
    // Several ticks, among them the once-a-second raise of the overlay.
    EXPECT_TRUE(GameKeepsForegroundFor(kSeveralTicksMs));

    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(BecomesVisible(overlay_, false, kReactMs)) << "the toggle did not hide it";
    EXPECT_TRUE(GameKeepsForegroundFor(kQuietMs));
    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(BecomesVisible(overlay_, true, kReactMs)) << "the toggle did not show it";
    EXPECT_TRUE(GameKeepsForegroundFor(kSeveralTicksMs));
    EXPECT_FALSE(GetWindowLongPtrW(overlay_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(Safety, ClickOnTheCrosshairReachesTheGame) {
    const std::wstring clicksFile = CaseTempFolder() + L"\\" + kClicksFileName;
    ASSERT_NO_FATAL_FAILURE(StartProgramAndGame(L" --clicks \"" + clicksFile + L"\""));
    // The click lands on a drawn pixel of the crosshair, not on a hole in it.
    std::vector<uint32_t> image = RenderOverlay(kBuiltinPresets[0].settings, kGameH);
    ASSERT_NE(0u, image[(size_t)kOverlayHalf * kOverlaySide + kOverlayHalf] >> 24)
        << "the default crosshair leaves its centre empty: pick another point";
    EXPECT_EQ(game_.window, WindowFromPoint(kCentre)) << "the crosshair catches the pointer";

    LRESULT before = GameClicks();
    LeftClickAt(kCentre);
    EXPECT_TRUE(WaitFor([&] { return GameClicks() == before + 1; }, kReactMs))
        << "the game got " << GameClicks() - before << " clicks";
    std::string expected = "L " + std::to_string(kCentre.x) + " " + std::to_string(kCentre.y);
    std::string recorded;
    HANDLE f = CreateFileW(clicksFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        char buf[256] = {};
        DWORD got = 0;
        ReadFile(f, buf, sizeof buf - 1, &got, nullptr);
        CloseHandle(f);
        recorded.assign(buf, got);
    }
    EXPECT_EQ(0u, recorded.find(expected)) << "the game recorded: " << recorded;
    EXPECT_TRUE(GameHasForegroundAndFocus());
    EXPECT_TRUE(IsWindowVisible(overlay_)) << "the click hid the crosshair";
    ParkCursor();
}

}  // namespace

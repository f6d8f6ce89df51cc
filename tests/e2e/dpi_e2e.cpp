// End-to-end cases that run in the 144-DPI Wine prefix (suite names beginning
// "Dpi144" are routed there by tests/e2e/ctest.cmake): every length of the
// settings window scales with the screen DPI read at start-up, while the
// overlay stays in physical pixels, unscaled, also when the system-aware
// settings window re-draws it.
#include "settings_helpers.h"

#include <commctrl.h>

#include "state/identity.h"
#include "base/ids.h"

using namespace e2e;

namespace {

enum { kHighDpi = 144, kClientW = 600, kClientH = 452, kBaseDpi = 96 };
enum { kOffsetX = 10, kOffsetY = -5, kBelowCrosshairY = 700 };

class Dpi144 : public E2eCase {};

typedef DPI_AWARENESS_CONTEXT(WINAPI* WindowContextFn)(HWND);
typedef DPI_AWARENESS(WINAPI* AwarenessFn)(DPI_AWARENESS_CONTEXT);

// The DPI awareness a window was created with, or DPI_AWARENESS_INVALID where
// Windows (before 10 version 1607) cannot say.
DPI_AWARENESS AwarenessOf(HWND window) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    WindowContextFn windowContext =
        (WindowContextFn)(void*)GetProcAddress(user32, "GetWindowDpiAwarenessContext");
    AwarenessFn awareness =
        (AwarenessFn)(void*)GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext");
    if (!windowContext || !awareness) return DPI_AWARENESS_INVALID;
    return awareness(windowContext(window));
}

TEST_F(Dpi144, ScreenReportsTheHighDpi) {
    EXPECT_EQ(kHighDpi, ScreenDpi()) << "the prefix's LogPixels is not in effect";
}

TEST_F(Dpi144, SettingsWindowIsScaledAndCentred) {
    Process p = StartProgramAndWait();  // a first run always opens the settings window
    ASSERT_TRUE(p.process);
    HWND settings = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kReactMs);
    ASSERT_TRUE(settings);
    RECT client = {};
    GetClientRect(settings, &client);
    EXPECT_EQ(MulDiv(kClientW, kHighDpi, kBaseDpi), client.right);
    EXPECT_EQ(MulDiv(kClientH, kHighDpi, kBaseDpi), client.bottom);
    RECT outer = WindowRect(settings);
    int w = outer.right - outer.left, h = outer.bottom - outer.top;
    EXPECT_TRUE(HasWindowRect(settings, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h));
}

TEST_F(Dpi144, SettingsWindowIsSystemAwareAndTheOverlayPerMonitor) {
    Process p = StartProgramAndWait();
    ASSERT_TRUE(p.process);
    HWND settings = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kReactMs);
    HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs);
    ASSERT_TRUE(settings && overlay);
    if (AwarenessOf(overlay) == DPI_AWARENESS_INVALID) {
        GTEST_SKIP() << "this Windows cannot tell a window's DPI awareness";
    }
    EXPECT_EQ(DPI_AWARENESS_SYSTEM_AWARE, AwarenessOf(settings));
    EXPECT_EQ(DPI_AWARENESS_PER_MONITOR_AWARE, AwarenessOf(overlay));
}

// The crosshair keeps its 320 x 320 physical window on the centre and its
// pixels for the 1080 lines of the screen, also when a change made in the
// settings window draws it again; the game's client area is taken as it is.
TEST_F(Dpi144, CrosshairStaysInPhysicalPixelsThroughTheSettingsWindow) {
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    HWND overlay = FindOverlay(scene.process.pid);
    // At 144 DPI the parked window is wide enough to reach under the crosshair.
    MoveSettingsWindow(scene.window, kParkX, kBelowCrosshairY);
    CrosshairSettings s = kBuiltinPresets[0].settings;
    EXPECT_TRUE(OverlayShows(s, kReactMs));
    EXPECT_TRUE(HasWindowRect(overlay, kCentredX, kCentredY, kOverlaySize, kOverlaySize));
    // Sent, as the window's controls lie partly off the screen.
    MoveTrackbar(scene.window, kIdSliderOffsetX, kOffsetX, TB_ENDTRACK);
    MoveTrackbar(scene.window, kIdSliderOffsetY, kOffsetY, TB_ENDTRACK);
    s.offsetX = kOffsetX;
    s.offsetY = kOffsetY;
    EXPECT_TRUE(OverlayShows(s, kReactMs)) << "moved by whole screen pixels";
    EXPECT_TRUE(HasWindowRect(overlay, kCentredX + kOffsetX, kCentredY + kOffsetY, kOverlaySize, kOverlaySize));

    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    RECT client = ClientRectOnScreen(game.window);
    EXPECT_TRUE(MovesTo(overlay, client.left + (client.right - client.left) / 2 + kOffsetX - kOverlayHalf,
                        client.top + (client.bottom - client.top) / 2 + kOffsetY - kOverlayHalf,
                        kReactMs));
}

}  // namespace

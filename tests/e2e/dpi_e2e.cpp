// End-to-end cases that run in the 144-DPI Wine prefix (suite names beginning
// "Dpi144" are routed there by tests/e2e/ctest.cmake): every length of the
// settings window scales with the screen DPI read at start-up.
#include "harness.h"

#include "ui/ids.h"

using namespace e2e;

namespace {

enum { kHighDpi = 144, kClientW = 600, kClientH = 452, kBaseDpi = 96 };

class Dpi144 : public E2eCase {};

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
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

}  // namespace

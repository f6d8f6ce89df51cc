// End-to-end cases of the program's foundation: the files of a first run, the
// single instance, the hidden overlay window, its place and its pixels.
#include "harness.h"

#include <limits>

#include "state/identity.h"

using namespace e2e;

namespace {

const COLORREF kBackdrop = RGB(40, 90, 160);  // neither black nor white: both show
const RECT kBackdropRect = {560, 240, 1360, 840};  // covers the overlay at the centre
const wchar_t kTraySwitch[] = ZAVIK_TRAY_SWITCH;
enum { kScreenHeight = 1080, kCentredX = 800, kCentredY = 380, kOverlaySide = kOverlaySize };
const DWORD kHandOffMs = 2000;  // a second start only posts a message and exits
const DWORD kOverlayExStyles = WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW |
                               WS_EX_LAYERED | WS_EX_NOACTIVATE;

class Foundation : public E2eCase {};

// The UTF-16LE bytes, byte-order mark first, of UTF-8 text.
std::string Utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : Wide(utf8)) {
        bytes += (char)(c & 0xFF);
        bytes += (char)((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Shows the hidden overlay the way the visibility tick would; the tick hides
// only a window that it showed itself, so the window stays shown.
::testing::AssertionResult ShowOverlayFromTest(HWND overlay) {
    if (!overlay) return ::testing::AssertionFailure() << "no overlay window";
    ShowWindow(overlay, SW_SHOWNOACTIVATE);
    return BecomesVisible(overlay, true, kReactMs);
}


TEST_F(Foundation, FirstRunWritesBothSettingsFiles) {
    ASSERT_FALSE(SettingsFileExists(L"config.ini"));
    Process p = StartProgramAndWait();
    ASSERT_TRUE(p.process);
    const std::string expected = Utf16File(WithCrLf(ConfigText()));
    std::string got;
    bool same = WaitFor([&] { return (got = ReadSettingsBytes(L"config.ini")) == expected; },
                        kReactMs);
    EXPECT_TRUE(same) << "config.ini reads:\n" << ReadSettingsText(L"config.ini")
                      << "\nexpected:\n" << ConfigText() << "(" << got.size() << " bytes, expected "
                      << expected.size() << ")";
    EXPECT_EQ(std::string("\xFF\xFE"), ReadSettingsBytes(L"miras.ini"));
}

TEST_F(Foundation, SecondStartHandsOverAndExits) {
    Process first = StartProgramAndWait();
    ASSERT_TRUE(first.process);
    Process second = StartProgram();
    DWORD code = 0xDEAD;
    EXPECT_TRUE(WaitExit(second, kHandOffMs, &code)) << "the second start is still running";
    EXPECT_EQ(0u, code);
    EXPECT_EQ(1, CountMessageWindows());
    EXPECT_TRUE(IsRunning(first));
}

TEST_F(Foundation, OverlayIsHiddenLayeredTopmostAtTheCentre) {
    Process p = StartProgramAndWait();
    ASSERT_TRUE(p.process);
    HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs);
    ASSERT_TRUE(overlay);
    EXPECT_EQ(std::wstring(ZAVIK_CLASS_OVERLAY), ClassOf(overlay));
    EXPECT_TRUE(HasExStyleBits(overlay, kOverlayExStyles));
    EXPECT_FALSE(IsWindowVisible(overlay));
    EXPECT_TRUE(MovesTo(overlay, kCentredX, kCentredY, kReactMs));
    EXPECT_TRUE(HasWindowRect(overlay, kCentredX, kCentredY, kOverlaySide, kOverlaySide));
}

TEST_F(Foundation, OverlayShowsTheDefaultCrosshairPixels) {
    // An existing file and the tray switch: no settings window over the centre.
    ASSERT_TRUE(WriteSettingsText(L"config.ini", ConfigText().c_str()));
    Process p = StartProgramAndWait(kTraySwitch);
    ASSERT_TRUE(p.process);
    HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs);
    ASSERT_TRUE(MovesTo(overlay, kCentredX, kCentredY, kReactMs));
    CreateColourWindow(kBackdrop, kBackdropRect);
    ASSERT_TRUE(PixelBecomes(kBackdropRect.left, kBackdropRect.top, kBackdrop, kReactMs));
    ASSERT_TRUE(ShowOverlayFromTest(overlay));
    std::vector<uint32_t> image = RenderOverlay(kBuiltinPresets[0].settings, kScreenHeight);
    EXPECT_TRUE(ScreenShowsImageWithin(kCentredX, kCentredY, image, kBackdrop, kReactMs));
}

TEST_F(Foundation, OffsetsMoveTheOverlayWindow) {
    struct Row {
        const char* name;
        const char* offsetX;
        const char* offsetY;
        int x, y;
    };
    const Row rows[] = {
        {"no offset", "0", "0", 800, 380},
        {"right and up", "10", "-5", 810, 375},
        {"far left and down", "-100", "100", 700, 480},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteSettingsText(
            L"config.ini",
            ConfigText({{"posicao_x", row.offsetX}, {"posicao_y", row.offsetY}}).c_str()));
        Process p = StartProgramAndWait(kTraySwitch);
        ASSERT_TRUE(p.process);
        HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs);
        EXPECT_TRUE(MovesTo(overlay, row.x, row.y, kReactMs));
        EXPECT_TRUE(HasWindowRect(overlay, row.x, row.y, kOverlaySide, kOverlaySide));
        DWORD code = 0xDEAD;
        EXPECT_TRUE(QuitCleanly(p, kExitMs, &code));
        EXPECT_EQ(0u, code);
    }
}

TEST_F(Foundation, HostileSettingsFileStartsWithASaneOverlay) {
    ASSERT_TRUE(WriteSettingsText(L"config.ini", ConfigText({
                                                                {"atalho_tecla", "300"},
                                                                {"atalho_mod", "5"},
                                                                {"tamanho", "nan"},
                                                                {"espacamento", "1e39"},
                                                                {"espessura", "grossa"},
                                                                {"cor_r", "300"},
                                                                {"ponto", "1"},
                                                            })
                                                     .c_str()));
    Process p = StartProgramAndWait(kTraySwitch);
    ASSERT_TRUE(p.process);
    HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs);
    EXPECT_TRUE(MovesTo(overlay, kCentredX, kCentredY, kReactMs));
    PumpFor(kQuietMs);
    ASSERT_TRUE(IsRunning(p)) << "the program ended on a hostile settings file";

    // What the file asks for, read the way the settings file's rules read it:
    // an unparsable float is 0, a byte keeps its low 8 bits (300 -> 44).
    CrosshairSettings expected = kBuiltinPresets[0].settings;
    expected.size = std::numeric_limits<float>::quiet_NaN();
    expected.gap = std::numeric_limits<float>::infinity();  // 1e39 as a float
    expected.thickness = 0.0f;
    expected.red = 44;
    expected.dot = 1;
    CreateColourWindow(kBackdrop, kBackdropRect);
    ASSERT_TRUE(PixelBecomes(kBackdropRect.left, kBackdropRect.top, kBackdrop, kReactMs));
    ASSERT_TRUE(ShowOverlayFromTest(overlay));
    EXPECT_TRUE(ScreenShowsImageWithin(kCentredX, kCentredY, RenderOverlay(expected, kScreenHeight),
                                       kBackdrop, kReactMs));

    // The hotkey outside 1..254 fell back to Ctrl+O as a whole.
    DWORD code = 0xDEAD;
    EXPECT_TRUE(QuitCleanly(p, kExitMs, &code));
    EXPECT_EQ(0u, code);
    std::string text = ReadSettingsText(L"config.ini");
    EXPECT_EQ("79", IniValue(text, "Opcoes", "atalho_tecla"));
    EXPECT_EQ("2", IniValue(text, "Opcoes", "atalho_mod"));
}

}  // namespace

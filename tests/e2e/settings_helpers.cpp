// Helpers of the settings-window cases (see settings_helpers.h).
#include "settings_helpers.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "state/identity.h"
#include "base/ids.h"
#include "ui/preview.h"

namespace e2e {

const RECT kBackdropRect = {700, 240, 1360, 840};  // right of the parked window
const COLORREF kBackdrop = RGB(40, 90, 160);
const wchar_t kGameInFrontText[] = L"● FiveM na frente: SIM";
const wchar_t kGameAwayText[] = L"○ FiveM na frente: não";
const COLORREF kGreen = RGB(0, 130, 60);
const COLORREF kStatusGrey = RGB(120, 120, 120);

namespace {

enum {
    kBaseDpi = 96,
    kPreviewX = 416, kPreviewY = 118, kPreviewSide = 160, kPreviewCell = 20,
    kMinTextPixels = 3,       // a few stem pixels prove the colour of a text
    kMaxReportedPixels = 6,
};
const COLORREF kFrameGrey = RGB(128, 128, 128);  // the stock grey brush
const wchar_t kFakeGame[] = L"fakegame.exe";
// The game's client area, clear of the parked settings window and of the centre.
const wchar_t kGameArguments[] =
    L"--class grcWindow --x 1240 --y 100 --w 640 --h 400 --colour 204060";
const wchar_t kGameClass[] = L"grcWindow";
const char kOutsideGameOn[] = "so_com_fivem=1";
const char kOutsideGameOff[] = "so_com_fivem=0";

std::string Hex(uint32_t v) {
    char buf[16];
    snprintf(buf, sizeof buf, "%06X", v);
    return buf;
}

std::string FloatText(float v) {
    char buf[64];
    snprintf(buf, sizeof buf, "%.3f", (double)v);
    return buf;
}

std::string IntText(int v) { return std::to_string(v); }

struct TextSearch {
    const std::wstring* text;
    HWND parent;
    HWND found;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM lParam) {
    TextSearch* search = (TextSearch*)lParam;
    if (GetParent(child) != search->parent) return TRUE;
    if (TextOf(child) != *search->text) return TRUE;
    search->found = child;
    return FALSE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
    std::wstring* longest = (std::wstring*)lParam;
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0) return TRUE;
    std::wstring text = TextOf(child);
    if (text.size() > longest->size()) *longest = text;
    return TRUE;
}

// TCM_GETITEMRECT writes through a pointer, which no system carries across
// processes: the rectangle is asked for in memory of the program's own.
bool TabItemRect(HWND strip, int index, RECT* out) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, WindowPid(strip));
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    bool ok = false;
    if (remote) {
        ok = SendTo(strip, TCM_GETITEMRECT, index, (LPARAM)remote) != 0 &&
             ReadProcessMemory(process, remote, out, sizeof(RECT), nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

void MouseButton(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(INPUT));
}

POINT ClientOrigin(HWND window) {
    POINT p = {0, 0};
    ClientToScreen(window, &p);
    return p;
}

}  // namespace

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Scale(int value) { return MulDiv(value, ScreenDpi(), kBaseDpi); }

SettingsScene OpenSettings(std::initializer_list<std::pair<const char*, const char*>> overrides) {
    SettingsScene scene;
    EXPECT_TRUE(WriteSettingsText(L"config.ini", ConfigText(overrides).c_str()));
    scene.process = StartProgramAndWait();
    if (!scene.process.process) return scene;
    scene.window = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, scene.process.pid, kReactMs);
    if (!scene.window) {
        ADD_FAILURE() << "the settings window did not open";
        return scene;
    }
    EXPECT_TRUE(BecomesVisible(scene.window, true, kReactMs));
    HWND status = Control(scene.window, kIdGameStatus);
    EXPECT_TRUE(WaitFor([&] { return !TextOf(status).empty(); }, kReactMs))
        << "the game status label was never written";
    ParkCursor();
    return scene;
}

SettingsScene OpenSettingsWithOverlay(
    std::initializer_list<std::pair<const char*, const char*>> overrides) {
    // Made before the program starts, so that the program's windows are above it.
    CreateColourWindow(kBackdrop, kBackdropRect);
    std::string text = ConfigText(overrides);
    size_t at = text.find(kOutsideGameOn);
    if (at != std::string::npos) text.replace(at, strlen(kOutsideGameOn), kOutsideGameOff);
    EXPECT_TRUE(WriteSettingsText(L"config.ini", text.c_str()));
    SettingsScene scene;
    scene.process = StartProgramAndWait();
    if (!scene.process.process) return scene;
    scene.window = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, scene.process.pid, kReactMs);
    if (!scene.window) {
        ADD_FAILURE() << "the settings window did not open";
        return scene;
    }
    MoveSettingsWindow(scene.window, kParkX, kParkY);
    HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, scene.process.pid, kReactMs);
    EXPECT_TRUE(BecomesVisible(overlay, true, kReactMs)) << "the crosshair is not shown";
    ParkCursor();
    return scene;
}

void MoveSettingsWindow(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(MovesTo(window, x, y, kReactMs));
}

RECT ControlRect(HWND window, HWND control) {
    RECT r = WindowRect(control);
    MapWindowPoints(HWND_DESKTOP, window, (POINT*)&r, 2);
    return r;
}

HWND ChildWithText(HWND window, const std::wstring& text) {
    TextSearch search = {&text, window, nullptr};
    EnumChildWindows(window, MatchChildText, (LPARAM)&search);
    return search.found;
}

LRESULT SendTo(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(target, message, wParam, lParam, SMTO_ABORTIFHUNG, kReactMs, &result);
    return (LRESULT)result;
}

void Click(HWND button) {
    EXPECT_TRUE(button) << "no button to click";
    SendTo(button, BM_CLICK, 0, 0);
}

void PostClick(HWND button) {
    EXPECT_TRUE(button) << "no button to click";
    PostMessageW(button, BM_CLICK, 0, 0);
}

void ClickAt(int x, int y) {
    SetCursorPos(x, y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
}

void ClickCentreOf(HWND control) {
    RECT r = WindowRect(control);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

::testing::AssertionResult ClickTab(HWND window, int index) {
    HWND strip = Control(window, kIdTabStrip);
    if (!strip) return ::testing::AssertionFailure() << "no tab strip";
    RECT item = {};
    if (!TabItemRect(strip, index, &item))
        return ::testing::AssertionFailure() << "cannot read the rectangle of tab " << index;
    ::testing::AssertionResult front = BringToFront(window);
    if (!front) return front;
    POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(strip, &centre);
    ClickAt(centre.x, centre.y);
    bool selected = WaitFor([&] { return SendTo(strip, TCM_GETCURSEL, 0, 0) == index; }, kReactMs);
    ParkCursor();
    if (selected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "tab " << index << " is not selected after a click at ("
                                         << centre.x << ", " << centre.y << ")";
}

void MoveTrackbar(HWND window, int id, int position, int scrollCode) {
    HWND trackbar = Control(window, id);
    EXPECT_TRUE(trackbar) << "no trackbar " << id;
    SendTo(trackbar, TBM_SETPOS, TRUE, position);
    bool thumb = scrollCode == TB_THUMBTRACK || scrollCode == TB_THUMBPOSITION;
    SendTo(window, WM_HSCROLL, MAKEWPARAM(scrollCode, thumb ? position : 0), (LPARAM)trackbar);
}

void ChooseComboItem(HWND window, int id, int index) {
    HWND combo = Control(window, id);
    SendTo(combo, CB_SETCURSEL, index, 0);
    SendTo(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

void ChooseListLine(HWND window, int id, int index) {
    HWND list = Control(window, id);
    SendTo(list, LB_SETCURSEL, index, 0);
    SendTo(window, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)list);
}

void Paste(HWND edit, const std::wstring& text) {
    SendTo(edit, EM_SETSEL, 0, -1);
    SendTo(edit, EM_REPLACESEL, TRUE, (LPARAM)text.c_str());
}

std::wstring ClipboardText() {
    std::wstring text = L"<no text>";
    if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const wchar_t* p = data ? (const wchar_t*)GlobalLock(data) : nullptr) {
        text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::vector<std::wstring> ListLines(HWND list) {
    std::vector<std::wstring> lines;
    LRESULT count = SendTo(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t buf[512] = {};
        if (SendTo(list, LB_GETTEXTLEN, i, 0) >= 512) {
            lines.push_back(L"<too long>");
            continue;
        }
        SendTo(list, LB_GETTEXT, i, (LPARAM)buf);
        lines.push_back(buf);
    }
    return lines;
}

int CheckState(HWND button) { return (int)SendTo(button, BM_GETCHECK, 0, 0); }

HWND FocusedControl(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

::testing::AssertionResult FocusBecomes(HWND window, HWND control, DWORD ms) {
    HWND focus = nullptr;
    if (WaitFor([&] { return (focus = FocusedControl(window)) == control; }, ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the focus is on control " << (focus ? GetDlgCtrlID(focus) : 0) << " ("
           << Utf8(focus ? ClassOf(focus) : L"none") << "), expected control "
           << (control ? GetDlgCtrlID(control) : 0);
}

::testing::AssertionResult TextBecomes(HWND control, const std::wstring& text, DWORD ms) {
    if (!control) return ::testing::AssertionFailure() << "no control";
    std::wstring last;
    if (WaitFor([&] { return (last = TextOf(control)) == text; }, ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "control " << GetDlgCtrlID(control) << " reads \""
                                         << Utf8(last) << "\", expected \"" << Utf8(text) << "\"";
}

::testing::AssertionResult CheckBecomes(HWND button, bool checked, DWORD ms) {
    if (!button) return ::testing::AssertionFailure() << "no check box";
    int want = checked ? BST_CHECKED : BST_UNCHECKED, last = -1;
    if (WaitFor([&] { return (last = CheckState(button)) == want; }, ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "check box " << GetDlgCtrlID(button) << " is in state "
                                         << last << ", expected " << want;
}

::testing::AssertionResult ShowsTextColour(HWND control, COLORREF colour, DWORD ms) {
    if (!control) return ::testing::AssertionFailure() << "no control";
    uint32_t want = RgbOf(colour);
    int count = 0;
    RECT r = {};
    if (WaitFor([&] {
            r = WindowRect(control);
            Capture cap;
            if (!CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top, &cap))
                return false;
            count = 0;
            for (uint32_t p : cap.pixels) count += p == want;
            return count >= kMinTextPixels;
        },
                ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "control " << GetDlgCtrlID(control) << " at ("
                                         << r.left << ", " << r.top << ") shows " << count
                                         << " pixels of " << Hex(want) << ", expected at least "
                                         << kMinTextPixels;
}

HWND WaitForMessageBox(DWORD pid, DWORD ms) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindMessageBox(pid)) != nullptr; }, ms);
    return box;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring longest;
    EnumChildWindows(box, CollectStaticText, (LPARAM)&longest);
    return longest;
}

::testing::AssertionResult DefaultButtonIs(HWND box, int id, DWORD ms) {
    HWND button = GetDlgItem(box, id);
    if (!button) return ::testing::AssertionFailure() << "the box has no button " << id;
    // The box styles its default button while it sets itself up, after it appears.
    if (WaitFor([&] { return (StyleOf(button) & BS_DEFPUSHBUTTON) != 0; }, ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "button " << id << " is not the default one";
}

::testing::AssertionResult AnswerMessageBox(DWORD pid, const std::wstring& text, int button) {
    HWND box = WaitForMessageBox(pid, kReactMs);
    if (!box) return ::testing::AssertionFailure() << "no message box appeared";
    std::wstring shown = MessageBoxText(box);
    if (!PressMessageBoxButton(box, button))
        return ::testing::AssertionFailure() << "the box has no button " << button;
    if (!WaitFor([&] { return !IsWindow(box); }, kReactMs))
        return ::testing::AssertionFailure() << "the box stayed open after button " << button;
    if (shown != text)
        return ::testing::AssertionFailure() << "the box said \"" << Utf8(shown)
                                             << "\", expected \"" << Utf8(text) << "\"";
    return ::testing::AssertionSuccess();
}

std::string SectionText(const char* name, const CrosshairSettings& s) {
    char buf[512];
    snprintf(buf, sizeof buf,
             "[%s]\ntamanho=%.3f\nespacamento=%.3f\nespessura=%.3f\ncontorno=%d\n"
             "espessura_contorno=%.3f\nponto=%d\nestilo_t=%d\ncor_r=%d\ncor_g=%d\ncor_b=%d\n"
             "opacidade=%d\nposicao_x=%d\nposicao_y=%d\n",
             name, (double)s.size, (double)s.gap, (double)s.thickness, s.outline,
             (double)s.outlineThickness, s.dot, s.tStyle, s.red, s.green, s.blue, s.alpha,
             s.offsetX, s.offsetY);
    return buf;
}

std::string MiraValue(const char* key) {
    return IniValue(ReadSettingsText(L"config.ini"), "Mira", key);
}

std::string OpcoesValue(const char* key) {
    return IniValue(ReadSettingsText(L"config.ini"), "Opcoes", key);
}

::testing::AssertionResult FileHoldsCrosshair(const wchar_t* file, const char* section,
                                              const CrosshairSettings& s, DWORD ms) {
    const std::pair<const char*, std::string> keys[] = {
        {"tamanho", FloatText(s.size)},
        {"espacamento", FloatText(s.gap)},
        {"espessura", FloatText(s.thickness)},
        {"contorno", IntText(s.outline)},
        {"espessura_contorno", FloatText(s.outlineThickness)},
        {"ponto", IntText(s.dot)},
        {"estilo_t", IntText(s.tStyle)},
        {"cor_r", IntText(s.red)},
        {"cor_g", IntText(s.green)},
        {"cor_b", IntText(s.blue)},
        {"opacidade", IntText(s.alpha)},
        {"posicao_x", IntText(s.offsetX)},
        {"posicao_y", IntText(s.offsetY)},
    };
    std::string differences;
    if (WaitFor([&] {
            std::string text = ReadSettingsText(file);
            differences.clear();
            for (const auto& key : keys) {
                std::string got = IniValue(text, section, key.first);
                if (got != key.second)
                    differences += std::string("\n  ") + key.first + " is \"" + got +
                                   "\", expected \"" + key.second + "\"";
            }
            return differences.empty();
        },
                ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Utf8(file) << " [" << section << "]:" << differences;
}

std::vector<uint32_t> ExpectedPreview(const CrosshairSettings& s, int n) {
    std::vector<uint32_t> render = RenderOverlay(s, GetSystemMetrics(SM_CYSCREEN));
    int32_t zoom = PreviewZoom(n, PreviewExtent(render.data()));
    std::vector<uint32_t> out((size_t)n * n);
    ComposePreview(render.data(), n, zoom, Scale(kPreviewCell), out.data());
    return out;
}

::testing::AssertionResult PreviewShows(HWND window, const CrosshairSettings& s, DWORD ms) {
    const int n = Scale(kPreviewSide);
    const std::vector<uint32_t> want = ExpectedPreview(s, n);
    const uint32_t frame = RgbOf(kFrameGrey);
    POINT origin = ClientOrigin(window);
    const int x0 = origin.x + Scale(kPreviewX), y0 = origin.y + Scale(kPreviewY);
    int differences = 0;
    std::string detail;
    WaitFor([&] {
        Capture cap;
        if (!CaptureScreen(x0 - 1, y0 - 1, n + 2, n + 2, &cap)) return false;
        differences = 0;
        detail.clear();
        for (int r = -1; r <= n; ++r) {
            for (int c = -1; c <= n; ++c) {
                bool onFrame = r < 0 || c < 0 || r == n || c == n;
                uint32_t expected = onFrame ? frame : want[(size_t)r * n + c];
                uint32_t got = cap.At(x0 + c, y0 + r);
                if (got == expected) continue;
                if (++differences <= kMaxReportedPixels) {
                    char buf[128];
                    snprintf(buf, sizeof buf, "\n  %s (%d, %d): %s, expected %s",
                             onFrame ? "frame" : "preview", c, r, Hex(got).c_str(),
                             Hex(expected).c_str());
                    detail += buf;
                }
            }
        }
        return differences == 0;
    },
            ms);
    if (differences == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences << " pixels of the preview at (" << x0
                                         << ", " << y0 << ") differ:" << detail;
}

::testing::AssertionResult OverlayShows(const CrosshairSettings& s, DWORD ms) {
    return ScreenShowsImageWithin(kCentredX + s.offsetX, kCentredY + s.offsetY,
                                  RenderOverlay(s, GetSystemMetrics(SM_CYSCREEN)), kBackdrop, ms);
}

GameScene StartGame(const std::wstring& extra) {
    GameScene game;
    game.process = Start(HelperPath(kFakeGame), kGameArguments + extra);
    if (!game.process.process) return game;
    game.window = WaitForTopLevel(kGameClass, game.process.pid, kStartMs);
    if (!game.window) {
        ADD_FAILURE() << "the fake game's window did not appear";
        return game;
    }
    EXPECT_TRUE(BringToFront(game.window));
    return game;
}

GameScene StartGameBeside(HWND settings) {
    MoveSettingsWindow(settings, kParkX, kParkY);
    GameScene game = StartGame();
    if (game.window)
        EXPECT_TRUE(TextBecomes(Control(settings, kIdGameStatus), kGameInFrontText, kReactMs));
    return game;
}

std::string FromHex(const char* hex) {
    std::string bytes;
    for (; hex[0] && hex[1]; hex += 2) bytes += (char)std::stoi(std::string(hex, 2), nullptr, 16);
    return bytes;
}

}  // namespace e2e

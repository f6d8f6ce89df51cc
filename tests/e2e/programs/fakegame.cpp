// A stand-in for the game in the end-to-end tests: one top-level window whose
// class, client position, client size and colour come from the command line.
// It takes the foreground when it starts and records the mouse clicks it gets,
// so a test can prove that clicks pass through the crosshair.
//
//   fakegame.exe [--class NAME] [--title TEXT] [--x X] [--y Y] [--w W] [--h H]
//                [--colour RRGGBB] [--clicks FILE] [--caption] [--background]
//
// Defaults: class "grcWindow", client 1280 x 720 at screen (100, 50), colour
// 204060, a borderless popup (client area = window), brought to the front.
// --caption gives a normal framed window whose client area has the given place
// and size. --clicks appends one line per button press to FILE: "L x y" or
// "R x y" in screen coordinates. The registered message "ZavikFakeGameClicks"
// answers the number of presses so far. Move or resize the window from the
// test with SetWindowPos (borderless: the window rectangle is the client area).
// The registered message "ZavikFakeGameCursor" sets the cursor as a game's
// menus do: wParam 0 hides it (display count below 0), 1 shows the arrow,
// 2 shows it with no image (SetCursor(NULL)).
// The title changes while it runs the way FiveM's does when it joins a server:
// a test sends WM_SETTEXT (SetGameTitle in the harness), which the default
// window procedure keeps as the text GetWindowTextW answers.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <windowsx.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

namespace {

const wchar_t kClicksMessageName[] = L"ZavikFakeGameClicks";
const wchar_t kCursorMessageName[] = L"ZavikFakeGameCursor";
enum CursorState { kCursorHidden = 0, kCursorArrow = 1 };

struct FakeGame {
    const wchar_t* className = L"grcWindow";
    const wchar_t* title = L"Fake Game";
    int x = 100, y = 50, width = 1280, height = 720;
    COLORREF colour = RGB(0x20, 0x40, 0x60);
    const wchar_t* clicksFile = nullptr;
    bool caption = false;
    bool background = false;
    UINT clicksMessage = 0;
    UINT cursorMessage = 0;
    LONG clicks = 0;
};
FakeGame g_game;

COLORREF ParseColour(const wchar_t* text) {
    unsigned long rgb = wcstoul(text, nullptr, 16);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void ParseArguments() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* a = argv[i];
        const wchar_t* v = i + 1 < argc ? argv[i + 1] : L"";
        if (!wcscmp(a, L"--caption")) { g_game.caption = true; continue; }
        if (!wcscmp(a, L"--background")) { g_game.background = true; continue; }
        bool used = true;
        if (!wcscmp(a, L"--class")) g_game.className = v;
        else if (!wcscmp(a, L"--title")) g_game.title = v;
        else if (!wcscmp(a, L"--x")) g_game.x = _wtoi(v);
        else if (!wcscmp(a, L"--y")) g_game.y = _wtoi(v);
        else if (!wcscmp(a, L"--w")) g_game.width = _wtoi(v);
        else if (!wcscmp(a, L"--h")) g_game.height = _wtoi(v);
        else if (!wcscmp(a, L"--colour")) g_game.colour = ParseColour(v);
        else if (!wcscmp(a, L"--clicks")) g_game.clicksFile = v;
        else used = false;
        if (used) ++i;
    }
    // argv stays alive for the whole run: the record points into it.
}

void RecordClick(wchar_t button, HWND window, LPARAM lParam) {
    ++g_game.clicks;
    if (!g_game.clicksFile) return;
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &p);
    FILE* f = _wfopen(g_game.clicksFile, L"ab");
    if (!f) return;
    fprintf(f, "%c %ld %ld\r\n", (char)button, p.x, p.y);
    fclose(f);
}

// The display count is the thread's own: it changes only here, in the window's thread.
void SetCursorState(WPARAM state) {
    if (state == kCursorHidden) {
        while (ShowCursor(FALSE) >= 0) {}
        return;
    }
    while (ShowCursor(TRUE) < 0) {}
    SetCursor(state == kCursorArrow ? LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW) : nullptr);
}

LRESULT CALLBACK FakeGameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_game.clicksMessage && message != 0) return g_game.clicks;
    if (message == g_game.cursorMessage && message != 0) {
        SetCursorState(wParam);
        return 0;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        RecordClick(L'L', window, lParam);
        return 0;
    case WM_RBUTTONDOWN:
        RecordClick(L'R', window, lParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateGameWindow(HINSTANCE instance) {
    DWORD style = g_game.caption ? WS_OVERLAPPEDWINDOW : WS_POPUP;
    RECT r = {g_game.x, g_game.y, g_game.x + g_game.width, g_game.y + g_game.height};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    return CreateWindowExW(0, g_game.className, g_game.title, style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance,
                           nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ParseArguments();
    g_game.clicksMessage = RegisterWindowMessageW(kClicksMessageName);
    g_game.cursorMessage = RegisterWindowMessageW(kCursorMessageName);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FakeGameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(g_game.colour);  // lives as long as the class
    wc.lpszClassName = g_game.className;
    if (!RegisterClassExW(&wc)) return 2;
    HWND window = CreateGameWindow(instance);
    if (!window) return 3;
    if (g_game.background) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// Is the game in front? Recognises the foreground window by its class or its
// process image name, caches that per window, follows the game's client
// area so the overlay stays centred on it, and reads the server its title names.
#include "overlay/overlay_win.h"
#include "state/change.h"

namespace {
enum { kNameChars = 260 };

ScreenRect g_gameRect;
bool g_gameFound;

struct Detection {
    HWND lastWindow;     // the foreground window last identified
    bool lastVerdict;    // whether it was the game
    HWND rectWindow;     // the game window whose client area was read last; null: none
    uint32_t rectRead;   // tick count of that read
    bool rectPlayable;   // whether it was playable (then it is the game rectangle)
};
Detection g_detection;

// The game window whose title named the server now: read when the window is
// identified and then at most once a second while it is in front; away from
// the front the server stays while that window exists.
struct ServerWatch {
    HWND window;        // null: no game window seen since the last one went
    uint32_t lastLook;  // tick count of the last read of its title or look for it
};
ServerWatch g_serverWatch;

void ReadServerFromTitle(HWND window, uint32_t now) {
    if (window == g_serverWatch.window && !SecondHasPassed(now, g_serverWatch.lastLook)) return;
    g_serverWatch.window = window;
    g_serverWatch.lastLook = now;
    wchar_t title[kServerTitleChars];
    // Another process's window: Windows answers with its caption and sends
    // the game no message.
    if (GetWindowTextW(window, title, kServerTitleChars) <= 0) title[0] = 0;
    wchar_t server[kServerNameChars];
    ServerNameFromTitle(title, server);
    SeeServer(server);
}

void ForgetServerOfGoneGame(uint32_t now) {
    if (!g_serverWatch.window || !SecondHasPassed(now, g_serverWatch.lastLook)) return;
    g_serverWatch.lastLook = now;
    if (IsWindow(g_serverWatch.window)) return;
    g_serverWatch.window = NULL;
    SeeServer(L"");
}

bool IsGameProcessWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    // Limited query is all a game running elevated or protected still allows.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    wchar_t path[kNameChars];
    DWORD size = kNameChars;
    bool game = QueryFullProcessImageNameW(process, 0, path, &size) && IsGameImagePath(path);
    CloseHandle(process);
    return game;
}

bool IsGameWindow(HWND window) {
    wchar_t className[kNameChars];
    if (GetClassNameW(window, className, kNameChars) > 0 && IsGameClassName(className)) {
        return true;
    }
    return IsGameProcessWindow(window);
}

bool ReadClientRectOnScreen(HWND window, ScreenRect* rect) {
    RECT client;
    if (!GetClientRect(window, &client)) return false;
    // Both corners in one call, one round trip to the window server.
    MapWindowPoints(window, HWND_DESKTOP, (POINT*)&client, 2);
    *rect = ScreenRect{client.left, client.top, client.right, client.bottom};
    return true;
}

// One style read answers both questions: each query on another process's
// window is a round trip to the window server. The foreground window is
// top-level, so its own WS_VISIBLE is the whole of IsWindowVisible.
bool IsShownAndNotMinimised(HWND window) {
    LONG style = GetWindowLongW(window, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_MINIMIZE);
}

BOOL ReadGameClientArea(HWND window, uint32_t now) {
    g_detection.rectWindow = NULL;
    ScreenRect rect;
    if (!ReadClientRectOnScreen(window, &rect)) return FALSE;
    bool playable = IsPlayableClientSize(rect.right - rect.left, rect.bottom - rect.top);
    g_detection.rectWindow = window;
    g_detection.rectRead = now;
    g_detection.rectPlayable = playable;
    if (!playable) return FALSE;
    if (g_gameFound && SameScreenRect(rect, g_gameRect)) return TRUE;
    g_gameFound = true;
    g_gameRect = rect;
    FollowChange(kTargetChanged);  // new height, new centre
    return TRUE;
}

BOOL NotInFront(uint32_t now) {
    g_detection.rectWindow = NULL;  // the next time in front reads the client area at once
    ForgetServerOfGoneGame(now);
    return FALSE;
}
}  // namespace

BOOL DetectGameInFront(uint32_t now, bool fastTick) {
    HWND window = GetForegroundWindow();
    if (!window || !IsShownAndNotMinimised(window)) return NotInFront(now);
    // The class and process queries are the expensive part of a 15-ms tick,
    // so a window is identified only when it comes to the front.
    if (window != g_detection.lastWindow) {
        g_detection.lastVerdict = IsGameWindow(window);
        g_detection.lastWindow = window;
    }
    if (!g_detection.lastVerdict) return NotInFront(now);
    ReadServerFromTitle(window, now);
    // A player aiming or in one of the game's menus does not move its window,
    // so the fast ticks reuse a client area read less than 200 ms ago: no
    // later than the idle tick would have read it.
    if (!ClientRectReadDue(window == g_detection.rectWindow, fastTick, now,
                           g_detection.rectRead)) {
        return g_detection.rectPlayable ? TRUE : FALSE;
    }
    return ReadGameClientArea(window, now);
}

bool LastGameRect(ScreenRect* rect) {
    *rect = g_gameRect;
    return g_gameFound;
}

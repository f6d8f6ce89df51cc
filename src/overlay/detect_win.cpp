// Is the game in front? Recognises the foreground window by its class or its
// process image name, caches that per window, and follows the game's client
// area so the overlay stays centred on it.
#include "app/app_win.h"

ScreenRect g_gameRect;
bool g_gameFound;

namespace {
enum { kNameChars = 260 };

struct Detection {
    HWND lastWindow;   // the foreground window last identified
    bool lastVerdict;  // whether it was the game
};
Detection g_detection;

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
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    *rect = ScreenRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return true;
}
}  // namespace

BOOL DetectGameInFront() {
    HWND window = GetForegroundWindow();
    if (!window) return FALSE;
    if (IsIconic(window) || !IsWindowVisible(window)) return FALSE;
    // The class and process queries are the expensive part of a 15-ms tick,
    // so a window is identified only when it comes to the front.
    if (window != g_detection.lastWindow) {
        g_detection.lastVerdict = IsGameWindow(window);
        g_detection.lastWindow = window;
    }
    if (!g_detection.lastVerdict) return FALSE;
    ScreenRect rect;
    if (!ReadClientRectOnScreen(window, &rect)) return FALSE;
    if (!IsPlayableClientSize(rect.right - rect.left, rect.bottom - rect.top)) return FALSE;
    if (g_gameFound && SameScreenRect(rect, g_gameRect)) return TRUE;
    g_gameFound = true;
    g_gameRect = rect;
    PresentOverlay();  // new height, new centre
    return TRUE;
}

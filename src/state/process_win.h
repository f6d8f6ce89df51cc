// The Windows side of the records every layer shares: the handles, fonts and
// buffers that live for the whole process, and DPI scaling. Only *_win.cpp
// files include it.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <stdint.h>
#include "state/identity.h"
#include "state/records.h"

// What several layers share Windows-side for the whole process.
struct AppWin {
    HINSTANCE instance;
    int dpi;                  // LOGPIXELSY, read once
    HWND messageWindow;       // owns the timers and the hotkeys
    HWND overlayWindow;
    HICON largeIcon;          // the settings window's and the notices' icon
    HFONT controlFont, titleFont, subtitleFont;
    int quitting;             // set by "Sair", never cleared
};
extern AppWin g_app;

int DpiScale(int value);
// The program's face at points and weight for a screen of dpi; the caller
// deletes it. quality: CLEARTYPE_QUALITY on the window, plain pixels on the overlay.
HFONT CreateProgramFont(int points, int weight, int dpi, DWORD quality);
// The header of a top-down 32-bit DIB of width x height, rows top row first,
// as the rasterizer and the mask writers fill them.
BITMAPINFO TopDownBitmapInfo(int32_t width, int32_t height);
// Whether a WM_SYSCOMMAND's wParam is SC_CLOSE: the caption's close button,
// Alt+F4 or the window menu's close item, all of them the player's own keys or clicks.
bool IsCloseCommand(WPARAM command);

// hotkey_win.cpp: the toggle and switch hotkeys, held only while the game is in front.
void UpdateHotkeyRegistration(bool gameInFront);
// Every registration ends: the game left the front, or the program ends.
void WithdrawHotkeys();
// A combination changed: the old ones stop, and no refusal of them is told any more.
void HotkeysChanged();
// The text of a combination another program holds; false while none is refused.
bool FormatTakenHotkeyText(wchar_t* buf, size_t count);  // count >= kHotkeyTextChars
void FormatHotkeyText(wchar_t* buf, size_t count);  // count >= kHotkeyTextChars

// autostart_win.cpp
void SetStartWithWindows(bool on);
// The option follows the Run value, unless Windows has switched it off.
void ReadStartWithWindows();
// Windows' restart after sign-in stands in for the Run value while it is off.
void FollowRestartRegistration();
void CheckStartWithWindowsAtStartup();

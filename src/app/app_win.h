// The Windows side of the running program: the global handles and the
// operations each Win32 module offers the others. Only *_win.cpp files include it.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#include <stdint.h>
#include "app/identity.h"
#include "app/state.h"
#include "overlay/placement.h"

// One record of everything Windows-side that lives for the whole process.
struct AppWin {
    HINSTANCE instance;
    HANDLE mutex;             // single-instance marker, null when not ours
    int dpi;                  // LOGPIXELSY, read once
    HWND messageWindow;
    HWND trayWindow;          // hidden top-level: gets broadcasts, owns the tray menu
    HWND overlayWindow;
    HWND settingsWindow;      // null while the settings window does not exist
    HICON smallIcon, largeIcon;
    HFONT controlFont, titleFont, subtitleFont;
    HDC overlayDC;            // memory DC with the overlay DIB selected
    HBITMAP overlayBitmap;
    uint32_t* overlayBits;    // 320 x 320 premultiplied BGRA
    UINT taskbarCreatedMessage;
    int quitting;             // set by "Sair", never cleared
};
extern AppWin g_app;

int DpiScale(int value);
// Whether a WM_SYSCOMMAND's wParam is SC_CLOSE: the caption's close button,
// Alt+F4 or the window menu's close item, all of them the player's own keys or clicks.
bool IsCloseCommand(WPARAM command);

// app_win.cpp
// (g_app and DpiScale, outside main_win.cpp so the test programs can link them)

// main_win.cpp
// (entry point, start-up, message loop and shutdown)

// msgwnd_win.cpp
LRESULT CALLBACK MessageWindowProc(HWND, UINT, WPARAM, LPARAM);
void ToggleEnabled();
void OpenSettingsWindow();
// On the visibility tick: writes a change that config.ini did not take (another
// program held it) until it lands, and reads a config.ini the start could not.
void CatchUpSettingsFile(uint32_t now);
void BringWindowToFront(HWND window);

// overlay_win.cpp
LRESULT CALLBACK OverlayWindowProc(HWND, UINT, WPARAM, LPARAM);
void EnumerateMonitors();
// The height the crosshair is drawn at now: the game's client area once the
// game was seen, else the primary monitor. The overlay and the preview both use it.
int32_t CrosshairTargetHeight();
void PresentOverlay();
void RaiseOverlayToTop();

// detect_win.cpp
// The game's client rectangle as last seen; false while the game has not been seen.
bool LastGameRect(ScreenRect* rect);
// now: the tick count; fastTick: the tick runs faster than the idle one.
BOOL DetectGameInFront(uint32_t now, bool fastTick);

// visibility_win.cpp
void VisibilityTick();
void VisibilityTimerTick();  // the same from timer 1, already in the overlay's DPI context

// hotkey_win.cpp
void UpdateHotkeyRegistration(bool gameInFront);
void UnregisterToggleHotkey();
void FormatHotkeyText(wchar_t* buf, size_t count);  // count >= 64
// The settings window's hotkey control changed (EN_CHANGE of control 703).
void TakeHotkeyFromControl(HWND hotkeyControl);

// tray_win.cpp
// The one icon record handed to Shell_NotifyIconW; tests read what it holds.
extern NOTIFYICONDATAW g_trayIcon;
LRESULT CALLBACK TrayWindowProc(HWND, UINT, WPARAM, LPARAM);
// Adds the icon from a cleared record, or refreshes it where the shell still
// has it; false when the shell took neither.
bool AddTrayIcon();
// AddTrayIcon, and on failure again every second until the taskbar takes it.
void KeepTrayIcon();
void DeleteTrayIcon();
void FormatTrayTip();
void RefreshHotkeyTexts();
void ShowTrayMenu();
// The tray menu as ShowTrayMenu tracks it; the caller destroys it.
HMENU BuildTrayMenu();
void ShowBalloon(const wchar_t* title, const wchar_t* text);

// autostart_win.cpp
void SetStartWithWindows(bool on);
// The flag: the Run value exists and Windows has not switched it off.
void ReadStartWithWindows();
void CheckStartWithWindowsAtStartup();

// settings_win.cpp and the tab files (ui/)
LRESULT CALLBACK SettingsWindowProc(HWND, UINT, WPARAM, LPARAM);
void InvalidatePreview();
void RefreshAfterChange();
void PushStateToControls();
void UpdateValueLabels();
void SetGameStatusLabel(bool inFront);  // text of control 701, repainted in its colour
// The boxes and caption the tray and the message window change; each does
// nothing while the settings window is closed. The boxes follow g_options.
void ShowEnabledBox();
void ShowAutostartBox();
void ShowEnabledCaption(const wchar_t* text);  // the caption of the first of them
// When the main loop hands over a key for the focused copy button: Alt+Down
// or F4 opens its menu (true then).
bool OpenCopyMenuByKey(const MSG& msg);

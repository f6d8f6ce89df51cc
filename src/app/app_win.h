// The top of the program: start-up, the message window and the tray, and
// what each of them offers the other. Only app's *_win.cpp files and the
// end-to-end tests include it.
#pragma once
#include "overlay/overlay_win.h"
#include "state/tray_text.h"

#include <shellapi.h>

// What only start-up, the message window and the tray share.
struct AppTop {
    HANDLE mutex;               // single-instance marker, null when not ours
    HWND trayWindow;            // hidden top-level: gets broadcasts, owns the tray menu
    HICON smallIcon;            // the tray icon
    UINT taskbarCreatedMessage;
};
extern AppTop g_top;

// main_win.cpp
// (entry point, start-up, message loop and shutdown)

// msgwnd_win.cpp
LRESULT CALLBACK MessageWindowProc(HWND, UINT, WPARAM, LPARAM);
void OpenSettingsWindow();
void BringWindowToFront(HWND window);
// What the layers below call back into, installed before anything can change.
void InstallFrontEnd();

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
// The tip follows a new hotkey.
void RefreshTrayTip();
void ShowTrayMenu();
// The tray menu as ShowTrayMenu tracks it; the caller destroys it.
HMENU BuildTrayMenu();
// unprompted: raised without any action of the player.
void ShowBalloon(const wchar_t* title, const wchar_t* text, bool unprompted);

// The program's identity (window classes, titles, the single-instance mutex,
// the settings folder, the Run value, the tray switch, the face of its text) and its message,
// command, timer and hotkey numbers. Below every layer that names them, so
// start-up, the tray, the overlay and the settings window reach it; the
// end-to-end tests share it. The product name itself is kept with the version.
#pragma once
#include "res/version.h"

enum TrayCommandId { kCmdToggle = 100, kCmdOpenSettings = 101, kCmdQuit = 102 };

enum {
    kWmTrayIcon = 0x8001,      // WM_APP + 1: tray callback
    kWmShowSettings = 0x8002,  // WM_APP + 2: posted by a second start
    kVisibilityTimerId = 1,
    kTrayRetryTimerId = 2,     // adds the tray icon again until the taskbar takes it
    kClipboardRetryTimerId = 3,  // a copy waits for another program's open clipboard
    kNameLabelTimerId = 4,       // the crosshair's name on the overlay after a switch
    kToggleHotkeyId = 1,
    kSwitchHotkeyId = 2,      // the next saved crosshair
    kSwitchBackHotkeyId = 3,  // the same keys with Shift: the previous one
    kTrayIconId = 1,
    kControlFontPoints = 9,   // the settings window's controls, and the overlay's name label
};

// The narrow product name joined to an empty wide literal is a wide literal.
#define ZAVIK_TITLE L"" ZAVIK_PRODUCT_NAME
#define ZAVIK_CLASS_MSG L"ZavikCrosshairMsg"
#define ZAVIK_CLASS_OVERLAY L"ZavikCrosshairOverlay"
#define ZAVIK_CLASS_SETTINGS L"ZavikCrosshairSettings"
#define ZAVIK_CLASS_TRAY L"ZavikCrosshairTray"
#define ZAVIK_OVERLAY_TITLE ZAVIK_TITLE L" Overlay"
#define ZAVIK_FONT_FACE L"Segoe UI"
#define ZAVIK_MUTEX_NAME L"ZavikCrosshair_SingleInstance"
#define ZAVIK_FOLDER_NAME ZAVIK_TITLE
#define ZAVIK_RUN_VALUE ZAVIK_TITLE
#define ZAVIK_TRAY_SWITCH L"--bandeja"

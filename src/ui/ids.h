// Control, command, message, timer and hotkey identifiers of the program,
// grouped by hundreds. Shared by the program and its end-to-end tests.
#pragma once

enum TrayCommandId { kCmdToggle = 100, kCmdOpenSettings = 101, kCmdQuit = 102 };

enum ControlId {
    kIdSliderSize = 200, kIdSliderGap = 201, kIdSliderThickness = 202, kIdSliderOutline = 203,
    kIdSliderAlpha = 204, kIdSliderOffsetX = 205, kIdSliderOffsetY = 206,
    kIdLabelSize = 300, kIdLabelGap = 301, kIdLabelThickness = 302, kIdLabelOutline = 303,
    kIdLabelAlpha = 304, kIdLabelOffsetX = 305, kIdLabelOffsetY = 306,
    kIdCheckOutline = 400, kIdCheckDot = 401, kIdCheckTStyle = 402, kIdCheckOutsideGame = 403,
    kIdCheckAutostart = 404, kIdCheckEnabled = 405, kIdCheckAimOnly = 406,
    kIdCheckHideWithCursor = 407,
    kIdColourList = 500, kIdColourChoose = 501, kIdColourSwatch = 502, kIdRestoreDefault = 503,
    kIdCopyCode = 504, kIdImportBox = 505, kIdStatusLine = 506,
    kIdCopyShareCode = 507,  // the copy button's menu: the crosshair as a share code
    kIdSavedList = 600, kIdNameBox = 601, kIdSaveButton = 602, kIdDeleteButton = 603,
    kIdTabStrip = 700, kIdGameStatus = 701, kIdNoteAuto = 702, kIdHotkeyControl = 703,
    kIdOpenFolder = 705, kIdResetAll = 706, kIdNoteHotkey = 707,
    kIdUnnamed = -1,
};

// Page tags kept in each settings-window control's user data.
enum PageTag { kTagCrosshair = 1, kTagSaved = 2, kTagOptions = 3, kTagAlways = 9 };

enum {
    kWmTrayIcon = 0x8001,      // WM_APP + 1: tray callback
    kWmShowSettings = 0x8002,  // WM_APP + 2: posted by a second start
    kVisibilityTimerId = 1,
    kTrayRetryTimerId = 2,     // adds the tray icon again until the taskbar takes it
    kToggleHotkeyId = 1,
    kTrayIconId = 1,
};

#define ZAVIK_CLASS_MSG L"ZavikCrosshairMsg"
#define ZAVIK_CLASS_OVERLAY L"ZavikCrosshairOverlay"
#define ZAVIK_CLASS_SETTINGS L"ZavikCrosshairSettings"
#define ZAVIK_CLASS_TRAY L"ZavikCrosshairTray"
#define ZAVIK_TITLE L"Zavik Crosshair"
#define ZAVIK_OVERLAY_TITLE L"Zavik Crosshair Overlay"
#define ZAVIK_MUTEX_NAME L"ZavikCrosshair_SingleInstance"
#define ZAVIK_FOLDER_NAME L"Zavik Crosshair"
#define ZAVIK_RUN_VALUE L"Zavik Crosshair"
#define ZAVIK_TRAY_SWITCH L"--bandeja"

// The visibility tick: follows the game in front, keeps the hotkey and the
// status label current, shows or hides the overlay and picks its own period.
// Runs up to 67 times a second, so the common path draws and allocates nothing.
#include "overlay/overlay_win.h"

#include <shellapi.h>

#include "state/change.h"
#include "state/tray_text.h"
#include "overlay/dpi_context_win.h"
#include "overlay/name_label_win.h"

namespace {
enum { kStatusNone = -1, kStatusSaveRefused = 2, kKeyDownBit = 0x8000 };

struct Visibility {
    uint32_t lastSecondMark;
    int32_t tickPeriod;         // the period timer 1 runs with
    bool overlayShown;
    bool fullscreenNoticeShown;
    int32_t lastShownStatus;    // -1, or the in-front value (and refusal) last written to the label
    uint32_t lastCursorLook;    // when the game's cursor was last asked for
    bool cursorShown;           // what that answer said
};
Visibility g_visibility = {0, kTickPeriodIdle, false, false, kStatusNone, 0, false};

bool TakeSecondMark(uint32_t now) {
    if (!SecondHasPassed(now, g_visibility.lastSecondMark)) return false;
    g_visibility.lastSecondMark = now;
    return true;
}

// In exclusive full screen nothing can be drawn over the game; the user can
// only be told to switch the game to borderless.
void WarnIfExclusiveFullscreen() {
    QUERY_USER_NOTIFICATION_STATE state;
    if (FAILED(SHQueryUserNotificationState(&state))) return;
    if (state != QUNS_RUNNING_D3D_FULL_SCREEN) return;
    g_visibility.fullscreenNoticeShown = true;
    if (g_frontEnd.showBalloon)
        g_frontEnd.showBalloon(kFullscreenNoticeTitle, kFullscreenNoticeText, true);
}

void UpdateStatusLabel(bool inFront) {
    // The label also tells of a config.ini that refuses every change.
    int32_t status =
        (inFront ? 1 : 0) | (SettingsFileReadOnly(g_settingsFile) ? kStatusSaveRefused : 0);
    if (g_visibility.lastShownStatus == status) return;
    // A window opened later gets the status afresh on its first tick.
    bool shown = g_frontEnd.showGameStatus && g_frontEnd.showGameStatus(inFront);
    g_visibility.lastShownStatus = shown ? status : kStatusNone;
}

bool RightButtonDown() { return (GetAsyncKeyState(VK_RBUTTON) & kKeyDownBit) != 0; }

// The cursor of the window in front: the global cursor, which belongs to the
// foreground thread. A failed call counts as no cursor, so the crosshair stays.
bool ForegroundCursorShown() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info)) return false;
    return CursorCountsAsShown(info.flags, info.hCursor != nullptr);
}

// Between looks on the 15-ms tick the last answer stands.
bool GameCursorShown(uint32_t now, bool followingButton) {
    if (!CursorLookDue(followingButton, now, g_visibility.lastCursorLook))
        return g_visibility.cursorShown;
    g_visibility.lastCursorLook = now;
    g_visibility.cursorShown = ForegroundCursorShown();
    return g_visibility.cursorShown;
}

void ShowOrHideOverlay(bool inFront, bool secondPassed, uint32_t now, bool followingButton) {
    const AppOptions& o = g_options;
    // The button and the cursor are asked only when they can decide, keeping
    // the common path short; with the option off the cursor is never asked.
    bool button = NeedsRightButton(o.enabled, inFront, o.onlyWithGame, o.onlyWhileAiming) &&
                  RightButtonDown();
    bool cursor = NeedsCursorState(o.enabled, inFront, o.onlyWithGame, o.onlyWhileAiming, button,
                                   o.hideWithCursor) &&
                  GameCursorShown(now, followingButton);
    if (!OverlayWanted(o.enabled, inFront, o.onlyWithGame, o.onlyWhileAiming, button,
                       o.hideWithCursor, cursor)) {
        if (g_visibility.overlayShown) {
            ShowWindow(g_app.overlayWindow, SW_HIDE);
            g_visibility.overlayShown = false;
            EndNameLabel();  // the name went with the overlay
        }
        return;
    }
    if (!g_visibility.overlayShown) {
        ShowWindow(g_app.overlayWindow, SW_SHOWNOACTIVATE);
        RaiseOverlayToTop();
        g_visibility.overlayShown = true;
    }
    if (secondPassed) RaiseOverlayToTop();
}

// Windows announces a new layout of the displays, but a program started while
// they were still being set up (a logon before the graphics driver is ready,
// Wine before its list of displays is written) reads a stand-in screen and
// hears of no change afterwards. While the crosshair sits on the primary
// monitor, the list is read again once a second; the game's area needs none.
void RecheckMonitors() {
    ScreenRect game;
    if (LastGameRect(&game)) return;
    if (EnumerateMonitors()) FollowChange(kTargetChanged);
}

void UpdateTickPeriod(bool inFront) {
    int32_t period = WantedTickPeriod(g_options.enabled, inFront, g_options.onlyWhileAiming,
                                      g_options.hideWithCursor);
    if (period == g_visibility.tickPeriod) return;
    g_visibility.tickPeriod = period;
    // The same id replaces the running timer.
    SetTimer(g_app.messageWindow, kVisibilityTimerId, (UINT)period, NULL);
}


void RunTick() {
    uint32_t now = GetTickCount();
    CatchUpSettingsFile(now);  // first: a late read may change what this tick decides
    bool secondPassed = TakeSecondMark(now);
    bool followingButton = g_visibility.tickPeriod == kTickPeriodAiming;
    bool inFront = DetectGameInFront(now, g_visibility.tickPeriod != kTickPeriodIdle) != FALSE;
    UpdateHotkeyRegistration(inFront);
    if (inFront && g_options.enabled != 0 && !g_visibility.fullscreenNoticeShown &&
        secondPassed) {
        WarnIfExclusiveFullscreen();
    }
    UpdateStatusLabel(inFront);
    if (secondPassed) RecheckMonitors();
    ShowOrHideOverlay(inFront, secondPassed, now, followingButton);
    UpdateTickPeriod(inFront);
}
}  // namespace

void VisibilityTick() {
    // A tick started by a setting runs inside the system-aware settings window;
    // the game's client area and the overlay's place are physical pixels.
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_app.overlayWindow);
    RunTick();
    LeaveDpiContext(previous);
}

// The timer's tick arrives in the message window, made in the overlay's own
// context: no switch on the 15-ms path.
void VisibilityTimerTick() { RunTick(); }

// The message-only window: owner of the visibility timer, the tray icon's
// callback, the toggle hotkey and the second instance's hand-off; and the
// operations they trigger: toggle, open the settings window, quit.
#include "app/app_win.h"

#include "overlay/dpi_context_win.h"
#include "overlay/name_label_win.h"
#include "state/change.h"
#include "state/hotkey.h"
#include "ui/clipboard_win.h"
#include "ui/settings_win.h"

namespace {
enum { kSettingsClientWidth = 600, kSettingsClientHeight = 452 };
const DWORD kSettingsStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const UINT kFrontFlags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
// "Sair", and every way Windows or another program asks the process to end.
void QuitProgram() {
    if (g_app.quitting) return;  // a second request while the first one saves
    g_app.quitting = 1;  // the settings window shows no tray notice while quitting
    // The request may come while a menu's modal loop runs (the tray menu, the
    // copy button's): that menu ends first, and the message loop, not the
    // WM_QUIT a menu loop may swallow, then ends the process.
    EndMenu();
    FollowChange(kProgramQuitting);
    if (g_settingsWindow) DestroyWindow(g_settingsWindow);
    DestroyWindow(g_app.messageWindow);  // its WM_DESTROY ends the message loop
}

// wParam FALSE: the shutdown was cancelled, and the program goes on as it was.
void OnEndSession(WPARAM ending, LPARAM reasons) {
    if (!ending) return;
    // Restart Manager (an installer replacing files) asks this process, not
    // the session, to end: Windows' documentation says the application must
    // shut down then.
    if (reasons & ENDSESSION_CLOSEAPP) {
        QuitProgram();
    } else {
        FollowChange(kSessionEnding);  // Windows may end the process any time after this returns
    }
}

void OnMessageWindowDestroyed() {
    DeleteTrayIcon();
    WithdrawHotkeys();
    ReleaseNameLabel();
    PostQuitMessage(0);
}

void OnDisplayChange() {
    EnumerateMonitors();
    FollowChange(kTargetChanged);
}

void OnTrayCommand(WORD id) {
    switch (id) {
    case kCmdToggle:
        ToggleEnabled();
        break;
    case kCmdOpenSettings:
        OpenSettingsWindow();
        break;
    case kCmdQuit:
        QuitProgram();
        break;
    }
}

void OnTimer(WPARAM id) {
    switch (id) {
    case kVisibilityTimerId:
        VisibilityTimerTick();
        break;
    case kTrayRetryTimerId:
        KeepTrayIcon();
        break;
    case kClipboardRetryTimerId:
        RetryPendingCopy();
        break;
    case kNameLabelTimerId:
        EndNameLabel();
        break;
    }
}

// The toggle, or the switch to the next or previous saved crosshair.
void OnHotkey(WPARAM id) {
    if (id == kToggleHotkeyId) {
        ToggleEnabled();
        return;
    }
    int direction = SwitchDirectionOfHotkey((int32_t)id);
    if (direction != 0) SwitchCrosshair(direction);
}

// Without a version request the callback's lParam is the mouse message itself.
void OnTrayIcon(LPARAM mouseMessage) {
    switch ((UINT)mouseMessage) {
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        ShowTrayMenu();
        break;
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        OpenSettingsWindow();
        break;
    }
}
}  // namespace

LRESULT CALLBACK MessageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message has no fixed value to put in a case label.
    if (message == g_top.taskbarCreatedMessage && message != 0) {
        KeepTrayIcon();  // the taskbar restarted and forgot the icon
        return 0;
    }
    switch (message) {
    case WM_DESTROY:
        OnMessageWindowDestroyed();
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        return 0;
    case WM_COMMAND:
        OnTrayCommand(LOWORD(wParam));
        return 0;
    case WM_HOTKEY:
        OnHotkey(wParam);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case kWmTrayIcon:
        OnTrayIcon(lParam);
        return 0;
    case kWmShowSettings:
        OpenSettingsWindow();
        return 0;
    case WM_QUERYENDSESSION:
        // Answered at once, as Windows asks, and nothing changes yet: the
        // shutdown may still be cancelled. A pending change gets one quick try.
        FollowChange(kSessionQueried);
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(wParam, lParam);
        return 0;
    case WM_SYSCOMMAND:
        if (IsCloseCommand(wParam)) return 0;  // only "Sair" or another program's WM_CLOSE
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
        // Never the default: a destroyed window with the process still running
        // would leave no crosshair and no way back. The top-level windows pass it on.
        QuitProgram();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

namespace {
// What each step of a change means above the records; the door saves itself.
struct StepHook {
    FollowStep step;
    FollowHook hook;
};
constexpr StepHook kStepHooks[] = {
    {kStepNameLabel, ShowNameOfChange},
    {kStepRender, PresentOverlay},
    {kStepPlace, PlaceOverlay},
    {kStepVisibility, VisibilityTick},
    {kStepHotkeys, HotkeysChanged},
    {kStepRestart, FollowRestartRegistration},
    {kStepControls, PushStateToControls},
    {kStepValues, ShowCrosshairValues},
    {kStepPreview, InvalidatePreview},
    {kStepBoxes, ShowOptionBoxes},
    {kStepHotkeyTexts, ShowHotkeyTexts},
    {kStepListLine, ShowSwitchedLine},
    {kStepServerLabel, ShowServerLabel},
    {kStepTrayText, RefreshTrayTip},
};
// A new step without its hook would be skipped without a word: the build stops.
constexpr bool EveryStepHookedOnce() {
    for (int step = 0; step < kStepCount; ++step) {
        int found = 0;
        for (const StepHook& row : kStepHooks) found += row.step == step ? 1 : 0;
        bool doorsOwn = step == kStepSave || step == kStepRemember;
        if (found != (doorsOwn ? 0 : 1)) return false;
    }
    return true;
}
static_assert(EveryStepHookedOnce(), "every step but the door's own has one hook");
}  // namespace

void InstallFrontEnd() {
    for (const StepHook& row : kStepHooks) g_frontEnd.steps[row.step] = row.hook;
    g_frontEnd.showBalloon = ShowBalloon;
    g_frontEnd.showGameStatus = SetGameStatusLabel;
}

void OpenSettingsWindow() {
    // The player may have switched the entry in Task Manager while we ran.
    ReadStartWithWindows();
    if (g_settingsWindow) {
        BringWindowToFront(g_settingsWindow);
        return;
    }
    // System-aware like the whole program before per-monitor awareness: every
    // length scales by the DPI read at start-up, and Windows stretches the
    // window on a monitor of another scale. Its procedure keeps this context.
    DPI_AWARENESS_CONTEXT previous = EnterSystemDpiContext();
    RECT frame = {0, 0, DpiScale(kSettingsClientWidth), DpiScale(kSettingsClientHeight)};
    AdjustWindowRect(&frame, kSettingsStyle, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // The window stores its own handle while it is created.
    HWND settings = CreateWindowExW(0, ZAVIK_CLASS_SETTINGS, ZAVIK_TITLE, kSettingsStyle, x, y,
                                    width, height, NULL, NULL, g_app.instance, NULL);
    LeaveDpiContext(previous);
    if (settings) BringWindowToFront(settings);
    VisibilityTick();  // fills the new window's game status line
}

void BringWindowToFront(HWND window) {
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    HWND foreground = GetForegroundWindow();
    DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, NULL) : 0;
    DWORD ownThread = GetCurrentThreadId();
    // Sharing the foreground thread's input state lets SetForegroundWindow
    // succeed when another program owns the foreground.
    BOOL attached = FALSE;
    if (foregroundThread != 0 && foregroundThread != ownThread) {
        attached = AttachThreadInput(ownThread, foregroundThread, TRUE);
    }
    // Topmost and straight back: above every ordinary window, not always on top.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kFrontFlags);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kFrontFlags);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
    if (attached) AttachThreadInput(ownThread, foregroundThread, FALSE);
}

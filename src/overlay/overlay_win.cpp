// The overlay window: a click-through, never-activated layered popup whose
// pixels are the rendered crosshair, centred on the target rectangle.
#include "app/app_win.h"
#include "overlay/dpi_context_win.h"

namespace {
const BYTE kOpaque = 255;

MonitorList g_monitors;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    if (g_monitors.count >= kMaxMonitors) return FALSE;
    MONITORINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(MONITORINFO);  // the basic 40-byte record: no device name needed
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    ScreenRect rect = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                       info.rcMonitor.bottom};
    AppendMonitor(&g_monitors, rect, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    return TRUE;
}

ScreenRect CurrentTargetRect() {
    ScreenRect game;
    bool gameFound = LastGameRect(&game);
    return TargetRect(gameFound, game, g_monitors);
}
}  // namespace

LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;  // clicks fall through to the game
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_SYSCOMMAND:
        // The player's Alt+F4 never ends the program; only "Sair" does.
        if (IsCloseCommand(wParam)) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
        // taskkill and Restart Manager close every top-level window: the
        // program ends as with "Sair" rather than lose its crosshair.
        SendMessageW(g_app.messageWindow, WM_CLOSE, 0, 0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void EnumerateMonitors() {
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_app.overlayWindow);
    g_monitors.count = 0;
    EnumDisplayMonitors(NULL, NULL, AddMonitor, 0);
    PutPrimaryFirst(&g_monitors);
    if (g_monitors.count == 0) {
        EnsureOneMonitor(&g_monitors, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN));
    }
    LeaveDpiContext(previous);
}

int32_t CrosshairTargetHeight() {
    ScreenRect target = CurrentTargetRect();
    return target.bottom - target.top;
}

void PresentOverlay() {
    if (!g_app.overlayBits || !g_app.overlayWindow) return;
    // Called from the system-aware settings window too: the position is in
    // the overlay's own physical pixels, never scaled by Windows.
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_app.overlayWindow);
    ScreenRect target = CurrentTargetRect();
    RenderCrosshair(g_crosshair, g_app.overlayBits, kOverlaySize, kOverlaySize,
                    CrosshairTargetHeight());
    int32_t x = 0, y = 0;
    OverlayPosition(target, g_crosshair.offsetX, g_crosshair.offsetY, &x, &y);
    POINT position = {x, y};
    SIZE size = {kOverlaySize, kOverlaySize};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, kOpaque, AC_SRC_ALPHA};
    // The pixels carry premultiplied alpha; the window shows them as they are.
    UpdateLayeredWindow(g_app.overlayWindow, NULL, &position, &size, g_app.overlayDC, &source, 0,
                        &blend, ULW_ALPHA);
    LeaveDpiContext(previous);
}

void RaiseOverlayToTop() {
    // Games and other topmost windows push it down; it goes back to the top
    // of the always-on-top band without moving or taking the focus.
    SetWindowPos(g_app.overlayWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

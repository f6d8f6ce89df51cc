// The overlay window: a click-through, never-activated layered popup whose
// pixels are the rendered crosshair, centred on the target rectangle.
#include "overlay/overlay_win.h"
#include "overlay/dpi_context_win.h"
#include "overlay/name_label_win.h"
#include "overlay/worn_image.h"

namespace {
const BYTE kOpaque = 255;

MonitorList g_monitors;

// The overlay's pixels: a top-down 32-bit DIB kept selected in a memory DC,
// which UpdateLayeredWindow reads.
struct OverlayPixels {
    HDC dc;
    HBITMAP bitmap;
    uint32_t* bits;         // width x height premultiplied BGRA
    int32_t width, height;  // kOverlaySize square unless an image or a label needs more
};
OverlayPixels g_pixels;

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

// The pixels are made again only when the size changes; a failure keeps the
// buffer there was.
bool SizeOverlayBuffer(int32_t width, int32_t height) {
    if (g_pixels.bits && g_pixels.width == width && g_pixels.height == height)
        return true;
    if (!g_pixels.dc) {
        HDC screen = GetDC(NULL);
        g_pixels.dc = CreateCompatibleDC(screen);
        ReleaseDC(NULL, screen);
        if (!g_pixels.dc) return false;
    }
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(g_pixels.dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bitmap) return false;
    // Stays selected until the next size or shutdown; the one it replaces goes now.
    HGDIOBJ previous = SelectObject(g_pixels.dc, bitmap);
    if (g_pixels.bitmap && previous == g_pixels.bitmap) DeleteObject(g_pixels.bitmap);
    g_pixels.bitmap = bitmap;
    g_pixels.bits = (uint32_t*)bits;
    g_pixels.width = width;
    g_pixels.height = height;
    return true;
}

ScreenRect CurrentTargetRect() {
    ScreenRect game;
    bool gameFound = LastGameRect(&game);
    return TargetRect(gameFound, game, g_monitors);
}

// Where the pixels go: the target's centre, shifted by the offsets, in the
// overlay's own physical pixels. Called from the system-aware settings window
// too, so it reads the place inside the overlay's DPI context.
POINT OverlayPosition() {
    ScreenRect target = CurrentTargetRect();
    int32_t x = 0, y = 0;
    OverlayPositionFor(target, g_crosshair.offsetX, g_crosshair.offsetY, g_pixels.width,
                       g_pixels.height, &x, &y);
    return POINT{x, y};
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

bool EnumerateMonitors() {
    bool hadOne = g_monitors.count > 0;
    ScreenRect primaryBefore = g_monitors.entries[0].rect;
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_app.overlayWindow);
    g_monitors.count = 0;
    EnumDisplayMonitors(NULL, NULL, AddMonitor, 0);
    PutPrimaryFirst(&g_monitors);
    if (g_monitors.count == 0) {
        EnsureOneMonitor(&g_monitors, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN));
    }
    LeaveDpiContext(previous);
    return !hadOne || !SameScreenRect(primaryBefore, g_monitors.entries[0].rect);
}

int32_t CrosshairTargetHeight() {
    ScreenRect target = CurrentTargetRect();
    return target.bottom - target.top;
}

void PresentOverlay() {
    if (!g_app.overlayWindow) return;
    // The height is read from the records kept for the target, in any DPI context.
    int32_t referenceHeight = CrosshairTargetHeight();
    int32_t width = CurrentCanvasSide(referenceHeight), height = width;
    GrowCanvasForNameLabel(&width, &height);
    if (!SizeOverlayBuffer(width, height)) return;
    RenderCurrentCrosshair(g_pixels.bits, width, height, referenceHeight);
    ComposeNameLabel(g_pixels.bits, width, height);
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_app.overlayWindow);
    POINT position = OverlayPosition();
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, kOpaque, AC_SRC_ALPHA};
    // The pixels carry premultiplied alpha; the window shows them as they are.
    UpdateLayeredWindow(g_app.overlayWindow, NULL, &position, &size, g_pixels.dc, &source, 0,
                        &blend, ULW_ALPHA);
    LeaveDpiContext(previous);
}

void PlaceOverlay() {
    if (!g_app.overlayWindow || !g_pixels.bits) return;
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_app.overlayWindow);
    POINT position = OverlayPosition();
    // The layered window keeps the pixels it was given; only its place changes.
    SetWindowPos(g_app.overlayWindow, NULL, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LeaveDpiContext(previous);
}

void ReleaseOverlayBuffer() {
    DeleteDC(g_pixels.dc);  // releases the DIB's selection first
    DeleteObject(g_pixels.bitmap);
    g_pixels.dc = NULL;
    g_pixels.bitmap = NULL;
    g_pixels.bits = NULL;
}

void RaiseOverlayToTop() {
    // Games and other topmost windows push it down; it goes back to the top
    // of the always-on-top band without moving or taking the focus.
    SetWindowPos(g_app.overlayWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

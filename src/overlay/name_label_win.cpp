// The name label's text on Windows: GDI draws it white on black into a 32-bit
// DIB section of a memory DC, and the pixels become the coverage mask that
// the portable composition outlines. Runs once per switch, never per tick;
// the mask is kept, and composed into the overlay's pixels, until the label ends.
#include "overlay/name_label_win.h"

#include <stdlib.h>
#include <string.h>

#include "state/identity.h"
#include "base/wtext.h"
#include "overlay/name_label.h"
#include "overlay/overlay_win.h"
#include "state/change.h"

namespace {
const COLORREF kTextColour = RGB(255, 255, 255);
const uint32_t kCoverageMask = 0xFF;  // the blue channel: white text sets all three alike
const int32_t kMaxMaskSide = 4096;    // far beyond 64 characters at any DPI Windows offers
const wchar_t kUser32[] = L"user32.dll";
const char kDpiForWindowName[] = "GetDpiForWindow";

typedef UINT(WINAPI* DpiForWindowFn)(HWND);

// Plain pixels, no smoothing: the outline then sits on whole text pixels, and
// a grey edge would need its own blend over the game's colours.
HFONT CreateLabelFont(int32_t dpi) {
    return CreateProgramFont(kControlFontPoints, FW_NORMAL, dpi, NONANTIALIASED_QUALITY);
}

// Draws into a DIB section selected into dc, with the font already selected,
// and copies the coverage out; the bitmap is gone again when it returns.
uint8_t* DrawAndReadMask(HDC dc, const wchar_t* name, int length, int32_t width,
                         int32_t height) {
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bitmap) return NULL;
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    size_t count = (size_t)width * (size_t)height;
    uint8_t* mask = (uint8_t*)malloc(count);
    if (mask && oldBitmap) {
        memset(bits, 0, count * sizeof(uint32_t));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kTextColour);
        TextOutW(dc, 0, 0, name, length);
        // GDI may still hold drawing back; the bits are read directly.
        GdiFlush();
        const uint32_t* pixels = (const uint32_t*)bits;
        for (size_t i = 0; i < count; ++i) mask[i] = (uint8_t)(pixels[i] & kCoverageMask);
    } else {
        free(mask);
        mask = NULL;
    }
    if (oldBitmap) SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    return mask;
}
}  // namespace

bool DrawNameMask(const wchar_t* name, int32_t dpi, uint8_t** mask, int32_t* width,
                  int32_t* height) {
    *mask = NULL;
    *width = 0;
    *height = 0;
    int length = name ? (int)LengthW(name, kLabelMaxChars) : 0;
    if (length == 0 || dpi <= 0) return false;
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc) return false;
    HFONT font = CreateLabelFont(dpi);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : NULL;
    SIZE extent = {0, 0};
    if (oldFont && GetTextExtentPoint32W(dc, name, length, &extent) && extent.cx > 0 &&
        extent.cy > 0) {
        if (extent.cx > kMaxMaskSide) extent.cx = kMaxMaskSide;
        if (extent.cy > kMaxMaskSide) extent.cy = kMaxMaskSide;
        *mask = DrawAndReadMask(dc, name, length, extent.cx, extent.cy);
    }
    if (oldFont) SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    DeleteDC(dc);
    if (!*mask) return false;
    *width = extent.cx;
    *height = extent.cy;
    return true;
}

int32_t OverlayDpi(HWND overlay, int32_t fallbackDpi) {
    // Looked up at run time: Windows before 10 version 1607 has no such entry.
    HMODULE user32 = GetModuleHandleW(kUser32);
    DpiForWindowFn dpiForWindow =
        user32 ? (DpiForWindowFn)(void*)GetProcAddress(user32, kDpiForWindowName) : NULL;
    UINT dpi = (dpiForWindow && overlay) ? dpiForWindow(overlay) : 0;
    return dpi ? (int32_t)dpi : fallbackDpi;
}

namespace {
// The label now on the overlay; mask null while none shows.
struct NameLabel {
    uint8_t* mask;
    int32_t width, height;
};
NameLabel g_nameLabel;

// Frees the mask and stops its timer; true when a label was showing.
bool DropNameLabel() {
    if (!g_nameLabel.mask) return false;
    KillTimer(g_app.messageWindow, kNameLabelTimerId);
    free(g_nameLabel.mask);
    g_nameLabel = NameLabel{};
    return true;
}

int32_t NameLabelGap() { return LabelGapFor(CrosshairTargetHeight()); }
}  // namespace

void ShowNameLabel(const wchar_t* name) {
    DropNameLabel();
    NameLabel label = {};
    if (DrawNameMask(name, OverlayDpi(g_app.overlayWindow, g_app.dpi), &label.mask, &label.width,
                     &label.height)) {
        g_nameLabel = label;
        SetTimer(g_app.messageWindow, kNameLabelTimerId, kLabelShowMs, NULL);
    }
    // Also when the text could not be drawn the name before is gone: the
    // overlay's next render leaves it out.
}

void ShowNameOfChange() { ShowNameLabel(NameLabelText()); }

void EndNameLabel() {
    // Drawn again without it: a hidden overlay shown later must not bring the name back.
    if (DropNameLabel()) PresentOverlay();
}

void ReleaseNameLabel() { DropNameLabel(); }

void GrowCanvasForNameLabel(int32_t* width, int32_t* height) {
    if (!g_nameLabel.mask) return;
    CanvasSize canvas =
        CanvasForLabel(*width, *height, g_nameLabel.width, g_nameLabel.height, NameLabelGap());
    *width = canvas.width;
    *height = canvas.height;
}

void ComposeNameLabel(uint32_t* pixels, int32_t width, int32_t height) {
    if (!g_nameLabel.mask) return;
    LabelBox box = PlaceLabel(width, height, g_nameLabel.width, g_nameLabel.height, NameLabelGap());
    ComposeLabel(g_nameLabel.mask, g_nameLabel.width, g_nameLabel.height, pixels, width, height,
                 box);
}

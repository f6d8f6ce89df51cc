// The Windows-side process record and DPI scaling, apart from the entry point
// so that the Windows test programs can link every other module.
#include "state/process_win.h"

namespace {
const int kBaseDpi = 96;  // the DPI the layout is written in
const int kPointsPerInch = 72;
const WORD kBitsPerPixel = 32;  // BGRA
// The system keeps the four low bits of a system command for itself.
const WPARAM kSysCommandMask = 0xFFF0;
}

// The DPI holds the base value until start-up reads the screen's.
AppWin g_app = {
    NULL, kBaseDpi,           // instance, dpi
    NULL, NULL,               // message and overlay windows
    NULL,                     // the large icon
    NULL, NULL, NULL,         // fonts
    0,                        // quitting flag
};

int DpiScale(int value) { return MulDiv(value, g_app.dpi, kBaseDpi); }

HFONT CreateProgramFont(int points, int weight, int dpi, DWORD quality) {
    // A negative height asks for the character height, not the cell height.
    return CreateFontW(-MulDiv(points, dpi, kPointsPerInch), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                       DEFAULT_PITCH | FF_DONTCARE, ZAVIK_FONT_FACE);
}

BITMAPINFO TopDownBitmapInfo(int32_t width, int32_t height) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool IsCloseCommand(WPARAM command) { return (command & kSysCommandMask) == SC_CLOSE; }

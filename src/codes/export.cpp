// Writes a crosshair as the one line of cl_crosshair commands players pass on.
#include "codes/codes.h"

#include "base/wtext.h"

namespace {

// Fixed in content and order; "cl_crosshaircolor" 5 makes a reader take the
// separate channels, and "cl_crosshairstyle" 4 is only there for the game.
const wchar_t kCodeLineFormat[] =
    L"\"cl_crosshair_drawoutline\" \"%ls\"; "
    L"\"cl_crosshair_outlinethickness\" \"%.6f\"; "
    L"\"cl_crosshairalpha\" \"%d\"; "
    L"\"cl_crosshaircolor\" \"5\"; "
    L"\"cl_crosshaircolor_r\" \"%d\"; "
    L"\"cl_crosshaircolor_g\" \"%d\"; "
    L"\"cl_crosshaircolor_b\" \"%d\"; "
    L"\"cl_crosshairdot\" \"%ls\"; "
    L"\"cl_crosshair_t\" \"%ls\"; "
    L"\"cl_crosshairgap\" \"%.6f\"; "
    L"\"cl_crosshairsize\" \"%.6f\"; "
    L"\"cl_crosshairstyle\" \"4\"; "
    L"\"cl_crosshairthickness\" \"%.6f\"";

const wchar_t kFlagOnText[] = L"true";
const wchar_t kFlagOffText[] = L"false";

const wchar_t* FlagText(int32_t flag) { return flag != 0 ? kFlagOnText : kFlagOffText; }

}  // namespace

int FormatCrosshairCode(const CrosshairSettings& crosshair, wchar_t* buf, size_t count) {
    // Widened to double explicitly: the exact float value is what gets six decimals.
    return FormatW(buf, count, kCodeLineFormat, FlagText(crosshair.outline),
                   (double)crosshair.outlineThickness, (int)crosshair.alpha,
                   (int)crosshair.red, (int)crosshair.green, (int)crosshair.blue,
                   FlagText(crosshair.dot), FlagText(crosshair.tStyle), (double)crosshair.gap,
                   (double)crosshair.size, (double)crosshair.thickness);
}

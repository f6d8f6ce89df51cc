// Where the overlay goes and whether it is wanted: monitor ordering, target
// rectangle, window position, game identification rules and the tick decision.
// Runs up to 67 times a second from the visibility tick, so nothing here allocates.
#include "overlay/placement.h"

#include <wchar.h>

#include "base/wtext.h"

namespace {
const wchar_t kGameClassName[] = L"grcWindow";
const wchar_t kGameProcessNeedle[] = L"gtaprocess";
const wchar_t kGameImageName[] = L"gta5.exe";
const wchar_t kPathSeparator = L'\\';

// Offsets come from the settings file as they were stored; a wild value must
// not overflow the position arithmetic, so the sum is kept in range here.
int32_t SaturateToInt32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return (int32_t)v;
}

// Centre of one axis, halved with truncation toward zero like the platform's
// own integer arithmetic (so -1281 / 2 is -640, not -641).
int64_t CentreOf(int32_t low, int32_t high) {
    return (int64_t)low + ((int64_t)high - (int64_t)low) / 2;
}

// Every rule but the game's cursor: enabled, in front or shown outside the
// game, and the right button when only while aiming.
bool WantedBeforeCursor(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly,
                        bool rightButtonDown) {
    if (!OverlayWantedBeforeButton(enabled, inFront, onlyWithGame)) return false;
    return aimOnly == 0 || rightButtonDown;
}
}  // namespace

bool AppendMonitor(MonitorList* list, const ScreenRect& rect, int32_t primary) {
    if (list->count < 0) list->count = 0;
    if (list->count >= kMaxMonitors) return false;
    list->entries[list->count].rect = rect;
    list->entries[list->count].primary = primary;
    ++list->count;
    return true;
}

void PutPrimaryFirst(MonitorList* list) {
    for (int32_t i = 1; i < list->count; ++i) {
        if (list->entries[i].primary) {
            MonitorEntry first = list->entries[0];
            list->entries[0] = list->entries[i];
            list->entries[i] = first;
            return;
        }
    }
}

void EnsureOneMonitor(MonitorList* list, int32_t screenW, int32_t screenH) {
    if (list->count > 0) return;
    list->count = 1;
    list->entries[0].rect = ScreenRect{0, 0, screenW, screenH};
    list->entries[0].primary = 1;
}

ScreenRect TargetRect(bool gameFound, const ScreenRect& game, const MonitorList& monitors) {
    return gameFound ? game : monitors.entries[0].rect;
}

bool SameScreenRect(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void OverlayPosition(const ScreenRect& target, int32_t offsetX, int32_t offsetY, int32_t* x,
                     int32_t* y) {
    OverlayPositionFor(target, offsetX, offsetY, kOverlaySize, kOverlaySize, x, y);
}

void OverlayPositionFor(const ScreenRect& target, int32_t offsetX, int32_t offsetY,
                        int32_t width, int32_t height, int32_t* x, int32_t* y) {
    *x = SaturateToInt32(CentreOf(target.left, target.right) + offsetX - width / 2);
    *y = SaturateToInt32(CentreOf(target.top, target.bottom) + offsetY - height / 2);
}

int32_t OverlaySideFor(int32_t drawnWidth, int32_t drawnHeight) {
    int32_t side = kOverlaySize;
    if (drawnWidth > side) side = drawnWidth;
    if (drawnHeight > side) side = drawnHeight;
    return side;
}

bool IsGameClassName(const wchar_t* className) {
    return className && wcscmp(className, kGameClassName) == 0;
}

const wchar_t* FileNameOfPath(const wchar_t* path) {
    const wchar_t* name = path;
    if (!path) return path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == kPathSeparator) name = p + 1;
    }
    return name;
}

bool IsGameImagePath(const wchar_t* imagePath) {
    if (!imagePath) return false;
    const wchar_t* name = FileNameOfPath(imagePath);
    return ContainsNoCase(name, kGameProcessNeedle) || EqualsNoCase(name, kGameImageName);
}

bool IsPlayableClientSize(int32_t width, int32_t height) {
    return width >= kMinGameWidth && height >= kMinGameHeight;
}

bool SecondHasPassed(uint32_t now, uint32_t lastSecondMark) {
    return (uint32_t)(now - lastSecondMark) >= (uint32_t)kSecondMs;
}

bool OverlayWantedBeforeButton(int32_t enabled, bool inFront, int32_t onlyWithGame) {
    return enabled != 0 && (inFront || onlyWithGame == 0);
}

bool NeedsRightButton(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly) {
    return aimOnly != 0 && OverlayWantedBeforeButton(enabled, inFront, onlyWithGame);
}

bool NeedsCursorState(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly,
                      bool rightButtonDown, int32_t hideWithCursor) {
    return hideWithCursor != 0 && inFront &&
           WantedBeforeCursor(enabled, inFront, onlyWithGame, aimOnly, rightButtonDown);
}

bool OverlayWanted(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly,
                   bool rightButtonDown, int32_t hideWithCursor, bool cursorShown) {
    if (!WantedBeforeCursor(enabled, inFront, onlyWithGame, aimOnly, rightButtonDown))
        return false;
    return !(cursorShown && hideWithCursor != 0 && inFront);
}

int32_t WantedTickPeriod(int32_t enabled, bool inFront, int32_t aimOnly, int32_t hideWithCursor) {
    if (enabled == 0 || !inFront) return kTickPeriodIdle;
    if (aimOnly != 0) return kTickPeriodAiming;
    return hideWithCursor != 0 ? kTickPeriodCursor : kTickPeriodIdle;
}

bool CursorCountsAsShown(uint32_t flags, bool hasImage) {
    return (flags & kCursorShowingFlag) != 0 && (flags & kCursorSuppressedFlag) == 0 && hasImage;
}

bool CursorLookDue(bool followingButton, uint32_t now, uint32_t lastLook) {
    if (!followingButton) return true;
    return (uint32_t)(now - lastLook) >= (uint32_t)kCursorLookMs;
}

bool ClientRectReadDue(bool sameWindowAsLastRead, bool fastTick, uint32_t now,
                       uint32_t lastRead) {
    if (!sameWindowAsLastRead || !fastTick) return true;
    return (uint32_t)(now - lastRead) >= (uint32_t)kRectRereadMs;
}

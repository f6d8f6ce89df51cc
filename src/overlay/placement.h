// Portable arithmetic of the overlay and of the visibility decision: monitor
// ordering, the target rectangle, the window position, the game-window rules
// and the per-tick show/hide decision.
#pragma once
#include <stdint.h>

struct ScreenRect { int32_t left, top, right, bottom; };
struct MonitorEntry { ScreenRect rect; int32_t primary; };
enum { kMaxMonitors = 8, kOverlaySize = 320, kOverlayHalf = kOverlaySize / 2 };
struct MonitorList { MonitorEntry entries[kMaxMonitors]; int32_t count; };

// Appends one enumerated monitor; false (nothing appended) once the list holds
// eight, which ends the enumeration.
bool AppendMonitor(MonitorList* list, const ScreenRect& rect, int32_t primary);
// Exchanges the first primary entry after 0 with entry 0; others keep their order.
void PutPrimaryFirst(MonitorList* list);
// When no monitor was read: one primary entry (0, 0, screenW, screenH).
void EnsureOneMonitor(MonitorList* list, int32_t screenW, int32_t screenH);
// The game rectangle once the game was found, else monitor entry 0.
ScreenRect TargetRect(bool gameFound, const ScreenRect& game, const MonitorList& monitors);
bool SameScreenRect(const ScreenRect& a, const ScreenRect& b);
// Top-left of the overlay window so that its pixel (kOverlayHalf, kOverlayHalf) lands on
// the centre, moved by the offsets.
void OverlayPosition(const ScreenRect& target, int32_t offsetX, int32_t offsetY, int32_t* x,
                     int32_t* y);
// The same for an overlay grown to width x height: its pixel (width / 2, height / 2)
// lands on the centre, where a drawn crosshair's centre lands.
void OverlayPositionFor(const ScreenRect& target, int32_t offsetX, int32_t offsetY,
                        int32_t width, int32_t height, int32_t* x, int32_t* y);
// The side of the square overlay: kOverlaySize, or more when a drawn image
// needs it, so that an image of drawnWidth x drawnHeight is never cut.
int32_t OverlaySideFor(int32_t drawnWidth, int32_t drawnHeight);

// Game identification from outside: the exact class name, or the image file name.
bool IsGameClassName(const wchar_t* className);
const wchar_t* FileNameOfPath(const wchar_t* path);  // text after the last backslash
bool IsGameImagePath(const wchar_t* imagePath);
enum { kMinGameWidth = 640, kMinGameHeight = 360 };
bool IsPlayableClientSize(int32_t width, int32_t height);

// One visibility tick's decision.
// While the game in front may show its cursor, the tick runs often enough to
// follow it within 100 ms (at the usual 15.6-ms clock a 75-ms timer fires
// about every 78 ms), and no more often: under Wine each look at the cursor
// asks the display server for the pointer, and a 50-ms tick cost the program
// 1.8 times the CPU of an empty 15-ms timer.
enum { kTickPeriodIdle = 200, kTickPeriodCursor = 75, kTickPeriodAiming = 15, kSecondMs = 1000 };
bool SecondHasPassed(uint32_t now, uint32_t lastSecondMark);  // unsigned wrap-safe
// First two conditions of "wanted": enabled, and in front or shown outside the game.
bool OverlayWantedBeforeButton(int32_t enabled, bool inFront, int32_t onlyWithGame);
// Whether the right button must be asked this tick.
bool NeedsRightButton(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly);
// Whether the game's cursor must be known this tick: the option is on, the
// game is in front (the desktop always has a cursor) and every other rule
// would show the overlay.
bool NeedsCursorState(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly,
                      bool rightButtonDown, int32_t hideWithCursor);
// cursorShown counts only where NeedsCursorState holds.
bool OverlayWanted(int32_t enabled, bool inFront, int32_t onlyWithGame, int32_t aimOnly,
                   bool rightButtonDown, int32_t hideWithCursor, bool cursorShown);
int32_t WantedTickPeriod(int32_t enabled, bool inFront, int32_t aimOnly, int32_t hideWithCursor);
// The cursor as the system reports it: showing (flag 1), not suppressed by
// touch or pen input (flag 2), and with an image.
enum : uint32_t { kCursorShowingFlag = 0x1, kCursorSuppressedFlag = 0x2 };
bool CursorCountsAsShown(uint32_t flags, bool hasImage);
// On the 15-ms tick that follows the right button the cursor is asked for
// again only after a cursor tick's time; on every other tick each time.
enum { kCursorLookMs = kTickPeriodCursor };
bool CursorLookDue(bool followingButton, uint32_t now, uint32_t lastLook);
// While the tick runs faster than the idle one (for the right button or the
// game's cursor), the game's client rectangle is read again only for a new
// window or after as long as an idle tick takes; on the idle tick each time.
enum { kRectRereadMs = kTickPeriodIdle };
bool ClientRectReadDue(bool sameWindowAsLastRead, bool fastTick, uint32_t now,
                       uint32_t lastRead);

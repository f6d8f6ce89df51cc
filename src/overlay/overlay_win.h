// What the overlay layer offers the settings window and start-up: the overlay
// window, the game's client area, and the visibility tick.
#pragma once
#include "overlay/placement.h"
#include "state/process_win.h"

// overlay_win.cpp
LRESULT CALLBACK OverlayWindowProc(HWND, UINT, WPARAM, LPARAM);
// Reads the monitors again; true when the primary one, where the overlay sits
// until the game is seen, is new, moved or resized.
bool EnumerateMonitors();
// The height the crosshair is drawn at now: the game's client area once the
// game was seen, else the primary monitor. The overlay and the preview both use it.
int32_t CrosshairTargetHeight();
// Renders the current crosshair and shows it on the target's centre. The
// overlay's pixels are made, or made again at a new size, as it needs them.
void PresentOverlay();
// Only moves the overlay where the offsets now place it; the pixels stay.
void PlaceOverlay();
void ReleaseOverlayBuffer();
void RaiseOverlayToTop();

// detect_win.cpp
// The game's client rectangle as last seen; false while the game has not been seen.
bool LastGameRect(ScreenRect* rect);
// now: the tick count; fastTick: the tick runs faster than the idle one.
BOOL DetectGameInFront(uint32_t now, bool fastTick);

// visibility_win.cpp
void VisibilityTick();
void VisibilityTimerTick();  // the same from timer 1, already in the overlay's DPI context

// The DPI awareness the program's one thread works in while it handles each
// window: the overlay in physical pixels, the settings window system-aware.
// Code that places or invalidates a window from outside that window's own
// procedure enters the window's context first.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// Each returns the context to hand back to LeaveDpiContext, or null when
// nothing was changed (Windows before 10 version 1607, or no window yet).
DPI_AWARENESS_CONTEXT EnterSystemDpiContext();
DPI_AWARENESS_CONTEXT EnterWindowDpiContext(HWND window);
void LeaveDpiContext(DPI_AWARENESS_CONTEXT previous);

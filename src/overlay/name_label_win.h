// The name label's text drawn by GDI into a coverage mask, and the DPI the
// overlay draws it at. The mask is composed into the overlay's pixels by
// name_label.h.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <stdint.h>

// Draws name (its first 64 characters) in the settings window's font,
// 9 points at dpi, and hands back its coverage mask: *mask receives a block of
// *width x *height bytes from malloc (top row first, 0 background, 255 text)
// that the caller releases with free(). False, with *mask null and the sizes
// 0, for an empty name or when GDI or the allocation fails.
bool DrawNameMask(const wchar_t* name, int32_t dpi, uint8_t** mask, int32_t* width,
                  int32_t* height);

// The DPI of the monitor the overlay is on (GetDpiForWindow); fallbackDpi
// before Windows 10 version 1607, where the whole process is system-aware.
int32_t OverlayDpi(HWND overlay, int32_t fallbackDpi);

// The label's life on the overlay. ShowNameLabel draws the name at the
// overlay's DPI for the overlay's next render, and ends it kLabelShowMs later
// (timer kNameLabelTimerId of the message window calls EndNameLabel); a
// second call replaces the first name. EndNameLabel takes it off early too
// (the overlay hides) and does nothing while no label shows.
// ReleaseNameLabel frees it at the end of the program, drawing nothing.
void ShowNameLabel(const wchar_t* name);
// The name the last switch or arrival at a server wore.
void ShowNameOfChange();
void EndNameLabel();
void ReleaseNameLabel();
// For PresentOverlay: the canvas grown to hold the label, and the label
// composed over the rendered crosshair. Both leave everything as it is while
// no label shows.
void GrowCanvasForNameLabel(int32_t* width, int32_t* height);
void ComposeNameLabel(uint32_t* pixels, int32_t width, int32_t height);

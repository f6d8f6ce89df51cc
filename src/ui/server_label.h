// The text of the settings window's server label 711: "Servidor: " and the
// last FiveM server seen, cut with "…" where the label is too narrow for it.
// Portable: the widths come from GDI (settings_win.cpp), the cut is decided here.
#pragma once
#include <stddef.h>

enum {
    kServerLabelChars = 160,  // "Servidor: ", a server's name and the terminator
};

// "Servidor: %ls" with the name; empty when there is none (null or empty).
void FormatServerLabel(const wchar_t* name, wchar_t* text, size_t textChars);

// How many of the count units of text stand before the ellipsis so that both
// fit in width pixels; count when the whole text fits. extents[i] is the width
// of the first i + 1 units. The cut never splits a surrogate pair and leaves
// no space in front of the ellipsis.
int ServerLabelCut(const wchar_t* text, const int* extents, int count, int ellipsisWidth,
                   int width);

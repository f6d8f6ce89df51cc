// Putting the current crosshair on the clipboard as a code line (Windows side).
#pragma once
#include <stdint.h>

// Handler of "Copiar código da mira": formats the current crosshair, hands the
// line to the clipboard and confirms with a message box over the settings window.
void ExportCrosshairCode();
// Handler of "Copiar código de compartilhamento (CS...)": the same for the
// share code of the current crosshair at a screen of screenHeight lines.
void ExportShareCode(int32_t screenHeight);

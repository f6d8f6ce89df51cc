// Putting the current crosshair on the clipboard as a code line (Windows side).
#pragma once

// Handler of "Copiar código da mira": formats the current crosshair, hands the
// line to the clipboard and confirms with a message box over the settings window.
void ExportCrosshairCode();

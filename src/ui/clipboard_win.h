// Putting the current crosshair on the clipboard as a code line (Windows side).
#pragma once
#include <stdint.h>

// Handler of "Copiar código da mira": formats the current crosshair, hands the
// line to the clipboard and confirms with a message box over the settings
// window; a clipboard another program holds open is tried again for a moment,
// and a copy that still fails says so in a warning box. While an image is
// worn it copies nothing and says so in an information box.
void ExportCrosshairCode();
// Handler of "Copiar código de compartilhamento (CS...)": the same for the
// share code of the current crosshair at a screen of screenHeight lines.
void ExportShareCode(int32_t screenHeight);
// The clipboard retry timer of the message window: the copy under way tries again.
void RetryPendingCopy();

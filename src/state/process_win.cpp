// The Windows-side process record and DPI scaling, apart from the entry point
// so that the Windows test programs can link every other module.
#include "state/process_win.h"

namespace {
const int kBaseDpi = 96;  // the DPI the layout is written in
// The system keeps the four low bits of a system command for itself.
const WPARAM kSysCommandMask = 0xFFF0;
}

// The DPI holds the base value until start-up reads the screen's.
AppWin g_app = {
    NULL, NULL, kBaseDpi,     // instance, mutex, dpi
    NULL, NULL, NULL,         // message, tray and overlay windows
    NULL, NULL,               // icons
    NULL, NULL, NULL,         // fonts
    0, 0,                     // TaskbarCreated id, quitting flag
};

int DpiScale(int value) { return MulDiv(value, g_app.dpi, kBaseDpi); }

bool IsCloseCommand(WPARAM command) { return (command & kSysCommandMask) == SC_CLOSE; }

// The one door through which the current crosshair and the options change.
// Each operation does the follow-ups of a change once and in one order: the
// fields a whole choice assigns are noted for a late read of config.ini, the
// overlay shows the change (and the visibility tick runs when the change can
// show or hide it), config.ini is tried, and an open settings window and the
// tray follow. The layers above install what "show" means at start-up.
#pragma once
#include <stdint.h>
#include "state/records.h"
#include "storage/store.h"

// What the layers above the records do for the door and for the tick; app
// fills it at start-up, and a hook left null is skipped (tools, tests).
enum : uint32_t {
    kFollowValues = 1u << 0,    // value labels, preview and colour swatch
    kFollowControls = 1u << 1,  // every control of the window shows the records again
    kFollowBoxes = 1u << 2,     // the option check boxes
    kFollowHotkey = 1u << 3,    // the old combination stops; its texts follow
    kFollowTrayTip = 1u << 4,   // the tray's tip names the hotkey again
    kFollowHotkeyTaken = 1u << 5,  // another program holds a hotkey, or none does any more
};
struct FrontEnd {
    void (*presentOverlay)();  // render the current crosshair into the overlay
    void (*visibilityTick)();  // show or hide the overlay now
    void (*follow)(uint32_t parts);  // the settings window and the tray show the records
    void (*showBalloon)(const wchar_t* title, const wchar_t* text);
    void (*showGameStatus)(bool inFront);  // the settings window's game line
};
extern FrontEnd g_frontEnd;

// Why the crosshair changes, which decides what follows.
enum CrosshairChange {
    kCrosshairDragged,  // a slider's thumb is moving: shown, the file waits for the drop
    kCrosshairEdited,   // one field set by a control
    kCrosshairPicked,   // a whole crosshair from the list or a code, offsets kept
    kCrosshairRestored, // the default crosshair, offsets included
    kCrosshairImageSet, // an image chosen or put aside: the image's slider shows its scale
};
void ChangeCrosshair(const CrosshairSettings& next, CrosshairChange why);
// One option, by its row; the hotkey's two fields go through ChangeHotkey.
void ChangeOption(OptionId which, int32_t value);
void ToggleEnabled();
void ChangeHotkey(int32_t key, int32_t modifiers);
// The switch's combination; key 0 clears it.
void ChangeSwitchHotkey(int32_t key, int32_t modifiers);
// The switch hotkey: the next (direction kSwitchForward) or previous
// (kSwitchBack) line of the saved-crosshairs list is worn as a click on it
// wears it. False when no line applies; *landed is the line worn.
bool SwitchCrosshair(int direction, ListEntry* landed);
// "Redefinir tudo": the default crosshair and every option its row resets.
void ResetEverything();

// Start-up: the records from config.ini, waiting a moment for a program
// holding it; returns whether the file existed. Then the first-run and
// clean-up steps of the settings files.
bool LoadStartupSettings();
void PrepareSettingsFiles(bool configExisted);
// On the visibility tick: writes a change that config.ini did not take
// (another program held it) until it lands, and reads a config.ini the start could not.
void CatchUpSettingsFile(uint32_t now);
// A pending change gets one quick try (Windows asks whether the session may end).
void SaveIfBehind();
// The session ends: a file the start could not read is read first, so the
// change lies over its values, then a change still behind waits the full patience.
void SaveBeforeSessionEnds();
// "Sair": the same, written whole even when nothing changed.
void SaveAtQuit();

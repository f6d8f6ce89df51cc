// The one door through which the current crosshair and the options change.
// Each kind of change has one row of follow-ups (kFollowRows in change.cpp):
// the fields a whole choice assigns are noted for a late read of config.ini,
// then the steps of FollowStep run once and in their order. The layers above
// install at start-up what each of their steps does.
#pragma once
#include <stdint.h>
#include "state/records.h"
#include "storage/store.h"

// The steps that can follow a change, in the one order they run. The door
// makes the save itself; every other step is carried out by a layer above
// the records, through the hook app installs at start-up (a hook left null
// is skipped, so the tool and the unit tests link the door without a window).
enum FollowStep {
    kStepNameLabel,    // the name a switch or an arrival wore is set to show under the crosshair
    kStepRender,       // the overlay draws the records again, where they place it
    kStepPlace,        // the overlay only moves where the offsets place it
    kStepVisibility,   // the visibility tick runs now: the change may show or hide it
    kStepRemember,     // the server now keeps the crosshair and the flag (the door's own)
    kStepSave,         // config.ini, as the row's save says (the door's own)
    kStepHotkeys,      // the registrations of the old combinations end
    kStepRestart,      // Windows' restart registration follows start with Windows
    kStepControls,     // every control of an open settings window shows the records
    kStepValues,       // the value labels, the colour swatch and the image status
    kStepPreview,      // the live preview
    kStepBoxes,        // the option check boxes
    kStepHotkeyTexts,  // the enabled box's caption and the hotkey note
    kStepListLine,     // the saved-crosshairs list selects the line a switch wore
    kStepServerLabel,  // the settings window's line naming the server now
    kStepTrayText,     // the tray icon's tip
    kStepCount,
};
typedef void (*FollowHook)();
struct FrontEnd {
    FollowHook steps[kStepCount];
    // unprompted: raised without any action of the player.
    void (*showBalloon)(const wchar_t* title, const wchar_t* text, bool unprompted);
    // The settings window's game line; false while there is no window to show it.
    bool (*showGameStatus)(bool inFront);
};
extern FrontEnd g_frontEnd;

// Every kind of change, and the events that are followed like one. The
// crosshair's kinds are what callers of ChangeCrosshair name.
enum ChangeKind {
    kCrosshairDragged,   // a slider's thumb is moving: shown, the file waits for the drop
    kCrosshairEdited,    // one field set by a control
    kCrosshairPicked,    // a whole crosshair from the list or a code, offsets kept
    kCrosshairRestored,  // the default crosshair, offsets included
    kCrosshairImageSet,  // an image chosen or put aside: the image's slider shows its scale
    kCrosshairMovedDragged,  // a drag that moves only the offsets
    kCrosshairMoved,         // an edit of the offsets alone
    kCrosshairSwitched,      // the switch hotkey wore a line of the list
    kEnabledChanged,     // the crosshair switched on or off
    kOptionStored,       // an option in config.ini that cannot show or hide the overlay
    kOptionShown,        // one that can
    kOptionStartup,      // start with Windows, kept by Windows alone
    kHotkeyChanged,      // the toggle's or the switch's combination
    kEverythingReset,    // "Redefinir tudo"
    kFileReadLate,       // a config.ini the start could not read was read now
    kHotkeyTakenChanged, // another program holds a combination, or none does any more
    kServerSeen,         // the game names another server, or none, and wears nothing new
    kServerArrived,      // the game names a server that remembers its crosshair: worn
    kTargetChanged,      // monitors or the game's area: another height and centre
    kSessionQueried,     // Windows asks whether the session may end
    kSessionEnding,      // the session ends
    kProgramQuitting,    // "Sair", or another program asks the process to end
    kChangeKindCount,
};
// The follow-ups of kind, as its row says, in the order of FollowStep. For
// the events above that change no record themselves.
void FollowChange(ChangeKind kind);
// The line the last switch wore: the list selects it.
const ListEntry& LastSwitchedLine();
// What the name label shows for the last switch or arrival.
const wchar_t* NameLabelText();
// The FiveM server the game window names now; empty when none.
const wchar_t* CurrentServer();

// What the game window's title names now (empty: no server, or no game
// window any more). A server that remembers a crosshair, while the option is
// on, has it worn with its flag and its name shown; another name is only noted.
void SeeServer(const wchar_t* server);

void ChangeCrosshair(const CrosshairSettings& next, ChangeKind why);
// One option, by its row; the hotkey's two fields go through ChangeHotkey.
void ChangeOption(OptionId which, int32_t value);
void ToggleEnabled();
void ChangeHotkey(int32_t key, int32_t modifiers);
// The switch's combination; key 0 clears it.
void ChangeSwitchHotkey(int32_t key, int32_t modifiers);
// The switch hotkey: the next (direction kSwitchForward) or previous
// (kSwitchBack) line of the saved-crosshairs list is worn as a click on it
// wears it, and its name shows under the crosshair. False when no line applies.
bool SwitchCrosshair(int direction);
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

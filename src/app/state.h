// The process-wide records of the running program: the current crosshair, the
// options and the settings paths. Portable, so that the core logic and its
// tests can use them without Windows.
#pragma once
#include "crosshair/crosshair.h"
#include "storage/settings.h"

struct SettingsPaths {
    wchar_t folder[kPathChars];
    wchar_t config[kPathChars];
    wchar_t miras[kPathChars];
};

extern CrosshairSettings g_crosshair;
extern AppOptions g_options;
extern SettingsPaths g_paths;
extern SettingsFileState g_settingsFile;

// The current crosshair becomes row 0 of the built-ins, offsets included.
void ApplyDefaultCrosshair();
// The colour-list index of the current crosshair's colour (7 when none matches).
int FindColourPresetIndex();
// The one road of the current records into config.ini: SaveSettingsChange
// within patienceMs (kProfileTryOnce for every change the player makes: a
// refused write stays pending for the tick); true when the file holds them.
bool SaveCurrentSettingsWithin(unsigned patienceMs);
// A pick, an import or a reset chose these groups (kAssigned...) whole.
void NoteAssignedSettings(uint32_t groups);
// ReadLateSettings into the current records, trying once: true when
// config.ini, unread at start, has now been read and the records may have changed.
bool ReadSettingsLate();
// SaveSettingsLast of the current records with the full patience: at "Sair"
// and when Windows ends the session.
bool SaveCurrentSettingsLast(LastSave what);

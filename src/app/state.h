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
// SaveSettingsChange of the current records into config.ini, waiting a moment
// for a program that holds the file.
void SaveCurrentSettings();
// The same within patienceMs (kProfileTryOnce: no waiting); true when the file
// holds the current records.
bool SaveCurrentSettingsWithin(unsigned patienceMs);
// ReadLateSettings into the current records: true when config.ini, unread at
// start, has now been read and the records may have changed.
bool ReadSettingsLate();

// The process-wide records of the running program: the current crosshair, the
// options and the settings paths. Portable, so that the core logic and its
// tests can use them without Windows. Every layer reads them; the crosshair
// and the options are const here, and only the operations of state/change.h
// write them.
#pragma once
#include "crosshair/crosshair.h"
#include "storage/servers.h"
#include "storage/settings.h"

struct SettingsPaths {
    wchar_t folder[kPathChars];
    wchar_t config[kPathChars];
    wchar_t miras[kPathChars];
};

extern const CrosshairSettings& g_crosshair;
extern const AppOptions& g_options;
extern const ServerMemories& g_serverMemories;
extern SettingsPaths g_paths;
extern SettingsFileState g_settingsFile;

// The colour-list index of the current crosshair's colour (kColourCustomIndex when none matches).
int FindColourPresetIndex();

// The program's single records and the small operations on them.
#include "app/state.h"

CrosshairSettings g_crosshair = kBuiltinPresets[0].settings;
AppOptions g_options = kDefaultOptions;
SettingsPaths g_paths;
SettingsFileState g_settingsFile;

void ApplyDefaultCrosshair() { g_crosshair = kBuiltinPresets[0].settings; }

int FindColourPresetIndex() {
    return FindColourPresetIndexOf(g_crosshair.red, g_crosshair.green, g_crosshair.blue);
}

bool SaveCurrentSettingsWithin(unsigned patienceMs) {
    return SaveSettingsChange(g_paths.config, g_options, g_crosshair, &g_settingsFile,
                              patienceMs);
}

void NoteAssignedSettings(uint32_t groups) { NoteAssignedFields(&g_settingsFile, groups); }

bool ReadSettingsLate() {
    return ReadLateSettings(g_paths.config, &g_options, &g_crosshair, &g_settingsFile,
                            kProfileTryOnce);
}

bool SaveCurrentSettingsLast(LastSave what) {
    return SaveSettingsLast(g_paths.config, &g_options, &g_crosshair, &g_settingsFile,
                            kProfileSavePatienceMs, what);
}

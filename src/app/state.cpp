// The program's single records and the small operations on them.
#include "app/state.h"

CrosshairSettings g_crosshair = kBuiltinPresets[0].settings;
AppOptions g_options = kDefaultOptions;
SettingsPaths g_paths;

void ApplyDefaultCrosshair() { g_crosshair = kBuiltinPresets[0].settings; }

int FindColourPresetIndex() {
    return FindColourPresetIndexOf(g_crosshair.red, g_crosshair.green, g_crosshair.blue);
}

void SaveCurrentSettings() { SaveSettings(g_paths.config, g_options, g_crosshair); }

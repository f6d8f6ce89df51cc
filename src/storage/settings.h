// The settings file "config.ini": options and current crosshair, the key-level
// read and write rules shared with "miras.ini", and the start-up file steps.
// Portable: every file access goes through the private-profile contract.
#pragma once
#include <stdint.h>
#include "crosshair/crosshair.h"

enum { kPathChars = 260 };

struct AppOptions {
    int32_t enabled;           // "ligada"
    int32_t onlyWithGame;      // "so_com_fivem"
    int32_t onlyWhileAiming;   // "so_mirando"
    int32_t hotkeyKey;         // "atalho_tecla", virtual-key code 1..254
    int32_t hotkeyModifiers;   // "atalho_mod", Alt 1, Ctrl 2, Shift 4
    int32_t monitor;           // "monitor", stored only
    int32_t startWithWindows;  // mirrors the Run value; never in the file
};

enum {
    kDefaultHotkeyKey = 79,  // 'O'
    kDefaultHotkeyModifiers = 2,  // Ctrl
    kMirasVersionCurrent = 2,
};

extern const AppOptions kDefaultOptions;

extern const wchar_t kSectionOptions[];    // "Opcoes"
extern const wchar_t kSectionCrosshair[];  // "Mira"
extern const wchar_t kKeyMirasVersion[];   // "versao_miras"
extern const wchar_t kKeySize[];           // "tamanho" (also the existence key of a saved crosshair)

float ReadFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float current);
void WriteFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float value);
void WriteIntSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                     int32_t value);

// Reads the thirteen keys in order, each defaulting to the field already in *into.
void ReadCrosshairSection(const wchar_t* file, const wchar_t* section, CrosshairSettings* into);
// Writes the thirteen keys in order, then flushes the file.
void WriteCrosshairSection(const wchar_t* file, const wchar_t* section,
                           const CrosshairSettings& crosshair);

// Rewrites the "Opcoes" keys and the "Mira" section of config, then flushes.
void SaveSettings(const wchar_t* config, const AppOptions& options,
                  const CrosshairSettings& crosshair);
// Start-up load over the values already in place; false when config does not exist.
bool LoadSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair);
void WriteFirstRunSettings(const wchar_t* config, const AppOptions& options,
                           const CrosshairSettings& crosshair);
// When miras does not exist: creates it (BOM only) and writes versao_miras = 2.
void CreateSavedCrosshairsFile(const wchar_t* config, const wchar_t* miras);
// Once per content version: removes the obsolete sections and writes versao_miras = 2.
void MigrateSavedCrosshairs(const wchar_t* config, const wchar_t* miras);

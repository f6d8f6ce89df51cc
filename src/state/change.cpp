// The door: the program's single records, every change of the current
// crosshair and of the options with its follow-ups in one order, and the
// reads and writes that keep config.ini in step with the records.
#include "state/change.h"

CrosshairSettings g_crosshair = kBuiltinPresets[0].settings;
ServerMemories g_serverMemories;
AppOptions g_options = kDefaultOptions;
SettingsPaths g_paths;
SettingsFileState g_settingsFile;
FrontEnd g_frontEnd;

namespace {
// When a change that config.ini did not take is tried again: every idle
// tick, every twelfth while the tick follows the right button, and less and
// less often while the file refuses every change.
SaveRetry g_settingsRetry;

// What follows each kind of crosshair change.
struct CrosshairRule {
    CrosshairChange why;
    uint32_t assigned;  // kAssigned... groups a late read must keep
    bool saved;
    uint32_t follow;
};
const CrosshairRule kCrosshairRules[] = {
    {kCrosshairDragged, 0, false, kFollowValues},
    {kCrosshairEdited, 0, true, kFollowValues},
    {kCrosshairPicked, kAssignedCrosshairLook, true, kFollowControls},
    {kCrosshairRestored, kAssignedCrosshairLook | kAssignedCrosshairOffsets, true,
     kFollowControls},
    {kCrosshairImageSet, 0, true, kFollowControls},
};

const CrosshairRule& CrosshairRuleOf(CrosshairChange why) {
    for (const CrosshairRule& rule : kCrosshairRules)
        if (rule.why == why) return rule;
    return kCrosshairRules[0];
}

void PresentOverlay() {
    if (g_frontEnd.presentOverlay) g_frontEnd.presentOverlay();
}

void RunVisibilityTick() {
    if (g_frontEnd.visibilityTick) g_frontEnd.visibilityTick();
}

void Follow(uint32_t parts) {
    if (g_frontEnd.follow && parts != 0) g_frontEnd.follow(parts);
}

bool SaveWithin(unsigned patienceMs) {
    return SaveSettingsChange(g_paths.config, g_options, g_crosshair, g_serverMemories,
                              &g_settingsFile, patienceMs);
}

bool ReadLate() {
    return ReadLateSettings(g_paths.config, &g_options, &g_crosshair, &g_serverMemories,
                            &g_settingsFile, kProfileTryOnce);
}

// The run's last word: a late read and the save share the one full budget.
void SaveLast(LastSave what) {
    SaveSettingsLast(g_paths.config, &g_options, &g_crosshair, &g_serverMemories,
                     &g_settingsFile, kProfileSavePatienceMs, what);
}

// The follow-ups of every change, in their one order. The player sees the
// change first; the file is tried once, never waited for, and a refused write
// is taken up again by the tick; the window and the tray follow last.
struct Followups {
    uint32_t assigned;
    bool overlay, visibility, saved;
    uint32_t parts;
};
void FollowChange(const Followups& f) {
    NoteAssignedFields(&g_settingsFile, f.assigned);
    if (f.overlay) PresentOverlay();
    if (f.visibility) RunVisibilityTick();
    if (f.saved) SaveWithin(kProfileTryOnce);
    Follow(f.parts);
}

void ResetOptions() {
    for (const OptionRow& row : kOptionRows)
        if (row.reset == kResetToDefault) g_options.*(row.field) = row.defaultValue;
}
}  // namespace

int FindColourPresetIndex() {
    return FindColourPresetIndexOf(g_crosshair.red, g_crosshair.green, g_crosshair.blue);
}

void ChangeCrosshair(const CrosshairSettings& next, CrosshairChange why) {
    const CrosshairRule& rule = CrosshairRuleOf(why);
    g_crosshair = next;
    FollowChange(Followups{rule.assigned, true, false, rule.saved, rule.follow});
}

void ChangeOption(OptionId which, int32_t value) {
    const OptionRow& row = OptionRowOf(which);
    g_options.*(row.field) = value;
    // An option outside the file (start with Windows) has nothing to save.
    FollowChange(Followups{0, false, row.affectsVisibility, row.key != nullptr, kFollowBoxes});
}

void ToggleEnabled() { ChangeOption(kOptionEnabled, g_options.enabled == 0 ? 1 : 0); }

void ChangeHotkey(int32_t key, int32_t modifiers) {
    g_options.hotkeyKey = key;
    g_options.hotkeyModifiers = modifiers;
    FollowChange(Followups{0, false, false, true, kFollowHotkey});
}

void ChangeSwitchHotkey(int32_t key, int32_t modifiers) {
    g_options.switchKey = key;
    g_options.switchModifiers = modifiers;
    FollowChange(Followups{0, false, false, true, kFollowHotkey});
}

bool SwitchCrosshair(int direction, ListEntry* landed) {
    if (!NextListEntry(g_paths.miras, g_crosshair, direction, landed)) return false;
    CrosshairSettings next = g_crosshair;
    if (!ApplyListLine(g_paths.miras, landed->text, landed->itemData, &next)) return false;
    ChangeCrosshair(next, kCrosshairPicked);
    return true;
}

void ResetEverything() {
    g_crosshair = kBuiltinPresets[0].settings;
    ResetOptions();
    FollowChange(Followups{kAssignedCrosshairLook | kAssignedCrosshairOffsets | kAssignedOptions,
                           true, true, true, kFollowControls | kFollowHotkey});
}

bool LoadStartupSettings() {
    g_crosshair = kBuiltinPresets[0].settings;
    g_options = kDefaultOptions;
    return LoadSettingsPatiently(g_paths.config, &g_options, &g_crosshair, &g_serverMemories,
                                 &g_settingsFile);
}

void PrepareSettingsFiles(bool configExisted) {
    PrepareStartupFiles(g_paths.config, g_paths.miras, configExisted, g_options, g_crosshair,
                        g_serverMemories, &g_settingsFile);
}

void CatchUpSettingsFile(uint32_t now) {
    bool unread = SettingsFileUnread(g_settingsFile);
    if (!unread && !SettingsFileBehind(g_settingsFile)) return;
    if (!SaveRetryDue(g_settingsRetry, now)) return;
    if (!unread || ReadLate()) {
        // A config.ini read only now may hold another crosshair, options and
        // hotkey; the next tick with the game in front registers the file's.
        if (unread)
            FollowChange(Followups{0, true, false, false, kFollowControls | kFollowHotkey});
        // No waiting on a tick: the overlay must follow the game meanwhile.
        if (SettingsFileBehind(g_settingsFile)) SaveWithin(kProfileTryOnce);
    }
    NoteSaveTry(&g_settingsRetry, now, SettingsFileRefusing(g_settingsFile));
}

void SaveIfBehind() {
    if (SettingsFileBehind(g_settingsFile)) SaveWithin(kProfileTryOnce);
}

void SaveBeforeSessionEnds() { SaveLast(kLastSaveIfBehind); }

// A file unread at start gets this run's changes, nothing more. Written whole
// even when nothing changed: the run's last word also mends a file that
// something else spoiled meanwhile.
void SaveAtQuit() { SaveLast(kLastSaveWhole); }

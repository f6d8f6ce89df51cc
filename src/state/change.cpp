// The door: the program's single records, every change of the current
// crosshair and of the options with its follow-ups from one table, and the
// reads and writes that keep config.ini in step with the records.
#include "state/change.h"

#include <new>
#include <wchar.h>

#include "base/wtext.h"

namespace {
// The records themselves; every other file sees them through the const
// references below, so a write anywhere else does not compile.
CrosshairSettings g_crosshairRecord = kBuiltinPresets[0].settings;
AppOptions g_optionsRecord = kDefaultOptions;
// Made when the program starts, in zeroed memory: as a plain definition its
// rows' default image scale would be written into the executable, 57 KB.
alignas(ServerMemories) unsigned char g_serverBytes[sizeof(ServerMemories)];
ServerMemories& g_serverRecord = *new (g_serverBytes) ServerMemories();
ListEntry g_lastSwitched;
// The server the game names now, and the name the label shows after a
// switch or an arrival (a server's name cut to kArrivalNameChars).
wchar_t g_server[kServerNameChars];
enum { kArrivalNameChars = 40, kNameLabelTextChars = kServerNameChars };
wchar_t g_nameLabelText[kNameLabelTextChars];
}  // namespace

const CrosshairSettings& g_crosshair = g_crosshairRecord;
const AppOptions& g_options = g_optionsRecord;
const ServerMemories& g_serverMemories = g_serverRecord;
SettingsPaths g_paths;
SettingsFileState g_settingsFile;
FrontEnd g_frontEnd;

namespace {
// When a change that config.ini did not take is tried again: every idle
// tick, every twelfth while the tick follows the right button, and less and
// less often while the file refuses every change.
SaveRetry g_settingsRetry;

// How a row writes config.ini. The player's changes try it once and never
// wait; the end of the run waits the full patience, a late read first.
enum SaveWhen { kSaveNever, kSaveOnce, kSaveOnceIfBehind, kSaveLastIfBehind, kSaveLastWhole };

constexpr uint32_t Steps(FollowStep a) { return 1u << a; }
template <typename... More>
constexpr uint32_t Steps(FollowStep a, More... more) {
    return Steps(a) | Steps(more...);
}

// Everything an open window shows of the records.
constexpr uint32_t kWholeWindow =
    Steps(kStepControls, kStepValues, kStepPreview, kStepBoxes, kStepHotkeyTexts);
constexpr uint32_t kCrosshairWindow = Steps(kStepControls, kStepValues, kStepPreview);
// A change the player makes to the crosshair or its flag: kept for the server
// now, and written.
constexpr uint32_t kPlayersChange = Steps(kStepRemember, kStepSave);

// What follows each kind of change: the fields a whole choice assigns (kept
// by a late read of config.ini), how the file is written, and the steps.
struct FollowRow {
    ChangeKind kind;
    uint32_t assigned;
    SaveWhen save;
    uint32_t steps;
};
constexpr FollowRow kFollowRows[] = {
    {kCrosshairDragged, 0, kSaveNever, Steps(kStepRender, kStepValues, kStepPreview)},
    {kCrosshairEdited, 0, kSaveOnce,
     Steps(kStepRender, kStepValues, kStepPreview) | kPlayersChange},
    {kCrosshairPicked, kAssignedCrosshairLook, kSaveOnce,
     Steps(kStepRender) | kPlayersChange | kCrosshairWindow},
    {kCrosshairRestored, kAssignedCrosshairLook | kAssignedCrosshairOffsets, kSaveOnce,
     Steps(kStepRender) | kPlayersChange | kCrosshairWindow},
    {kCrosshairImageSet, 0, kSaveOnce, Steps(kStepRender) | kPlayersChange | kCrosshairWindow},
    {kCrosshairMovedDragged, 0, kSaveNever, Steps(kStepPlace, kStepValues)},
    {kCrosshairMoved, 0, kSaveOnce, Steps(kStepPlace, kStepValues) | kPlayersChange},
    {kCrosshairSwitched, kAssignedCrosshairLook, kSaveOnce,
     Steps(kStepNameLabel, kStepRender, kStepListLine) | kPlayersChange | kCrosshairWindow},
    {kEnabledChanged, 0, kSaveOnce, Steps(kStepVisibility, kStepBoxes) | kPlayersChange},
    {kOptionStored, 0, kSaveOnce, Steps(kStepSave, kStepBoxes, kStepServerLabel)},
    {kOptionShown, 0, kSaveOnce, Steps(kStepVisibility, kStepSave, kStepBoxes)},
    {kOptionStartup, 0, kSaveNever, Steps(kStepRestart, kStepBoxes)},
    {kHotkeyChanged, 0, kSaveOnce,
     Steps(kStepSave, kStepHotkeys, kStepHotkeyTexts, kStepTrayText)},
    // Every server is forgotten too; nothing of the reset is kept for one.
    {kEverythingReset, kAssignedCrosshairLook | kAssignedCrosshairOffsets | kAssignedOptions,
     kSaveOnce,
     Steps(kStepRender, kStepVisibility, kStepSave, kStepHotkeys, kStepServerLabel,
           kStepTrayText) |
         kWholeWindow},
    // On the tick, which shows or hides the overlay itself right after. The
    // file may hold another hotkey: the next tick with the game in front
    // registers the file's.
    {kFileReadLate, 0, kSaveOnceIfBehind,
     Steps(kStepRender, kStepSave, kStepHotkeys, kStepServerLabel, kStepTrayText) | kWholeWindow},
    {kHotkeyTakenChanged, 0, kSaveNever, Steps(kStepHotkeyTexts, kStepTrayText)},
    {kServerSeen, 0, kSaveNever, Steps(kStepServerLabel)},
    // Worn as the player left it there, and not kept again: only its use is.
    // Seen on the tick, which shows or hides the overlay itself right after.
    {kServerArrived, kAssignedCrosshairLook | kAssignedCrosshairOffsets, kSaveOnce,
     Steps(kStepNameLabel, kStepRender, kStepSave, kStepServerLabel) | kWholeWindow},
    {kTargetChanged, 0, kSaveNever, Steps(kStepRender, kStepPreview)},
    {kSessionQueried, 0, kSaveOnceIfBehind, Steps(kStepSave)},
    {kSessionEnding, 0, kSaveLastIfBehind, Steps(kStepSave)},
    {kProgramQuitting, 0, kSaveLastWhole, Steps(kStepSave)},
};
// Each kind's row stands at its own place, so a kind is its row's index.
constexpr bool RowsInKindOrder() {
    size_t count = sizeof kFollowRows / sizeof kFollowRows[0];
    for (size_t i = 0; i < count; ++i)
        if (kFollowRows[i].kind != (ChangeKind)i) return false;
    return count == kChangeKindCount;
}
static_assert(RowsInKindOrder(), "every kind of change has its row, in the order of ChangeKind");

const FollowRow& FollowRowOf(ChangeKind kind) {
    return kFollowRows[(size_t)kind < (size_t)kChangeKindCount ? kind : 0];
}

bool SaveWithin(unsigned patienceMs) {
    return SaveSettingsChange(g_paths.config, g_optionsRecord, g_crosshairRecord, g_serverRecord,
                              &g_settingsFile, patienceMs);
}

// The run's last word: a late read and the save share the one full budget.
void SaveLast(LastSave what) {
    SaveSettingsLast(g_paths.config, &g_optionsRecord, &g_crosshairRecord, &g_serverRecord,
                     &g_settingsFile, kProfileSavePatienceMs, what);
}

// The player sees a change first; the file is tried once, never waited for,
// and a refused write is taken up again by the tick.
void Save(SaveWhen when) {
    // The tool and the tests link the door with no settings file to keep.
    if (g_paths.config[0] == 0) return;
    switch (when) {
    case kSaveNever:
        break;
    case kSaveOnce:
        SaveWithin(kProfileTryOnce);
        break;
    case kSaveOnceIfBehind:
        if (SettingsFileBehind(g_settingsFile)) SaveWithin(kProfileTryOnce);
        break;
    case kSaveLastIfBehind:
        SaveLast(kLastSaveIfBehind);
        break;
    case kSaveLastWhole:
        // Written whole even when nothing changed: the run's last word also
        // mends a file that something else spoiled meanwhile.
        SaveLast(kLastSaveWhole);
        break;
    }
}

// The server now keeps what the player wears there, while the option is on.
void RememberForServer() {
    if (g_optionsRecord.perServer == 0 || g_server[0] == 0) return;
    RecordServerMemory(&g_serverRecord, g_server, g_crosshairRecord, g_optionsRecord.enabled);
}

void ResetOptions() {
    for (const OptionRow& row : kOptionRows)
        if (row.reset == kResetToDefault) g_optionsRecord.*(row.field) = row.defaultValue;
}

// Whether next differs from the crosshair worn in its offsets alone.
bool OnlyOffsetsDiffer(const CrosshairSettings& next) {
    CrosshairSettings moved = g_crosshairRecord;
    moved.offsetX = next.offsetX;
    moved.offsetY = next.offsetY;
    return SameSettingsText(g_optionsRecord, moved, g_optionsRecord, next);
}
}  // namespace

void FollowChange(ChangeKind kind) {
    const FollowRow& row = FollowRowOf(kind);
    NoteAssignedFields(&g_settingsFile, row.assigned);
    for (int step = 0; step < kStepCount; ++step) {
        if (!(row.steps & Steps((FollowStep)step))) continue;
        if (step == kStepSave) {
            Save(row.save);
        } else if (step == kStepRemember) {
            RememberForServer();
        } else if (g_frontEnd.steps[step]) {
            g_frontEnd.steps[step]();
        }
    }
}

const ListEntry& LastSwitchedLine() { return g_lastSwitched; }

const wchar_t* NameLabelText() { return g_nameLabelText; }

const wchar_t* CurrentServer() { return g_server; }

void SeeServer(const wchar_t* server) {
    if (wcscmp(server, g_server) == 0) return;
    CopyW(g_server, kServerNameChars, server);
    const ServerMemory* memory =
        g_optionsRecord.perServer != 0 && g_server[0] ? FindServerMemory(g_serverRecord, g_server)
                                                      : nullptr;
    if (!memory) {
        FollowChange(kServerSeen);
        return;
    }
    g_crosshairRecord = memory->crosshair;
    g_optionsRecord.enabled = memory->enabled != 0 ? 1 : 0;
    TouchServerMemory(&g_serverRecord, g_server);
    CutW(g_nameLabelText, kNameLabelTextChars, g_server, kArrivalNameChars);
    FollowChange(kServerArrived);
}

int FindColourPresetIndex() {
    return FindColourPresetIndexOf(g_crosshair.red, g_crosshair.green, g_crosshair.blue);
}

void ChangeCrosshair(const CrosshairSettings& next, ChangeKind why) {
    // A slider of the offsets moves the window; the pixels stay as they are.
    if ((why == kCrosshairDragged || why == kCrosshairEdited) && OnlyOffsetsDiffer(next))
        why = why == kCrosshairDragged ? kCrosshairMovedDragged : kCrosshairMoved;
    g_crosshairRecord = next;
    FollowChange(why);
}

void ChangeOption(OptionId which, int32_t value) {
    const OptionRow& row = OptionRowOf(which);
    g_optionsRecord.*(row.field) = value;
    // An option outside the file (start with Windows) has nothing to save.
    FollowChange(which == kOptionEnabled    ? kEnabledChanged
                 : row.key == nullptr       ? kOptionStartup
                 : row.affectsVisibility    ? kOptionShown
                                            : kOptionStored);
}

void ToggleEnabled() { ChangeOption(kOptionEnabled, g_options.enabled == 0 ? 1 : 0); }

void ChangeHotkey(int32_t key, int32_t modifiers) {
    g_optionsRecord.hotkeyKey = key;
    g_optionsRecord.hotkeyModifiers = modifiers;
    FollowChange(kHotkeyChanged);
}

void ChangeSwitchHotkey(int32_t key, int32_t modifiers) {
    g_optionsRecord.switchKey = key;
    g_optionsRecord.switchModifiers = modifiers;
    FollowChange(kHotkeyChanged);
}

bool SwitchCrosshair(int direction) {
    ListEntry landed;
    if (!NextListEntry(g_paths.miras, g_crosshair, direction, &landed)) return false;
    CrosshairSettings next = g_crosshair;
    if (!ApplyListLine(g_paths.miras, landed.text, landed.itemData, &next)) return false;
    g_lastSwitched = landed;
    CopyW(g_nameLabelText, kNameLabelTextChars, ListEntryName(landed));
    g_crosshairRecord = next;
    FollowChange(kCrosshairSwitched);
    return true;
}

void ResetEverything() {
    g_crosshairRecord = kBuiltinPresets[0].settings;
    ResetOptions();
    ForgetServerMemories(&g_serverRecord);
    FollowChange(kEverythingReset);
}

bool LoadStartupSettings() {
    g_crosshairRecord = kBuiltinPresets[0].settings;
    g_optionsRecord = kDefaultOptions;
    return LoadSettingsPatiently(g_paths.config, &g_optionsRecord, &g_crosshairRecord,
                                 &g_serverRecord, &g_settingsFile);
}

void PrepareSettingsFiles(bool configExisted) {
    PrepareStartupFiles(g_paths.config, g_paths.miras, configExisted, g_options, g_crosshair,
                        g_serverMemories, &g_settingsFile);
}

void CatchUpSettingsFile(uint32_t now) {
    bool unread = SettingsFileUnread(g_settingsFile);
    if (!unread && !SettingsFileBehind(g_settingsFile)) return;
    if (!SaveRetryDue(g_settingsRetry, now)) return;
    if (!unread) {
        // No waiting on a tick: the overlay must follow the game meanwhile.
        Save(kSaveOnceIfBehind);
    } else if (ReadLateSettings(g_paths.config, &g_optionsRecord, &g_crosshairRecord,
                                &g_serverRecord, &g_settingsFile, kProfileTryOnce)) {
        FollowChange(kFileReadLate);
    }
    NoteSaveTry(&g_settingsRetry, now, SettingsFileRefusing(g_settingsFile));
}

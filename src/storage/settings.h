// The settings file "config.ini": options, current crosshair and the memory of
// each server, the key-level read and write rules shared with "miras.ini",
// and the start-up file steps.
// Portable: every file access goes through the private-profile contract.
#pragma once
#include <stdint.h>
#include "base/ids.h"
#include "crosshair/crosshair.h"
#include "storage/profile.h"
#include "storage/servers.h"

enum { kPathChars = 260 };

struct AppOptions {
    int32_t enabled;           // "ligada"
    int32_t onlyWithGame;      // "so_com_fivem"
    int32_t onlyWhileAiming;   // "so_mirando"
    int32_t hotkeyKey;         // "atalho_tecla", virtual-key code 1..254
    int32_t hotkeyModifiers;   // "atalho_mod", kModAlt | kModControl | kModShift
    int32_t monitor;           // "monitor", stored only
    int32_t hideWithCursor;    // "esconder_com_cursor": hidden while the game shows the cursor
    int32_t startWithWindows;  // mirrors the Run value; never in the file
    int32_t switchKey;         // "troca_tecla": the next saved crosshair, 0 for none
    int32_t switchModifiers;   // "troca_mod", as hotkeyModifiers
    int32_t perServer;         // "por_servidor": each FiveM server remembers its crosshair
};

// A hotkey's modifiers as the file stores them and RegisterHotKey takes them.
enum { kModAlt = 1, kModControl = 2, kModShift = 4 };
// The virtual-key codes a hotkey can hold.
enum { kHotkeyKeyFirst = 1, kHotkeyKeyLast = 254 };
// The stored key is valid when it lies in 1..254 (as an unsigned number).
bool IsValidHotkeyKey(int32_t key);

enum {
    kDefaultHotkeyKey = 'O',
    kDefaultHotkeyModifiers = kModControl,
    kMirasVersionCurrent = 2,
};

// Every option, one row each: where it is stored, what it starts as, what
// "Redefinir tudo" does with it and which check box shows it. A new option
// is one new row.
enum OptionId {
    kOptionEnabled, kOptionOnlyWithGame, kOptionOnlyWhileAiming, kOptionHotkeyKey,
    kOptionHotkeyModifiers, kOptionMonitor, kOptionHideWithCursor, kOptionStartWithWindows,
    kOptionSwitchKey, kOptionSwitchModifiers, kOptionPerServer,
    kOptionCount,
};
enum OptionReset { kResetToDefault, kResetKeeps };
struct OptionRow {
    OptionId id;
    const wchar_t* key;           // in "Opcoes"; null: never in the file
    int32_t AppOptions::*field;
    int32_t defaultValue;
    OptionReset reset;
    int32_t checkBox;             // the settings window's box for it, or kIdUnnamed
    bool boxShowsInverse;         // the box is ticked while the option is 0
    bool alsoInCrosshair;         // older files keep this key in "Mira" only
    bool affectsVisibility;       // the overlay may show or hide when it changes
    // The key row of the hotkey this row is part of (kOptionCount: none). A
    // key outside 1..254 in the file resets the hotkey's rows to their defaults.
    OptionId hotkey = kOptionCount;
    // Written only while that hotkey holds a key, and removed from the file otherwise.
    bool onlyWhileSet = false;
    // Written only while the option is off (0), and removed from the file while
    // it is on: a file without the key has it on.
    bool onlyWhileOff = false;
};
// In the order config.ini holds the keys.
extern const OptionRow kOptionRows[kOptionCount];
const OptionRow& OptionRowOf(OptionId id);
// The value a row's check box shows for the option's value, and back.
bool OptionBoxTicked(const OptionRow& row, int32_t value);
int32_t OptionValueOfBox(const OptionRow& row, bool ticked);

extern const AppOptions kDefaultOptions;

extern const wchar_t kSectionOptions[];    // "Opcoes"
extern const wchar_t kSectionCrosshair[];  // "Mira"
extern const wchar_t kKeyMirasVersion[];   // "versao_miras"
extern const wchar_t kKeySize[];           // "tamanho" (also the existence key of a saved crosshair)

float ReadFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float current);
// The leading integer of the value, read as text and converted by
// ParseProfileInteger; current when the key is absent or empty.
int32_t ReadIntSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       int32_t current);
// The writers answer whether the private-profile layer wrote the value.
bool WriteFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float value);
bool WriteIntSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                     int32_t value);

// The text a free value (a name) is stored as, so that the reader gives it
// back exactly: the reader trims blanks from both ends and drops one pair of
// matching enclosing quotes, so a value that either would change is stored
// inside one pair of double quotes, which the reader drops. Every other value
// is stored as it is, and files keep their bytes. text holds textChars; false
// (text empty) when the stored form does not fit.
bool StoredValueText(const wchar_t* value, wchar_t* text, size_t textChars);

// Reads the keys in order: the thirteen of the drawn crosshair, each defaulting
// to the field already in *into, then "imagem" and "escala_imagem", which say
// what the section says: an absent or unsafe name is no image, an absent
// scale is 100.
void ReadCrosshairSection(const wchar_t* file, const wchar_t* section, CrosshairSettings* into);
// Writes the thirteen keys in order, then the two image keys while an image is
// in use (removing them otherwise), then flushes the file; true when every key
// was written.
bool WriteCrosshairSection(const wchar_t* file, const wchar_t* section,
                           const CrosshairSettings& crosshair);

// A whole-file change of one INI file: the writes go to a copy beside it
// ("config.ini.tmp"), which then takes the file's place in one step, so a
// process killed at any moment leaves the old or the new file, never a mix.
struct FileChange {
    const wchar_t* file;
    wchar_t copy[kPathChars];
    unsigned patienceMs;  // how long the copy and the swap wait for a program holding the file
    bool ok;              // false once any step failed: the change is then dropped
    ProfileReplaceable replaceable;  // what the check before the copy found
};
// The copy that changes of file write; false when its name does not fit.
bool ChangeCopyPath(const wchar_t* file, wchar_t* copy);
// Makes the copy; false (nothing changed) when it cannot be made, or when the
// file refuses every change (read-only, access denied): then no copy is made.
// patienceMs is the budget of the whole change: the check, the copy and the swap share it.
bool BeginFileChange(FileChange* change, const wchar_t* file, unsigned patienceMs);
// Flushes the copy and swaps it in. On any failure the copy is removed and the
// file stays as it was; returns whether the file now holds the change.
bool FinishFileChange(FileChange* change);
// Copies left behind by a process killed in mid-change: removed, never read.
void RemoveLeftoverCopies(const wchar_t* config, const wchar_t* miras);

// Rewrites the "Opcoes" keys, the "Mira" section and the sections
// "Servidor1" ... "ServidorN" of the memories (the rows in their order) in one
// whole-file change; "Servidor" sections left from before go in the same
// change. False when config could not be replaced: it then keeps its old
// content, and the next save writes everything again. *replaceable, when
// given, says whether config refused the change before any copy was made.
bool SaveSettings(const wchar_t* config, const AppOptions& options,
                  const CrosshairSettings& crosshair, const ServerMemories& memories,
                  unsigned patienceMs, ProfileReplaceable* replaceable = nullptr);
// Start-up load over the values already in place; false when config does not
// exist. The memories become the file's: only sections named "Servidor"
// followed by digits count; their "nome" is cleaned as a title's name is, and
// one that cleans to nothing is passed over; of one name the larger "usado"
// stays, and of more than kServerMemoryLimit names, those of the largest.
bool LoadSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                  ServerMemories* memories);
// The sections of a server memory, read as LoadSettings reads them (into an
// empty record).
void LoadServerMemories(const wchar_t* config, ServerMemories* memories);
// True when config holds at least one section: settings written by an earlier run.
bool SettingsFileHasContent(const wchar_t* config);
// The whole settings file with versao_miras = 2, in one change: a file written
// now describes the saved crosshairs as they are now.
bool WriteFirstRunSettings(const wchar_t* config, const AppOptions& options,
                           const CrosshairSettings& crosshair, const ServerMemories& memories);
// When miras does not exist: creates it (BOM only) and records versao_miras = 2.
void CreateSavedCrosshairsFile(const wchar_t* config, const wchar_t* miras);
// Once per content version: removes the obsolete sections and writes versao_miras = 2.
void MigrateSavedCrosshairs(const wchar_t* config, const wchar_t* miras);
// What the running program knows of config.ini besides the records: whether
// the start could read it, whether the newest settings have reached it, and
// what the program last wrote there. Only the operations below touch it.
struct SettingsFileState {
    bool unread;   // it existed at start but stayed held: it is never replaced until read
    bool behind;   // a change has not reached the file yet
    // Why the change still behind was refused outright (read-only, access
    // denied); kProfileReplaceable while nothing is behind or it was only held.
    ProfileReplaceable refusal;
    bool written;  // the records below are what the program last wrote
    AppOptions writtenOptions;
    CrosshairSettings writtenCrosshair;
    uint32_t writtenServers;  // the memories' revision then
    // While unread: the values the run started from, the records as last
    // seen, and the fields the run assigned since the start (kAssigned...).
    AppOptions startOptions;
    CrosshairSettings startCrosshair;
    AppOptions seenOptions;
    CrosshairSettings seenCrosshair;
    uint32_t assigned;
};

// Groups of fields a whole choice assigns, for NoteAssignedFields. A field
// changed by a single edit is noted by the next write or late read by itself.
enum : uint32_t {
    kAssignedCrosshairLook = 1u << 0,  // every crosshair field but the offsets
    kAssignedCrosshairOffsets = 1u << 1,
    kAssignedOptions = 1u << 2,  // every option the file holds
};
// A pick, an import or a reset has chosen these fields whole: the late read
// lays them over the file even where they equal the values the run started from.
void NoteAssignedFields(SettingsFileState* state, uint32_t groups);
// Marks config.ini as existing but unread; options and crosshair are the
// values the run starts from.
void MarkSettingsUnread(SettingsFileState* state, const AppOptions& options,
                        const CrosshairSettings& crosshair);

// How long the start waits for a config.ini another program holds.
enum { kStartReadPatienceMs = 2000 };

// The start-up file steps in their order: leftovers removed; the settings
// written whole unless config held settings before this start; miras created
// when missing; the clean-up only when config held settings before this start.
// A config.ini that state marks unread gets none of them. The first-run write
// is recorded in state, when given, as what the program last wrote.
void PrepareStartupFiles(const wchar_t* config, const wchar_t* miras, bool configExisted,
                         const AppOptions& options, const CrosshairSettings& crosshair,
                         const ServerMemories& memories, SettingsFileState* state = nullptr);

// LoadSettings once config.ini can be read, waiting for a program that holds
// it. A file that stays held marks state unread, and the run goes on from the
// values already in place. Returns whether config.ini exists.
bool LoadSettingsPatiently(const wchar_t* config, AppOptions* options,
                           CrosshairSettings* crosshair, ServerMemories* memories,
                           SettingsFileState* state);
// True when the two states write the same text into config.ini.
bool SameSettingsText(const AppOptions& options, const CrosshairSettings& crosshair,
                      const AppOptions& otherOptions, const CrosshairSettings& otherCrosshair);
// SaveSettings unless the file already holds exactly what the program last
// wrote there (the memories: the same revision of the one record the program
// passes every time). Nothing is written while the file is unread. A failure leaves
// state behind, for a later try. Returns whether the file holds these settings.
// Each caller says how long it may wait: kProfileTryOnce for every change the
// player makes, the full patience only when the program ends.
bool SaveSettingsChange(const wchar_t* config, const AppOptions& options,
                        const CrosshairSettings& crosshair, const ServerMemories& memories,
                        SettingsFileState* state, unsigned patienceMs);
// SaveSettingsChange that writes even when nothing changed: the run's last
// word also mends a file that something else spoiled meanwhile.
bool SaveSettingsWhole(const wchar_t* config, const AppOptions& options,
                       const CrosshairSettings& crosshair, const ServerMemories& memories,
                       SettingsFileState* state, unsigned patienceMs);
// Whether the file is still unread, and whether a change has not reached it.
bool SettingsFileUnread(const SettingsFileState& state);
bool SettingsFileBehind(const SettingsFileState& state);
// Whether the change behind was refused outright: by the file's read-only
// mark alone, or by that or lasting denied access. Cleared once nothing is behind.
bool SettingsFileReadOnly(const SettingsFileState& state);
bool SettingsFileRefusing(const SettingsFileState& state);
// For a file unread at start, once it can be read (waiting up to patienceMs
// for a program that holds it; *waitedMs, when given, gets what that cost):
// every field this run assigned is laid over what the file holds, and the
// result becomes *options and *crosshair; the memories this run recorded lie
// over the file's by name, as the newest. state is behind when there was such
// a change. False while the file still cannot be read (or was not unread).
bool ReadLateSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                      ServerMemories* memories, SettingsFileState* state, unsigned patienceMs,
                      unsigned* waitedMs = nullptr);

// The run's last word, when the program ends or Windows ends the session: a
// file unread at start is read first, and then the settings are written
// (whole, or only a change still behind); the read and the write share the
// one budget patienceMs. Returns whether the file holds the settings.
enum LastSave { kLastSaveIfBehind, kLastSaveWhole };
bool SaveSettingsLast(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                      ServerMemories* memories, SettingsFileState* state, unsigned patienceMs,
                      LastSave what);

// When the tick tries again a change the file did not take: on the tick after
// kSaveRetryFirstMs while another program holds the file for a moment; while
// the file refuses every change, each wait doubles up to kSaveRetryLongestMs,
// so a read-only file costs a look now and then, not a try on every tick.
enum { kSaveRetryFirstMs = 180, kSaveRetryLongestMs = 30000 };
struct SaveRetry {
    uint32_t lastTry;  // tick count of the last try
    uint32_t waitMs;   // from the last try to the next; 0 before the first
};
// Whether the next try is due at now (tick counts wrap around).
bool SaveRetryDue(const SaveRetry& retry, uint32_t now);
// After a try at now: refused says the file refused the change outright.
void NoteSaveTry(SaveRetry* retry, uint32_t now, bool refused);

// The settings file "config.ini": key-level read and write rules (shared with
// "miras.ini"), the options and current crosshair, and the start-up file steps.
#include "storage/settings.h"

#include <float.h>
#include <math.h>
#include <stddef.h>
#include <string.h>

#include "base/wtext.h"
#include "storage/profile.h"

const AppOptions kDefaultOptions = {
    1,                         // enabled
    1,                         // onlyWithGame
    0,                         // onlyWhileAiming
    kDefaultHotkeyKey,         // hotkeyKey
    kDefaultHotkeyModifiers,   // hotkeyModifiers
    0,                         // monitor
    0,                         // hideWithCursor
    0,                         // startWithWindows
};

const wchar_t kSectionOptions[] = L"Opcoes";
const wchar_t kSectionCrosshair[] = L"Mira";
const wchar_t kKeyMirasVersion[] = L"versao_miras";
const wchar_t kKeySize[] = L"tamanho";

namespace {

enum {
    kFloatTextChars = 64,
    kIntTextChars = 32,
    kHotkeyKeyFirst = 1,
    kHotkeyKeyLast = 254,
    kMirasVersionFirst = 1,  // what a file without the key counts as
    kByteMask = 0xFF,
    kContentProbeChars = 8,  // enough to see that a file names any section
};

const wchar_t kFloatFormat[] = L"%.3f";
const wchar_t kIntFormat[] = L"%d";
const wchar_t kCopySuffix[] = L".tmp";
const wchar_t kCopyFormat[] = L"%ls%ls";

enum FieldForm { kFormFloat, kFormInt, kFormByte };

struct CrosshairKey {
    const wchar_t* key;
    FieldForm form;
    size_t offset;  // of the field inside CrosshairSettings
};

// The thirteen keys of a crosshair section, in the order they are written and read.
const CrosshairKey kCrosshairKeys[] = {
    {kKeySize, kFormFloat, offsetof(CrosshairSettings, size)},
    {L"espacamento", kFormFloat, offsetof(CrosshairSettings, gap)},
    {L"espessura", kFormFloat, offsetof(CrosshairSettings, thickness)},
    {L"contorno", kFormInt, offsetof(CrosshairSettings, outline)},
    {L"espessura_contorno", kFormFloat, offsetof(CrosshairSettings, outlineThickness)},
    {L"ponto", kFormInt, offsetof(CrosshairSettings, dot)},
    {L"estilo_t", kFormInt, offsetof(CrosshairSettings, tStyle)},
    {L"cor_r", kFormByte, offsetof(CrosshairSettings, red)},
    {L"cor_g", kFormByte, offsetof(CrosshairSettings, green)},
    {L"cor_b", kFormByte, offsetof(CrosshairSettings, blue)},
    {L"opacidade", kFormByte, offsetof(CrosshairSettings, alpha)},
    {L"posicao_x", kFormInt, offsetof(CrosshairSettings, offsetX)},
    {L"posicao_y", kFormInt, offsetof(CrosshairSettings, offsetY)},
};

struct OptionKey {
    const wchar_t* key;
    size_t offset;         // of the field inside AppOptions
    bool alsoInCrosshair;  // older files keep this key in "Mira" only
};

// The "Opcoes" keys in the order SaveSettings writes them and LoadSettings reads them.
const OptionKey kOptionKeys[] = {
    {L"so_com_fivem", offsetof(AppOptions, onlyWithGame), false},
    {L"ligada", offsetof(AppOptions, enabled), true},
    {L"so_mirando", offsetof(AppOptions, onlyWhileAiming), false},
    {L"atalho_tecla", offsetof(AppOptions, hotkeyKey), false},
    {L"atalho_mod", offsetof(AppOptions, hotkeyModifiers), false},
    {L"monitor", offsetof(AppOptions, monitor), false},
    {L"esconder_com_cursor", offsetof(AppOptions, hideWithCursor), false},
};
// Keys added to "Opcoes" after "versao_miras" follow it in a first-run file
// too, so that a new file and an older one that gains them read alike.
enum { kOptionKeysBeforeMirasVersion = 6 };

// Sections that earlier versions put into "miras.ini" themselves.
const wchar_t* const kObsoleteSavedSections[] = {
    L"Zavik Padrão",
    L"Cruz pequena ciano",
    L"Cruz verde",
};

template <typename T, size_t N>
constexpr size_t CountOf(const T (&)[N]) {
    return N;
}

template <typename T>
T* FieldAt(void* record, size_t offset) {
    return reinterpret_cast<T*>(static_cast<unsigned char*>(record) + offset);
}

template <typename T>
const T* FieldAt(const void* record, size_t offset) {
    return reinterpret_cast<const T*>(static_cast<const unsigned char*>(record) + offset);
}

void Flush(const wchar_t* file) { ProfileWriteString(nullptr, nullptr, nullptr, file); }

void ReadCrosshairKey(const wchar_t* file, const wchar_t* section, const CrosshairKey& row,
                      CrosshairSettings* into) {
    switch (row.form) {
        case kFormFloat: {
            float* field = FieldAt<float>(into, row.offset);
            *field = ReadFloatSetting(file, section, row.key, *field);
            break;
        }
        case kFormInt: {
            int32_t* field = FieldAt<int32_t>(into, row.offset);
            *field = ReadIntSetting(file, section, row.key, *field);
            break;
        }
        case kFormByte: {
            uint8_t* field = FieldAt<uint8_t>(into, row.offset);
            *field = (uint8_t)(ReadIntSetting(file, section, row.key, *field) & kByteMask);
            break;
        }
    }
}

// The text a crosshair key is written as; text holds kFloatTextChars.
void FormatCrosshairKey(const CrosshairKey& row, const CrosshairSettings& crosshair,
                        wchar_t* text) {
    switch (row.form) {
        case kFormFloat:
            FormatW(text, kFloatTextChars, kFloatFormat,
                    (double)*FieldAt<float>(&crosshair, row.offset));
            return;
        case kFormInt:
            FormatW(text, kFloatTextChars, kIntFormat, (int)*FieldAt<int32_t>(&crosshair, row.offset));
            return;
        case kFormByte:
            FormatW(text, kFloatTextChars, kIntFormat, (int)*FieldAt<uint8_t>(&crosshair, row.offset));
            return;
    }
    text[0] = 0;
}

bool WriteCrosshairKey(const wchar_t* file, const wchar_t* section, const CrosshairKey& row,
                       const CrosshairSettings& crosshair) {
    wchar_t text[kFloatTextChars];
    FormatCrosshairKey(row, crosshair, text);
    return ProfileWriteString(section, row.key, text, file);
}

bool SameKeyText(const CrosshairKey& row, const CrosshairSettings& a, const CrosshairSettings& b) {
    wchar_t textA[kFloatTextChars], textB[kFloatTextChars];
    FormatCrosshairKey(row, a, textA);
    FormatCrosshairKey(row, b, textB);
    return wcscmp(textA, textB) == 0;
}

void CopyCrosshairField(const CrosshairKey& row, const CrosshairSettings& from,
                        CrosshairSettings* to) {
    size_t size = row.form == kFormByte ? sizeof(uint8_t) : sizeof(int32_t);
    static_assert(sizeof(float) == sizeof(int32_t), "fields of four bytes");
    memcpy(reinterpret_cast<unsigned char*>(to) + row.offset,
           reinterpret_cast<const unsigned char*>(&from) + row.offset, size);
}

int32_t OptionOf(const AppOptions& options, const OptionKey& row) {
    return *FieldAt<int32_t>(&options, row.offset);
}

// Field bits of the late read: crosshair key i is bit i, option key j bit
// kOptionBitsFirst + j, in the tables' order.
enum { kOptionBitsFirst = 16 };
static_assert(CountOf(kCrosshairKeys) <= kOptionBitsFirst, "crosshair bits overlap");
static_assert(kOptionBitsFirst + CountOf(kOptionKeys) <= 32, "option bits overflow");

uint32_t CrosshairBit(size_t row) { return 1u << row; }
uint32_t OptionBit(size_t row) { return 1u << (kOptionBitsFirst + row); }

bool IsOffsetKey(const CrosshairKey& row) {
    return row.offset == offsetof(CrosshairSettings, offsetX) ||
           row.offset == offsetof(CrosshairSettings, offsetY);
}

// The field bits of a group of kAssigned... flags.
uint32_t FieldsOfGroups(uint32_t groups) {
    uint32_t fields = 0;
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i) {
        uint32_t group =
            IsOffsetKey(kCrosshairKeys[i]) ? kAssignedCrosshairOffsets : kAssignedCrosshairLook;
        if (groups & group) fields |= CrosshairBit(i);
    }
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i)
        if (groups & kAssignedOptions) fields |= OptionBit(i);
    return fields;
}

// The fields whose file text differs between the two states.
uint32_t ChangedFields(const AppOptions& oldOptions, const CrosshairSettings& oldCrosshair,
                       const AppOptions& newOptions, const CrosshairSettings& newCrosshair) {
    uint32_t fields = 0;
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        if (!SameKeyText(kCrosshairKeys[i], oldCrosshair, newCrosshair)) fields |= CrosshairBit(i);
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i)
        if (OptionOf(oldOptions, kOptionKeys[i]) != OptionOf(newOptions, kOptionKeys[i]))
            fields |= OptionBit(i);
    return fields;
}

// While the file is unread, every field that changed since the records were
// last seen counts as assigned by the run.
void NoteChangedFields(SettingsFileState* state, const AppOptions& options,
                       const CrosshairSettings& crosshair) {
    if (!state->unread) return;
    state->assigned |= ChangedFields(state->seenOptions, state->seenCrosshair, options, crosshair);
    state->seenOptions = options;
    state->seenCrosshair = crosshair;
}

// The two keys of the hotkey.
uint32_t HotkeyBits() {
    uint32_t bits = 0;
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i)
        if (kOptionKeys[i].offset == offsetof(AppOptions, hotkeyKey) ||
            kOptionKeys[i].offset == offsetof(AppOptions, hotkeyModifiers))
            bits |= OptionBit(i);
    return bits;
}

// Lays every assigned field of now over *file; true when any was.
bool LayAssignedOver(uint32_t assigned, const AppOptions& now,
                     const CrosshairSettings& nowCrosshair, AppOptions* file,
                     CrosshairSettings* fileCrosshair) {
    // Key and modifiers are one choice: half of one hotkey over half of another is neither.
    if (assigned & HotkeyBits()) assigned |= HotkeyBits();
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        if (assigned & CrosshairBit(i))
            CopyCrosshairField(kCrosshairKeys[i], nowCrosshair, fileCrosshair);
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i)
        if (assigned & OptionBit(i))
            *FieldAt<int32_t>(file, kOptionKeys[i].offset) = OptionOf(now, kOptionKeys[i]);
    // Never in the file: always the run's own.
    file->startWithWindows = now.startWithWindows;
    return assigned != 0;
}

// What a budget leaves after spent: never below nothing.
unsigned Remaining(unsigned budget, unsigned spent) { return spent < budget ? budget - spent : 0u; }

bool HotkeyKeyUsable(int32_t key) {
    // Tested unsigned: 0, 255 and above, and every negative value fail.
    uint32_t code = (uint32_t)key;
    return code >= kHotkeyKeyFirst && code <= kHotkeyKeyLast;
}

// The options, optionally versao_miras = 2, and the crosshair, into config in one change.
bool WriteSettingsFile(const wchar_t* config, const AppOptions& options,
                       const CrosshairSettings& crosshair, bool withMirasVersion,
                       unsigned patienceMs, ProfileReplaceable* replaceable = nullptr) {
    FileChange change;
    bool begun = BeginFileChange(&change, config, patienceMs);
    if (replaceable) *replaceable = change.replaceable;
    if (!begun) return false;
    static_assert(CountOf(kOptionKeys) > kOptionKeysBeforeMirasVersion, "versao_miras has a place");
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i) {
        // Written before "Mira", so a new key lands after "monitor" in "Opcoes".
        if (withMirasVersion && i == kOptionKeysBeforeMirasVersion)
            change.ok &= WriteIntSetting(change.copy, kSectionOptions, kKeyMirasVersion,
                                         kMirasVersionCurrent);
        change.ok &= WriteIntSetting(change.copy, kSectionOptions, kOptionKeys[i].key,
                                     *FieldAt<int32_t>(&options, kOptionKeys[i].offset));
    }
    change.ok &= WriteCrosshairSection(change.copy, kSectionCrosshair, crosshair);
    return FinishFileChange(&change);
}

void RecordMirasVersion(const wchar_t* config) {
    FileChange change;
    if (!BeginFileChange(&change, config, kProfileSavePatienceMs)) return;
    change.ok &= WriteIntSetting(change.copy, kSectionOptions, kKeyMirasVersion,
                                 kMirasVersionCurrent);
    FinishFileChange(&change);
}

}  // namespace

float ReadFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float current) {
    // The current value goes through "%.3f" as the default, so a missing key
    // still rounds it to three decimals.
    wchar_t fallback[kFloatTextChars];
    wchar_t text[kFloatTextChars];
    FormatW(fallback, kFloatTextChars, kFloatFormat, (double)current);
    ProfileGetString(section, key, fallback, text, kFloatTextChars, file);
    return NarrowToFloat(ParseDoubleC(text, nullptr));
}

int32_t ReadIntSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       int32_t current) {
    // Read as text and converted here rather than by GetPrivateProfileIntW,
    // which older Windows documentation says answers 0 for values below zero:
    // negative offsets would then reset at every start.
    wchar_t text[kProfileIntTextChars];
    if (ProfileGetString(section, key, L"", text, kProfileIntTextChars, file) == 0) return current;
    return ParseProfileInteger(text);
}

bool WriteFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float value) {
    wchar_t text[kFloatTextChars];
    FormatW(text, kFloatTextChars, kFloatFormat, (double)value);
    return ProfileWriteString(section, key, text, file);
}

bool WriteIntSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                     int32_t value) {
    wchar_t text[kIntTextChars];
    FormatW(text, kIntTextChars, kIntFormat, (int)value);
    return ProfileWriteString(section, key, text, file);
}

void ReadCrosshairSection(const wchar_t* file, const wchar_t* section, CrosshairSettings* into) {
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        ReadCrosshairKey(file, section, kCrosshairKeys[i], into);
}

bool WriteCrosshairSection(const wchar_t* file, const wchar_t* section,
                           const CrosshairSettings& crosshair) {
    bool ok = true;
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        ok &= WriteCrosshairKey(file, section, kCrosshairKeys[i], crosshair);
    Flush(file);
    return ok;
}

bool ChangeCopyPath(const wchar_t* file, wchar_t* copy) {
    copy[0] = 0;
    if (!file || !file[0]) return false;
    // A cut name would be some other file.
    if (LengthW(file, kPathChars) + LengthW(kCopySuffix, kPathChars) >= kPathChars) return false;
    FormatW(copy, kPathChars, kCopyFormat, file, kCopySuffix);
    return true;
}

bool BeginFileChange(FileChange* change, const wchar_t* file, unsigned patienceMs) {
    change->file = file;
    change->replaceable = kProfileReplaceable;
    unsigned checked = 0, copied = 0;
    change->ok = ChangeCopyPath(file, change->copy);
    // Asked before the copy: a file that refuses the swap is not worth one.
    if (change->ok) change->replaceable = ProfileCheckReplaceable(file, patienceMs, &checked);
    change->ok = change->ok && change->replaceable == kProfileReplaceable &&
                 ProfileCopyForChange(file, change->copy, Remaining(patienceMs, checked), &copied);
    // The swap gets what the check and the copy left of the budget.
    change->patienceMs = Remaining(patienceMs, checked + copied);
    return change->ok;
}

bool FinishFileChange(FileChange* change) {
    // The documented flush puts everything kernel32 may still hold into the copy.
    Flush(change->copy);
    bool ok = change->ok && ProfileReplaceFile(change->copy, change->file, change->patienceMs);
    if (!ok) ProfileRemoveFile(change->copy);
    // Nothing cached from before the swap may answer a later read of the file.
    Flush(change->file);
    return ok;
}

void RemoveLeftoverCopies(const wchar_t* config, const wchar_t* miras) {
    const wchar_t* const files[] = {config, miras};
    for (size_t i = 0; i < CountOf(files); ++i) {
        wchar_t copy[kPathChars];
        if (ChangeCopyPath(files[i], copy)) ProfileRemoveFile(copy);
    }
}

bool SaveSettings(const wchar_t* config, const AppOptions& options,
                  const CrosshairSettings& crosshair, unsigned patienceMs,
                  ProfileReplaceable* replaceable) {
    return WriteSettingsFile(config, options, crosshair, false, patienceMs, replaceable);
}

bool LoadSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair) {
    if (!ProfileFileExists(config)) return false;
    ReadCrosshairSection(config, kSectionCrosshair, crosshair);
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i) {
        const OptionKey& row = kOptionKeys[i];
        int32_t fallback = *FieldAt<int32_t>(&kDefaultOptions, row.offset);
        // Once saved the switch lives in "Opcoes"; until then "Mira" may hold it.
        if (row.alsoInCrosshair)
            fallback = ReadIntSetting(config, kSectionCrosshair, row.key, fallback);
        *FieldAt<int32_t>(options, row.offset) =
            ReadIntSetting(config, kSectionOptions, row.key, fallback);
    }
    if (!HotkeyKeyUsable(options->hotkeyKey)) {
        options->hotkeyKey = kDefaultHotkeyKey;
        options->hotkeyModifiers = kDefaultHotkeyModifiers;
    }
    return true;
}

bool SettingsFileHasContent(const wchar_t* config) {
    wchar_t names[kContentProbeChars];
    return ProfileGetSectionNames(names, kContentProbeChars, config) > 0;
}

bool WriteFirstRunSettings(const wchar_t* config, const AppOptions& options,
                           const CrosshairSettings& crosshair) {
    return WriteSettingsFile(config, options, crosshair, true, kProfileSavePatienceMs);
}

void CreateSavedCrosshairsFile(const wchar_t* config, const wchar_t* miras) {
    if (ProfileFileExists(miras)) return;
    CreateUtf16File(miras);
    // A new file holds nothing the clean-up would remove.
    if (ReadIntSetting(config, kSectionOptions, kKeyMirasVersion, kMirasVersionFirst) !=
        kMirasVersionCurrent)
        RecordMirasVersion(config);
}

void MigrateSavedCrosshairs(const wchar_t* config, const wchar_t* miras) {
    int32_t version = ReadIntSetting(config, kSectionOptions, kKeyMirasVersion, kMirasVersionFirst);
    if (version > kMirasVersionFirst) return;
    FileChange change;
    if (!BeginFileChange(&change, miras, kProfileSavePatienceMs)) return;
    for (size_t i = 0; i < CountOf(kObsoleteSavedSections); ++i)
        change.ok &= ProfileWriteString(kObsoleteSavedSections[i], nullptr, nullptr, change.copy);
    // Until the clean-up is in the file, the version stays old and the next start tries again.
    if (!FinishFileChange(&change)) return;
    RecordMirasVersion(config);
}

void PrepareStartupFiles(const wchar_t* config, const wchar_t* miras, bool configExisted,
                         const AppOptions& options, const CrosshairSettings& crosshair,
                         SettingsFileState* state) {
    RemoveLeftoverCopies(config, miras);
    // A config.ini that could not be read may hold anything: it is neither
    // written over nor taken to say what kind the saved crosshairs are.
    if (state && state->unread) {
        CreateUtf16File(miras);
        return;
    }
    // Only settings written by an earlier run can say that the saved crosshairs
    // are of the old kind; a missing or empty config.ini (damage, a reset,
    // miras.ini brought from another computer) says nothing about them.
    bool hadSettings = configExisted && SettingsFileHasContent(config);
    if (!hadSettings && WriteFirstRunSettings(config, options, crosshair) && state) {
        state->written = true;
        state->writtenOptions = options;
        state->writtenCrosshair = crosshair;
    }
    CreateSavedCrosshairsFile(config, miras);
    if (hadSettings) MigrateSavedCrosshairs(config, miras);
}

bool LoadSettingsPatiently(const wchar_t* config, AppOptions* options,
                           CrosshairSettings* crosshair, SettingsFileState* state) {
    // Held open until every value is read: a program that opens the file
    // exclusively in between would turn the rest into silent defaults.
    ProfileHold hold;
    switch (ProfileCheckReadable(config, kStartReadPatienceMs, &hold)) {
        case kProfileMissing:
            return false;
        case kProfileUnreadable:
            // Read now, it would give every default, and the next save would
            // put them over the player's own settings.
            MarkSettingsUnread(state, *options, *crosshair);
            return true;
        case kProfileReadable:
            break;
    }
    bool existed = LoadSettings(config, options, crosshair);
    ProfileRelease(&hold);
    return existed;
}

void MarkSettingsUnread(SettingsFileState* state, const AppOptions& options,
                        const CrosshairSettings& crosshair) {
    state->unread = true;
    state->startOptions = state->seenOptions = options;
    state->startCrosshair = state->seenCrosshair = crosshair;
    state->assigned = 0;
}

void NoteAssignedFields(SettingsFileState* state, uint32_t groups) {
    if (state->unread) state->assigned |= FieldsOfGroups(groups);
}

bool SettingsFileUnread(const SettingsFileState& state) { return state.unread; }
bool SettingsFileBehind(const SettingsFileState& state) { return state.behind; }
bool SettingsFileReadOnly(const SettingsFileState& state) {
    return state.refusal == kProfileReadOnly;
}
bool SettingsFileRefusing(const SettingsFileState& state) {
    return state.refusal != kProfileReplaceable;
}

bool SameSettingsText(const AppOptions& options, const CrosshairSettings& crosshair,
                      const AppOptions& otherOptions, const CrosshairSettings& otherCrosshair) {
    for (size_t i = 0; i < CountOf(kOptionKeys); ++i)
        if (OptionOf(options, kOptionKeys[i]) != OptionOf(otherOptions, kOptionKeys[i]))
            return false;
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        if (!SameKeyText(kCrosshairKeys[i], crosshair, otherCrosshair)) return false;
    return true;
}

bool SaveSettingsChange(const wchar_t* config, const AppOptions& options,
                        const CrosshairSettings& crosshair, SettingsFileState* state,
                        unsigned patienceMs) {
    NoteChangedFields(state, options, crosshair);
    if (state->unread) {
        state->behind = true;
        return false;
    }
    // One gesture often ends in two notifications with the same values; a
    // second identical write would only be more disk work and another
    // chance to meet a scanner.
    if (state->written &&
        SameSettingsText(state->writtenOptions, state->writtenCrosshair, options, crosshair)) {
        state->behind = false;
        state->refusal = kProfileReplaceable;
        return true;
    }
    bool saved = SaveSettings(config, options, crosshair, patienceMs, &state->refusal);
    state->behind = !saved;
    if (saved) {
        state->written = true;
        state->writtenOptions = options;
        state->writtenCrosshair = crosshair;
    }
    return saved;
}

bool SaveSettingsWhole(const wchar_t* config, const AppOptions& options,
                       const CrosshairSettings& crosshair, SettingsFileState* state,
                       unsigned patienceMs) {
    state->written = false;
    return SaveSettingsChange(config, options, crosshair, state, patienceMs);
}

bool ReadLateSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                      SettingsFileState* state, unsigned patienceMs, unsigned* waitedMs) {
    if (waitedMs) *waitedMs = 0;
    if (!state->unread) return false;
    ProfileHold hold;
    ProfileReadable readable = ProfileCheckReadable(config, patienceMs, &hold, waitedMs);
    if (readable == kProfileUnreadable) return false;
    AppOptions fileOptions = state->startOptions;
    CrosshairSettings fileCrosshair = state->startCrosshair;
    // A file removed meanwhile holds nothing to keep.
    if (readable == kProfileReadable) LoadSettings(config, &fileOptions, &fileCrosshair);
    ProfileRelease(&hold);
    NoteChangedFields(state, *options, *crosshair);
    state->behind = LayAssignedOver(state->assigned, *options, *crosshair, &fileOptions,
                                    &fileCrosshair);
    state->unread = false;
    state->assigned = 0;
    *options = fileOptions;
    *crosshair = fileCrosshair;
    return true;
}

bool SaveSettingsLast(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                      SettingsFileState* state, unsigned patienceMs, LastSave what) {
    unsigned waited = 0;
    ReadLateSettings(config, options, crosshair, state, patienceMs, &waited);
    unsigned left = Remaining(patienceMs, waited);
    if (what == kLastSaveWhole) return SaveSettingsWhole(config, *options, *crosshair, state, left);
    return !state->behind || SaveSettingsChange(config, *options, *crosshair, state, left);
}

bool SaveRetryDue(const SaveRetry& retry, uint32_t now) {
    return (uint32_t)(now - retry.lastTry) >= retry.waitMs;
}

void NoteSaveTry(SaveRetry* retry, uint32_t now, bool refused) {
    retry->lastTry = now;
    uint32_t doubled = retry->waitMs * 2;
    if (!refused || doubled < (uint32_t)kSaveRetryFirstMs) doubled = kSaveRetryFirstMs;
    const uint32_t longest = kSaveRetryLongestMs;
    retry->waitMs = doubled < longest ? doubled : longest;
}

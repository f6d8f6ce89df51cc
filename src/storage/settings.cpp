// The settings file "config.ini": key-level read and write rules (shared with
// "miras.ini"), the options, current crosshair and server memories, and the
// start-up file steps.
#include "storage/settings.h"

#include <float.h>
#include <math.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "base/wtext.h"
#include "storage/images.h"
#include "storage/profile.h"

constexpr OptionRow kOptionRows[kOptionCount] = {
    {kOptionOnlyWithGame, L"so_com_fivem", &AppOptions::onlyWithGame, 1, kResetToDefault,
     kIdCheckOutsideGame, true, false, true},
    {kOptionEnabled, L"ligada", &AppOptions::enabled, 1, kResetToDefault, kIdCheckEnabled, false,
     true, true},
    {kOptionOnlyWhileAiming, L"so_mirando", &AppOptions::onlyWhileAiming, 0, kResetToDefault,
     kIdCheckAimOnly, false, false, true},
    {kOptionHotkeyKey, L"atalho_tecla", &AppOptions::hotkeyKey, kDefaultHotkeyKey,
     kResetToDefault, kIdUnnamed, false, false, false, kOptionHotkeyKey},
    {kOptionHotkeyModifiers, L"atalho_mod", &AppOptions::hotkeyModifiers,
     kDefaultHotkeyModifiers, kResetToDefault, kIdUnnamed, false, false, false, kOptionHotkeyKey},
    {kOptionMonitor, L"monitor", &AppOptions::monitor, 0, kResetToDefault, kIdUnnamed, false,
     false, false},
    {kOptionHideWithCursor, L"esconder_com_cursor", &AppOptions::hideWithCursor, 0,
     kResetToDefault, kIdCheckHideWithCursor, false, false, true},
    // The Run value is its only store, and "Redefinir tudo" leaves it alone.
    {kOptionStartWithWindows, nullptr, &AppOptions::startWithWindows, 0, kResetKeeps,
     kIdCheckAutostart, false, false, false},
    // The switch has no default: its keys stand in the file only once the player records one.
    {kOptionSwitchKey, L"troca_tecla", &AppOptions::switchKey, 0, kResetToDefault, kIdUnnamed,
     false, false, false, kOptionSwitchKey, true},
    {kOptionSwitchModifiers, L"troca_mod", &AppOptions::switchModifiers, 0, kResetToDefault,
     kIdUnnamed, false, false, false, kOptionSwitchKey, true},
    // On unless the player turns it off, and only then in the file.
    {kOptionPerServer, L"por_servidor", &AppOptions::perServer, 1, kResetToDefault,
     kIdCheckPerServer, false, false, false, kOptionCount, false, true},
};

namespace {
// A new option forgotten in the table leaves a zeroed row behind, which
// names the first option a second time: the build stops here.
constexpr bool EveryOptionOnce(const OptionRow (&rows)[kOptionCount]) {
    for (int id = 0; id < kOptionCount; ++id) {
        int found = 0;
        for (const OptionRow& row : rows) found += row.id == id ? 1 : 0;
        if (found != 1) return false;
    }
    return true;
}
static_assert(EveryOptionOnce(kOptionRows), "every option has one row");

constexpr AppOptions DefaultsOf(const OptionRow (&rows)[kOptionCount]) {
    AppOptions options{};
    for (const OptionRow& row : rows) options.*(row.field) = row.defaultValue;
    return options;
}
}  // namespace

constexpr AppOptions kDefaultOptions = DefaultsOf(kOptionRows);

const wchar_t kSectionOptions[] = L"Opcoes";
const wchar_t kSectionCrosshair[] = L"Mira";
const wchar_t kKeyMirasVersion[] = L"versao_miras";
const wchar_t kKeySize[] = L"tamanho";

namespace {

enum {
    kFloatTextChars = 64,
    kIntTextChars = 32,
    kMirasVersionFirst = 1,  // what a file without the key counts as
    kByteMask = 0xFF,
    kContentProbeChars = 8,  // enough to see that a file names any section
    // A stored name inside its two quotes.
    kQuotedImageNameChars = kImageNameChars + 2,
    // Any crosshair key's text, the image name included.
    kKeyTextChars =
        kQuotedImageNameChars > kFloatTextChars ? kQuotedImageNameChars : kFloatTextChars,
    // Two more than a stored name may have: a longer value, quoted or not, is
    // seen whole enough to be refused, never cut to a name that fits.
    kImageNameReadChars = kImageNameChars + 2,
    // The section names are read into a buffer that grows by this factor, up
    // to a bound: a hand-edited file may hold thousands of sections.
    kSectionNamesFirstChars = 16384,
    kSectionNamesLastChars = 1 << 20,
    kSectionNamesGrowth = 4,
    // "nome", "ligada", "usado" and the crosshair keys of one server, as one
    // section's entries; far below the 65,535 bytes a section write takes.
    kServerEntriesChars = 2048,
    kServerSectionNameChars = 32,
    // One server section read whole: what the program writes with room to spare.
    kServerLinesChars = 2 * kServerEntriesChars,
    // What a section carried over by a rebuild may hold: the settings' own
    // sections are a few hundred characters.
    kKeptSectionChars = 32768,
    kRebuildKeptLimit = 64,
};

const wchar_t kDoubleQuote = L'"';
const wchar_t kSingleQuote = L'\'';
const wchar_t kDosEndOfFile = 0x1A;
const wchar_t kEntryFormat[] = L"%ls=%ls";

// The memory of one server: "Servidor" followed by digits.
const wchar_t kServerSectionPrefix[] = L"Servidor";
const wchar_t kServerSectionFormat[] = L"%ls%d";
const wchar_t kKeyServerName[] = L"nome";
const wchar_t kKeyServerEnabled[] = L"ligada";
const wchar_t kKeyServerUsed[] = L"usado";
const int32_t kServerEnabledDefault = 1;

const wchar_t kFloatFormat[] = L"%.3f";
const wchar_t kIntFormat[] = L"%d";
const wchar_t kCopySuffix[] = L".tmp";
const wchar_t kCopyFormat[] = L"%ls%ls";

// The image keys differ from the others: they are written only while an image
// is in use and removed otherwise, and read as the section says, absent or not.
enum FieldForm { kFormFloat, kFormInt, kFormByte, kFormImageName, kFormImageScale };

struct CrosshairKey {
    const wchar_t* key;
    FieldForm form;
    size_t offset;  // of the field inside CrosshairSettings
};

// The keys of a crosshair section, in the order they are written and read: the
// thirteen of the drawn crosshair, then the two of an image.
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
    {L"imagem", kFormImageName, offsetof(CrosshairSettings, image)},
    {L"escala_imagem", kFormImageScale, offsetof(CrosshairSettings, imageScale)},
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

// Where the values of one section are read: the file, one key at a time
// through the profile reader, or the section's lines read whole in one call
// and looked up here as the reader looks them up. Names (free text) always
// come from the reader itself.
struct ValueSource {
    const wchar_t* file;
    const wchar_t* section;
    const wchar_t* lines;  // "key=value" lines as ProfileGetSection gives them; null: none
};

// The first line named key (ASCII case ignored), or null.
const wchar_t* FindLine(const wchar_t* lines, const wchar_t* key, const wchar_t** value) {
    size_t keyLength = wcslen(key);
    for (const wchar_t* line = lines; *line; line += wcslen(line) + 1) {
        const wchar_t* equals = wcschr(line, L'=');
        size_t nameLength = equals ? (size_t)(equals - line) : wcslen(line);
        if (nameLength != keyLength) continue;
        size_t i = 0;
        while (i < keyLength && FoldAscii(line[i]) == FoldAscii(key[i])) ++i;
        if (i < keyLength) continue;
        *value = equals ? equals + 1 : nullptr;
        return line;
    }
    return nullptr;
}

// What GetPrivateProfileStringW answers for key: the value without one pair
// of like enclosing quotes, cut to buf as the reader cuts it, or def when the
// key is absent or its line has no '='.
unsigned SourceText(const ValueSource& source, const wchar_t* key, const wchar_t* def,
                    wchar_t* buf, unsigned size) {
    if (!source.lines) return ProfileGetString(source.section, key, def, buf, size, source.file);
    const wchar_t* value = nullptr;
    if (!FindLine(source.lines, key, &value) || !value) value = def;
    size_t length = wcslen(value), from = 0;
    bool quoted = length >= 2 && (value[0] == kDoubleQuote || value[0] == kSingleQuote) &&
                  value[length - 1] == value[0];
    if (quoted && value != def) from = 1;
    size_t rest = length - from;
    size_t n = rest < size - 1 ? rest : size - 1;
    wmemcpy(buf, value + from, n);
    buf[n] = 0;
    if (from && size >= rest && n > 0) buf[--n] = 0;
    return (unsigned)n;
}

float ReadFloatFrom(const ValueSource& source, const wchar_t* key, float current) {
    // The current value goes through "%.3f" as the default, so a missing key
    // still rounds it to three decimals.
    wchar_t fallback[kFloatTextChars];
    wchar_t text[kFloatTextChars];
    FormatW(fallback, kFloatTextChars, kFloatFormat, (double)current);
    SourceText(source, key, fallback, text, kFloatTextChars);
    return NarrowToFloat(ParseDoubleC(text, nullptr));
}

int32_t ReadIntFrom(const ValueSource& source, const wchar_t* key, int32_t current) {
    // Read as text and converted here rather than by GetPrivateProfileIntW,
    // which older Windows documentation says answers 0 for values below zero:
    // negative offsets would then reset at every start.
    wchar_t text[kProfileIntTextChars];
    if (SourceText(source, key, L"", text, kProfileIntTextChars) == 0) return current;
    return ParseProfileInteger(text);
}

void ReadCrosshairKey(const ValueSource& source, const CrosshairKey& row,
                      CrosshairSettings* into) {
    switch (row.form) {
        case kFormFloat: {
            float* field = FieldAt<float>(into, row.offset);
            *field = ReadFloatFrom(source, row.key, *field);
            break;
        }
        case kFormInt: {
            int32_t* field = FieldAt<int32_t>(into, row.offset);
            *field = ReadIntFrom(source, row.key, *field);
            break;
        }
        case kFormByte: {
            uint8_t* field = FieldAt<uint8_t>(into, row.offset);
            *field = (uint8_t)(ReadIntFrom(source, row.key, *field) & kByteMask);
            break;
        }
        case kFormImageName: {
            // A name that is unsafe, or too long to be kept whole, is as if absent.
            wchar_t name[kImageNameReadChars];
            ProfileGetString(source.section, row.key, L"", name, kImageNameReadChars, source.file);
            SetCrosshairImage(into, IsSafeImageName(name) ? name : nullptr);
            break;
        }
        case kFormImageScale:
            into->imageScale = ReadIntFrom(source, row.key, kImageScaleDefault);
            break;
    }
}

void ReadCrosshairFrom(const ValueSource& source, CrosshairSettings* into) {
    for (const CrosshairKey& key : kCrosshairKeys) ReadCrosshairKey(source, key, into);
}

// The text a crosshair key is written as; text holds kKeyTextChars. False
// when the key has no place in the file: the image keys without an image.
bool FormatCrosshairKey(const CrosshairKey& row, const CrosshairSettings& crosshair,
                        wchar_t* text) {
    text[0] = 0;
    switch (row.form) {
        case kFormFloat:
            FormatW(text, kKeyTextChars, kFloatFormat,
                    (double)*FieldAt<float>(&crosshair, row.offset));
            return true;
        case kFormInt:
            FormatW(text, kKeyTextChars, kIntFormat, (int)*FieldAt<int32_t>(&crosshair, row.offset));
            return true;
        case kFormByte:
            FormatW(text, kKeyTextChars, kIntFormat, (int)*FieldAt<uint8_t>(&crosshair, row.offset));
            return true;
        case kFormImageName:
            if (!CrosshairUsesImage(crosshair)) return false;
            return StoredValueText(crosshair.image, text, kKeyTextChars);
        case kFormImageScale:
            if (!CrosshairUsesImage(crosshair)) return false;
            FormatW(text, kKeyTextChars, kIntFormat, (int)crosshair.imageScale);
            return true;
    }
    return false;
}

// Writes the key, or removes it when it has no place in the file; removing a
// key that is not there leaves the file's bytes as they were.
bool WriteCrosshairKey(const wchar_t* file, const wchar_t* section, const CrosshairKey& row,
                       const CrosshairSettings& crosshair) {
    wchar_t text[kKeyTextChars];
    bool present = FormatCrosshairKey(row, crosshair, text);
    return ProfileWriteString(section, row.key, present ? text : nullptr, file);
}

bool SameKeyText(const CrosshairKey& row, const CrosshairSettings& a, const CrosshairSettings& b) {
    wchar_t textA[kKeyTextChars], textB[kKeyTextChars];
    bool presentA = FormatCrosshairKey(row, a, textA);
    bool presentB = FormatCrosshairKey(row, b, textB);
    return presentA == presentB && wcscmp(textA, textB) == 0;
}

size_t FieldSize(FieldForm form) {
    switch (form) {
        case kFormByte: return sizeof(uint8_t);
        case kFormImageName: return sizeof(CrosshairSettings::image);
        default: return sizeof(int32_t);
    }
}

void CopyCrosshairField(const CrosshairKey& row, const CrosshairSettings& from,
                        CrosshairSettings* to) {
    size_t size = FieldSize(row.form);
    static_assert(sizeof(float) == sizeof(int32_t), "fields of four bytes");
    memcpy(reinterpret_cast<unsigned char*>(to) + row.offset,
           reinterpret_cast<const unsigned char*>(&from) + row.offset, size);
}

int32_t OptionOf(const AppOptions& options, const OptionRow& row) { return options.*(row.field); }

// Rows without a key never reach the file: the run's own value always holds.
bool InFile(const OptionRow& row) { return row.key != nullptr; }

// Field bits of the late read: crosshair key i is bit i, option key j bit
// kOptionBitsFirst + j, in the tables' order.
enum { kOptionBitsFirst = 16 };
static_assert(CountOf(kCrosshairKeys) <= kOptionBitsFirst, "crosshair bits overlap");
static_assert(kOptionBitsFirst + CountOf(kOptionRows) <= 32, "option bits overflow");

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
    for (size_t i = 0; i < CountOf(kOptionRows); ++i)
        if ((groups & kAssignedOptions) && InFile(kOptionRows[i])) fields |= OptionBit(i);
    return fields;
}

// The fields whose file text differs between the two states.
uint32_t ChangedFields(const AppOptions& oldOptions, const CrosshairSettings& oldCrosshair,
                       const AppOptions& newOptions, const CrosshairSettings& newCrosshair) {
    uint32_t fields = 0;
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        if (!SameKeyText(kCrosshairKeys[i], oldCrosshair, newCrosshair)) fields |= CrosshairBit(i);
    for (size_t i = 0; i < CountOf(kOptionRows); ++i)
        if (InFile(kOptionRows[i]) &&
            OptionOf(oldOptions, kOptionRows[i]) != OptionOf(newOptions, kOptionRows[i]))
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

// The rows of the hotkey whose key row is id.
uint32_t HotkeyBits(OptionId id) {
    uint32_t bits = 0;
    for (size_t i = 0; i < CountOf(kOptionRows); ++i)
        if (kOptionRows[i].hotkey == id) bits |= OptionBit(i);
    return bits;
}

// Lays every assigned field of now over *file; true when any was.
bool LayAssignedOver(uint32_t assigned, const AppOptions& now,
                     const CrosshairSettings& nowCrosshair, AppOptions* file,
                     CrosshairSettings* fileCrosshair) {
    // Key and modifiers are one choice: half of one hotkey over half of another is neither.
    for (const OptionRow& row : kOptionRows)
        if (row.hotkey == row.id && (assigned & HotkeyBits(row.id))) assigned |= HotkeyBits(row.id);
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        if (assigned & CrosshairBit(i))
            CopyCrosshairField(kCrosshairKeys[i], nowCrosshair, fileCrosshair);
    for (size_t i = 0; i < CountOf(kOptionRows); ++i)
        if ((assigned & OptionBit(i)) || !InFile(kOptionRows[i]))
            file->*(kOptionRows[i].field) = OptionOf(now, kOptionRows[i]);
    return assigned != 0;
}

// What a budget leaves after spent: never below nothing.
unsigned Remaining(unsigned budget, unsigned spent) { return spent < budget ? budget - spent : 0u; }

// A stored key without Ctrl or Alt would be taken from the game while the
// player types: such a combination gets Ctrl, as the hotkey boxes give it.
void GiveHotkeysCtrl(AppOptions* options) {
    for (const OptionRow& row : kOptionRows) {
        if (row.hotkey == kOptionCount || row.hotkey == row.id ||
            !IsValidHotkeyKey(OptionOf(*options, OptionRowOf(row.hotkey))))
            continue;
        int32_t& modifiers = options->*(row.field);
        if (!(modifiers & (kModControl | kModAlt))) modifiers |= kModControl;
    }
}

// Whether the row's key stands in the file for these options.
bool OptionWritten(const OptionRow& row, const AppOptions& options) {
    return InFile(row) &&
           (!row.onlyWhileSet || IsValidHotkeyKey(OptionOf(options, OptionRowOf(row.hotkey)))) &&
           (!row.onlyWhileOff || OptionOf(options, row) == 0);
}

// Writes the row's key, or removes it when it has no place in the file;
// removing a key that is not there leaves the file's bytes as they were.
bool WriteOptionKey(const wchar_t* file, const OptionRow& row, const AppOptions& options) {
    if (OptionWritten(row, options))
        return WriteIntSetting(file, kSectionOptions, row.key, OptionOf(options, row));
    return ProfileWriteString(kSectionOptions, row.key, nullptr, file);
}

// Characters the reader trims from the ends of a value: blanks, line ends and
// the DOS end of file, and (to be safe with every reader) any white space or
// control character.
bool TrimmedByReader(wchar_t c) {
    return IsWhiteSpaceW(c) || c == kDosEndOfFile || (uint32_t)c < (uint32_t)L' ';
}

bool ReaderWouldChange(const wchar_t* value, size_t length) {
    if (length == 0) return false;
    wchar_t first = value[0], last = value[length - 1];
    if (TrimmedByReader(first) || TrimmedByReader(last)) return true;
    return length >= 2 && (first == kDoubleQuote || first == kSingleQuote) && last == first;
}

// The section names of a file, in a buffer from malloc that the caller frees.
struct SectionNames {
    wchar_t* chars;
    size_t used;  // elements before the list's final NUL
};

// Where the last name of a list begins: a list cut by its buffer may end in a
// name cut short, which would be some other section.
size_t StartOfLastName(const wchar_t* chars, size_t used) {
    size_t at = 0, last = 0;
    while (at < used && chars[at]) {
        last = at;
        at += wcslen(chars + at) + 1;
    }
    return last;
}

// Every name when the list fits the largest buffer, else the names that fit
// whole. False (nothing to free) when no buffer could be had.
bool ReadSectionNames(const wchar_t* file, SectionNames* names) {
    names->chars = nullptr;
    names->used = 0;
    for (unsigned size = kSectionNamesFirstChars;; size *= kSectionNamesGrowth) {
        wchar_t* chars = (wchar_t*)malloc(size * sizeof(wchar_t));
        if (!chars) return false;
        unsigned used = ProfileGetSectionNames(chars, size, file);
        // A cut list answers size - 2; a list that fits is shorter.
        bool cut = used + 2 >= size;
        if (cut && size < (unsigned)kSectionNamesLastChars) {
            free(chars);
            continue;
        }
        if (cut) {
            used = (unsigned)StartOfLastName(chars, used);
            chars[used] = 0;
        }
        names->chars = chars;
        names->used = used;
        return true;
    }
}

// The name at *at, moving *at past it; null after the last.
const wchar_t* NextSectionName(const SectionNames& names, size_t* at) {
    if (*at >= names.used || !names.chars[*at]) return nullptr;
    const wchar_t* name = names.chars + *at;
    *at += wcslen(name) + 1;
    return name;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// "Servidor" (the profile's ASCII case ignored) followed by digits only.
bool IsServerSection(const wchar_t* name) {
    if (!StartsWithNoCase(name, kServerSectionPrefix)) return false;
    const wchar_t* digits = name + LengthW(kServerSectionPrefix, kServerSectionNameChars);
    if (!digits[0]) return false;
    for (const wchar_t* c = digits; *c; ++c)
        if (!IsDigit(*c)) return false;
    return true;
}

// The row a section of that name holds when count rows are written: the one
// its number names, written without leading zeros; -1 for none.
int32_t WrittenRow(const wchar_t* name, int32_t count) {
    if (!IsServerSection(name)) return -1;
    const wchar_t* digits = name + LengthW(kServerSectionPrefix, kServerSectionNameChars);
    int32_t number = 0;
    for (const wchar_t* c = digits; *c; ++c) {
        if (number > count || (c == digits && *c == L'0')) return -1;
        number = number * 10 + (*c - L'0');
    }
    return number >= 1 && number <= count ? number - 1 : -1;
}

// One section's "key=value" entries, each ended by a NUL, the list by another.
struct SectionEntries {
    wchar_t chars[kServerEntriesChars];
    size_t length;
    bool fits;
};

void AddEntry(SectionEntries* entries, const wchar_t* key, const wchar_t* value) {
    size_t need = wcslen(key) + 1 + wcslen(value) + 1;
    // Room is kept for the list's final NUL.
    if (need + 1 > kServerEntriesChars - entries->length) entries->fits = false;
    if (!entries->fits) return;
    FormatW(entries->chars + entries->length, need, kEntryFormat, key, value);
    entries->length += need;
    entries->chars[entries->length] = 0;
}

// "nome", "ligada", "usado", then the keys of a crosshair section in their
// order and forms.
bool ServerEntries(const ServerMemory& row, SectionEntries* entries) {
    entries->length = 0;
    entries->chars[0] = 0;
    wchar_t text[kServerNameChars + 2];
    entries->fits = StoredValueText(row.name, text, CountOf(text));
    AddEntry(entries, kKeyServerName, text);
    FormatW(text, CountOf(text), kIntFormat, (int)row.enabled);
    AddEntry(entries, kKeyServerEnabled, text);
    FormatW(text, CountOf(text), kIntFormat, (int)row.used);
    AddEntry(entries, kKeyServerUsed, text);
    for (const CrosshairKey& key : kCrosshairKeys) {
        wchar_t keyText[kKeyTextChars];
        if (FormatCrosshairKey(key, row.crosshair, keyText)) AddEntry(entries, key.key, keyText);
    }
    return entries->fits;
}

// The "Servidor" sections that are not rewritten in place: those beyond the
// rows, the numbers written another way, and every copy of a number the file
// holds more than once. Counts them when stale is given, and removes them
// one by one when it is not.
bool DropStaleServerSections(const wchar_t* file, const SectionNames& names, int32_t rows,
                             size_t* stale) {
    uint8_t copies[kServerMemoryLimit] = {};
    size_t at = 0;
    for (const wchar_t* name; (name = NextSectionName(names, &at));) {
        int32_t row = WrittenRow(name, rows);
        if (row >= 0 && copies[row] < 2) ++copies[row];
    }
    bool ok = true;
    at = 0;
    if (stale) *stale = 0;
    for (const wchar_t* name; (name = NextSectionName(names, &at));) {
        int32_t row = WrittenRow(name, rows);
        if (!IsServerSection(name) || (row >= 0 && copies[row] == 1)) continue;
        if (stale) ++*stale;
        else ok &= ProfileWriteString(name, nullptr, nullptr, file);
    }
    return ok;
}

// The file made again from its other sections, each read and written whole,
// without any "Servidor" section: a file holding thousands of stale sections
// (edited by hand) then costs one write per section kept, where removing each
// would rewrite it every time. Comments and lines without '=' of the sections
// kept are lost; the keys this program owns are written after. Not tried
// (false, the file untouched) when the sections kept are too many or too
// large to carry; *ok says whether a rebuild that was tried went through.
bool RebuildWithoutServerSections(const wchar_t* file, const SectionNames& names, bool* ok) {
    size_t kept = 0, at = 0;
    for (const wchar_t* name; (name = NextSectionName(names, &at));)
        if (!IsServerSection(name)) ++kept;
    if (kept > kRebuildKeptLimit) return false;
    wchar_t* lines = (wchar_t*)malloc((kept ? kept : 1) * kKeptSectionChars * sizeof(wchar_t));
    if (!lines) return false;
    bool carried = true;
    size_t index = 0;
    at = 0;
    for (const wchar_t* name; carried && (name = NextSectionName(names, &at));) {
        if (IsServerSection(name)) continue;
        unsigned used =
            ProfileGetSection(name, lines + index++ * kKeptSectionChars, kKeptSectionChars, file);
        carried = used + 2 < (unsigned)kKeptSectionChars;
    }
    if (carried) {
        *ok = ProfileRemoveFile(file);
        CreateUtf16File(file);
        Flush(file);
        index = 0;
        at = 0;
        for (const wchar_t* name; (name = NextSectionName(names, &at));)
            if (!IsServerSection(name))
                *ok &= ProfileWriteSection(name, lines + index++ * kKeptSectionChars, file);
    }
    free(lines);
    return carried;
}

// Before anything else is written: the stale "Servidor" sections go, one by
// one, or (more than the record holds) by making the file again without them,
// every server section included: *rebuilt then says the rows must all be written.
bool RemoveStaleServerSections(const wchar_t* file, int32_t rows, bool* rebuilt) {
    *rebuilt = false;
    SectionNames names;
    if (!ReadSectionNames(file, &names)) return false;
    size_t stale = 0;
    DropStaleServerSections(file, names, rows, &stale);
    bool ok = true;
    if (stale > (size_t)kServerMemoryLimit) *rebuilt = RebuildWithoutServerSections(file, names, &ok);
    if (!*rebuilt) ok = DropStaleServerSections(file, names, rows, nullptr);
    free(names.chars);
    return ok;
}

// The revision of the memories the file is known to hold, when it is known.
struct WrittenServers {
    bool known;
    uint32_t revision;
};

// The rows as "Servidor1" ... in their order, each section written whole in
// one step, in its place when the file has it. A row unchanged since the
// revision the file holds is not looked at, and a section that already holds
// exactly a row's lines is left alone: a change rewrites only what changed.
bool WriteServerSections(const wchar_t* file, const ServerMemories& memories,
                         WrittenServers written) {
    bool ok = true;
    for (int32_t i = 0; i < memories.count; ++i) {
        if (written.known && memories.rows[i].changed <= written.revision) continue;
        wchar_t section[kServerSectionNameChars];
        FormatW(section, kServerSectionNameChars, kServerSectionFormat, kServerSectionPrefix,
                (int)i + 1);
        SectionEntries entries, held;
        if (!ServerEntries(memories.rows[i], &entries)) {
            ok = false;
            continue;
        }
        unsigned used = ProfileGetSection(section, held.chars, kServerEntriesChars, file);
        if (used == entries.length && wmemcmp(held.chars, entries.chars, used) == 0) continue;
        ok &= ProfileWriteSection(section, entries.chars, file);
    }
    return ok;
}

// The options, optionally versao_miras = 2, the crosshair and the server
// memories, into config in one change.
bool WriteSettingsFile(const wchar_t* config, const AppOptions& options,
                       const CrosshairSettings& crosshair, const ServerMemories& memories,
                       WrittenServers written, bool withMirasVersion, unsigned patienceMs,
                       ProfileReplaceable* replaceable = nullptr) {
    FileChange change;
    bool begun = BeginFileChange(&change, config, patienceMs);
    if (replaceable) *replaceable = change.replaceable;
    if (!begun) return false;
    bool rebuilt = false;
    change.ok &= RemoveStaleServerSections(change.copy, memories.count, &rebuilt);
    if (rebuilt) written.known = false;
    static_assert(CountOf(kOptionRows) > kOptionKeysBeforeMirasVersion, "versao_miras has a place");
    for (size_t i = 0; i < CountOf(kOptionRows); ++i) {
        // Written before "Mira", so a new key lands after "monitor" in "Opcoes".
        if (withMirasVersion && i == kOptionKeysBeforeMirasVersion)
            change.ok &= WriteIntSetting(change.copy, kSectionOptions, kKeyMirasVersion,
                                         kMirasVersionCurrent);
        if (!InFile(kOptionRows[i])) continue;
        change.ok &= WriteOptionKey(change.copy, kOptionRows[i], options);
    }
    change.ok &= WriteCrosshairSection(change.copy, kSectionCrosshair, crosshair);
    change.ok &= WriteServerSections(change.copy, memories, written);
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

bool IsValidHotkeyKey(int32_t key) {
    // Tested unsigned: 0, 255 and above, and every negative value fail.
    uint32_t code = (uint32_t)key;
    return code >= kHotkeyKeyFirst && code <= kHotkeyKeyLast;
}

float ReadFloatSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       float current) {
    return ReadFloatFrom(ValueSource{file, section, nullptr}, key, current);
}

int32_t ReadIntSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                       int32_t current) {
    return ReadIntFrom(ValueSource{file, section, nullptr}, key, current);
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

bool StoredValueText(const wchar_t* value, wchar_t* text, size_t textChars) {
    text[0] = 0;
    size_t length = wcslen(value);
    if (!ReaderWouldChange(value, length)) {
        if (length >= textChars) return false;
        CopyW(text, textChars, value);
        return true;
    }
    if (length + 2 >= textChars) return false;
    text[0] = kDoubleQuote;
    wmemcpy(text + 1, value, length);
    text[length + 1] = kDoubleQuote;
    text[length + 2] = 0;
    return true;
}

void ReadCrosshairSection(const wchar_t* file, const wchar_t* section, CrosshairSettings* into) {
    ReadCrosshairFrom(ValueSource{file, section, nullptr}, into);
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
                  const CrosshairSettings& crosshair, const ServerMemories& memories,
                  unsigned patienceMs, ProfileReplaceable* replaceable) {
    return WriteSettingsFile(config, options, crosshair, memories, WrittenServers{false, 0}, false,
                             patienceMs, replaceable);
}

void LoadServerMemories(const wchar_t* config, ServerMemories* memories) {
    memories->count = 0;
    memories->largestUsed = 0;
    ++memories->revision;
    SectionNames names;
    if (!ReadSectionNames(config, &names)) return;
    // First only each section's name and use, so that thousands of sections
    // cost two reads each; only the rows kept are read whole.
    size_t sectionOf[kServerMemoryLimit];
    size_t at = 0, start = 0;
    for (const wchar_t* name; (start = at, name = NextSectionName(names, &at));) {
        if (!IsServerSection(name)) continue;
        wchar_t raw[kServerRawChars], cleaned[kServerNameChars];
        ProfileGetString(name, kKeyServerName, L"", raw, kServerRawChars, config);
        CleanServerName(raw, cleaned);
        if (!cleaned[0]) continue;
        // Only an order: a use below zero (edited by hand) is the oldest, not
        // a number beyond every other.
        int32_t used = ReadIntSetting(config, name, kKeyServerUsed, 0);
        int32_t row = OfferServerName(memories, cleaned, used < 0 ? 0u : (uint32_t)used);
        if (row >= 0) sectionOf[row] = start;
    }
    // Each row kept is read in one call: key by key, each read of a file
    // holding a hundred servers costs as much again. A section too long for
    // the buffer (edited by hand) is read key by key.
    wchar_t lines[kServerLinesChars];
    for (int32_t i = 0; i < memories->count; ++i) {
        ValueSource source = {config, names.chars + sectionOf[i], lines};
        unsigned used = ProfileGetSection(source.section, lines, kServerLinesChars, config);
        if (used + 2 >= (unsigned)kServerLinesChars) source.lines = nullptr;
        ServerMemory& row = memories->rows[i];
        // As "ligada" in "Opcoes": kept as stored, any value but 0 is on.
        row.enabled = ReadIntFrom(source, kKeyServerEnabled, kServerEnabledDefault);
        ReadCrosshairFrom(source, &row.crosshair);
    }
    free(names.chars);
}

bool LoadSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                  ServerMemories* memories) {
    if (!ProfileFileExists(config)) return false;
    ReadCrosshairSection(config, kSectionCrosshair, crosshair);
    for (size_t i = 0; i < CountOf(kOptionRows); ++i) {
        const OptionRow& row = kOptionRows[i];
        if (!InFile(row)) continue;
        int32_t fallback = row.defaultValue;
        // Once saved the switch lives in "Opcoes"; until then "Mira" may hold it.
        if (row.alsoInCrosshair)
            fallback = ReadIntSetting(config, kSectionCrosshair, row.key, fallback);
        options->*(row.field) = ReadIntSetting(config, kSectionOptions, row.key, fallback);
    }
    // A hotkey whose key is no key is no choice: all its rows fall back together.
    for (const OptionRow& keyRow : kOptionRows) {
        if (keyRow.hotkey != keyRow.id || IsValidHotkeyKey(options->*(keyRow.field))) continue;
        for (const OptionRow& row : kOptionRows)
            if (row.hotkey == keyRow.id) options->*(row.field) = row.defaultValue;
    }
    GiveHotkeysCtrl(options);
    LoadServerMemories(config, memories);
    return true;
}

const OptionRow& OptionRowOf(OptionId id) {
    for (const OptionRow& row : kOptionRows)
        if (row.id == id) return row;
    return kOptionRows[0];  // every id has a row; the table's order is the file's
}

bool OptionBoxTicked(const OptionRow& row, int32_t value) {
    return (value != 0) != row.boxShowsInverse;
}

int32_t OptionValueOfBox(const OptionRow& row, bool ticked) {
    return ticked != row.boxShowsInverse ? 1 : 0;
}

bool SettingsFileHasContent(const wchar_t* config) {
    wchar_t names[kContentProbeChars];
    return ProfileGetSectionNames(names, kContentProbeChars, config) > 0;
}

bool WriteFirstRunSettings(const wchar_t* config, const AppOptions& options,
                           const CrosshairSettings& crosshair, const ServerMemories& memories) {
    return WriteSettingsFile(config, options, crosshair, memories, WrittenServers{false, 0}, true,
                             kProfileSavePatienceMs);
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
                         const ServerMemories& memories, SettingsFileState* state) {
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
    if (!hadSettings && WriteFirstRunSettings(config, options, crosshair, memories) && state) {
        state->written = true;
        state->writtenOptions = options;
        state->writtenCrosshair = crosshair;
        state->writtenServers = memories.revision;
    }
    CreateSavedCrosshairsFile(config, miras);
    if (hadSettings) MigrateSavedCrosshairs(config, miras);
}

bool LoadSettingsPatiently(const wchar_t* config, AppOptions* options,
                           CrosshairSettings* crosshair, ServerMemories* memories,
                           SettingsFileState* state) {
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
    bool existed = LoadSettings(config, options, crosshair, memories);
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
    for (size_t i = 0; i < CountOf(kOptionRows); ++i)
        if (InFile(kOptionRows[i]) &&
            OptionOf(options, kOptionRows[i]) != OptionOf(otherOptions, kOptionRows[i]))
            return false;
    for (size_t i = 0; i < CountOf(kCrosshairKeys); ++i)
        if (!SameKeyText(kCrosshairKeys[i], crosshair, otherCrosshair)) return false;
    return true;
}

bool SaveSettingsChange(const wchar_t* config, const AppOptions& options,
                        const CrosshairSettings& crosshair, const ServerMemories& memories,
                        SettingsFileState* state, unsigned patienceMs) {
    NoteChangedFields(state, options, crosshair);
    if (state->unread) {
        state->behind = true;
        return false;
    }
    // One gesture often ends in two notifications with the same values; a
    // second identical write would only be more disk work and another
    // chance to meet a scanner.
    if (state->written && state->writtenServers == memories.revision &&
        SameSettingsText(state->writtenOptions, state->writtenCrosshair, options, crosshair)) {
        state->behind = false;
        state->refusal = kProfileReplaceable;
        return true;
    }
    // The file holds what was last written there, unless a whole save is asked for.
    bool saved = WriteSettingsFile(config, options, crosshair, memories,
                                   WrittenServers{state->written, state->writtenServers}, false,
                                   patienceMs, &state->refusal);
    state->behind = !saved;
    if (saved) {
        state->written = true;
        state->writtenOptions = options;
        state->writtenCrosshair = crosshair;
        state->writtenServers = memories.revision;
    }
    return saved;
}

bool SaveSettingsWhole(const wchar_t* config, const AppOptions& options,
                       const CrosshairSettings& crosshair, const ServerMemories& memories,
                       SettingsFileState* state, unsigned patienceMs) {
    state->written = false;
    return SaveSettingsChange(config, options, crosshair, memories, state, patienceMs);
}

// The memories of a file read late: the file's, with the run's laid over them
// as the newest.
void LayServerMemoriesOverFile(const ServerMemories& file, ServerMemories* memories) {
    // Beyond both: no row may look unchanged since a revision the file holds.
    uint32_t revision = memories->revision > file.revision ? memories->revision : file.revision;
    ServerMemories run = *memories;
    *memories = file;
    memories->revision = revision;
    LayServerMemoriesOver(run, memories);
    ++memories->revision;
}

bool ReadLateSettings(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                      ServerMemories* memories, SettingsFileState* state, unsigned patienceMs,
                      unsigned* waitedMs) {
    if (waitedMs) *waitedMs = 0;
    if (!state->unread) return false;
    ProfileHold hold;
    ProfileReadable readable = ProfileCheckReadable(config, patienceMs, &hold, waitedMs);
    if (readable == kProfileUnreadable) return false;
    AppOptions fileOptions = state->startOptions;
    CrosshairSettings fileCrosshair = state->startCrosshair;
    ServerMemories fileMemories = {};
    // A file removed meanwhile holds nothing to keep.
    if (readable == kProfileReadable)
        LoadSettings(config, &fileOptions, &fileCrosshair, &fileMemories);
    ProfileRelease(&hold);
    NoteChangedFields(state, *options, *crosshair);
    bool serversChanged = memories->count > 0;
    LayServerMemoriesOverFile(fileMemories, memories);
    state->behind = LayAssignedOver(state->assigned, *options, *crosshair, &fileOptions,
                                    &fileCrosshair) ||
                    serversChanged;
    state->unread = false;
    state->assigned = 0;
    *options = fileOptions;
    *crosshair = fileCrosshair;
    return true;
}

bool SaveSettingsLast(const wchar_t* config, AppOptions* options, CrosshairSettings* crosshair,
                      ServerMemories* memories, SettingsFileState* state, unsigned patienceMs,
                      LastSave what) {
    unsigned waited = 0;
    ReadLateSettings(config, options, crosshair, memories, state, patienceMs, &waited);
    unsigned left = Remaining(patienceMs, waited);
    if (what == kLastSaveWhole)
        return SaveSettingsWhole(config, *options, *crosshair, *memories, state, left);
    return !state->behind ||
           SaveSettingsChange(config, *options, *crosshair, *memories, state, left);
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

// The saved-crosshairs store "miras.ini": status texts, name rules, the save
// decision and the list's contents, apart from any window.
#include "storage/store.h"

#include "base/wtext.h"
#include "storage/profile.h"
#include "storage/settings.h"

const wchar_t kStatusHintText[] = L"Cole o código acima, dê um nome e clique em Salvar mira.";
const wchar_t kStatusImportOkText[] = L"✔ Mira lida e aplicada! Dê um nome e clique em Salvar mira.";
const wchar_t kStatusImportNoneText[] = L"✖ Não achei nenhum comando de mira nesse texto.";
const wchar_t kStatusCodeDamagedText[] =
    L"✖ Esse código de mira não pôde ser lido: confira se copiou o código inteiro.";
const wchar_t kStatusSavedText[] = L"✔ Mira salva na lista!";
const wchar_t kStatusNeedBothText[] = L"✖ Cole o código da mira e dê um nome para salvar.";
const wchar_t kStatusNeedCodeText[] = L"✖ Cole um código de mira válido na caixa acima.";
const wchar_t kStatusNeedNameText[] = L"✖ Dê um nome para a mira.";
const wchar_t kStatusSaveFailedText[] =
    L"✖ Não consegui salvar a mira: o arquivo miras.ini não pôde ser gravado.";
const wchar_t kStatusDeleteFailedText[] =
    L"✖ Não consegui excluir a mira: o arquivo miras.ini não pôde ser gravado.";
const wchar_t kAskReplaceFormat[] = L"Já existe uma mira chamada \"%ls\".\nQuer substituir?";
const wchar_t kDeleteNoneText[] = L"Selecione na lista a mira que quer excluir.";
const wchar_t kDeleteBuiltinText[] =
    L"As miras padrão do aplicativo (com estrela) não podem ser excluídas.";
const wchar_t kAskDeleteFormat[] = L"Excluir a mira \"%ls\"?";

namespace {

const wchar_t kBuiltinLineFormat[] = L"★ %ls";
// Characters that would break the INI syntax of a section name, and the star
// that marks built-in lines.
const wchar_t kRefusedNameChars[] = L";=[]★";
const wchar_t kFirstPrintable = 0x20;
const wchar_t kNameSpace = L' ';

enum { kExistsProbeChars = 8 };

constexpr uint32_t MakeColour(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

const uint32_t kStatusColours[] = {
    MakeColour(110, 110, 110),  // kStatusHint
    MakeColour(0, 130, 60),     // kStatusSuccess
    MakeColour(190, 30, 30),    // kStatusError
};

bool IsRefusedNameChar(wchar_t c) {
    if (c < kFirstPrintable) return true;
    for (const wchar_t* p = kRefusedNameChars; *p; ++p)
        if (*p == c) return true;
    return false;
}

bool IsBuiltinItem(int32_t itemData) { return itemData >= 0 && itemData < kBuiltinPresetCount; }

// What a switch has seen of the list so far: lines arrive in list order and
// none is kept beyond the one or two a decision needs.
struct SwitchScan {
    const wchar_t* miras;
    const CrosshairSettings* current;
    bool forward;
    bool seenAny;
    bool afterEqual;  // forward: the line before this one equals the crosshair
    bool foundEqual;  // back: the first equal line has been met
    bool chosen;
    ListEntry first, previous, pick;
};

// Compared as the files write them: a crosshair imported with more decimals
// than "%.3f" keeps, then saved, still counts as the line it was saved as.
bool SameLook(const CrosshairSettings& a, const CrosshairSettings& b) {
    return SameSettingsText(kDefaultOptions, a, kDefaultOptions, b);
}

bool LineIsCurrent(const SwitchScan& scan, const ListEntry& line) {
    CrosshairSettings probe = *scan.current;
    if (!IsBuiltinItem(line.itemData)) {
        // Most saved lines differ in their first key: one read settles them.
        probe.size = ReadFloatSetting(scan.miras, line.text, kKeySize, probe.size);
        if (!SameLook(probe, *scan.current)) return false;
        probe = *scan.current;
    }
    return ApplyListLine(scan.miras, line.text, line.itemData, &probe) &&
           SameLook(probe, *scan.current);
}

void ScanForward(SwitchScan* scan, const ListEntry& line) {
    if (scan->afterEqual) {
        scan->pick = line;
        scan->chosen = true;
        scan->afterEqual = false;
    }
    if (LineIsCurrent(*scan, line)) {
        scan->afterEqual = true;
        scan->chosen = false;
    }
}

void ScanBack(SwitchScan* scan, const ListEntry& line) {
    if (!scan->foundEqual && LineIsCurrent(*scan, line)) {
        scan->foundEqual = true;
        if (scan->seenAny) {
            scan->pick = scan->previous;
            scan->chosen = true;
        }
    }
}

void ScanSwitchLine(void* context, const wchar_t* text, int32_t itemData) {
    SwitchScan* scan = static_cast<SwitchScan*>(context);
    // ApplyListLine refuses such a line: landing there would leave the
    // crosshair as it was and every later press on the same line.
    if (LengthW(text, kListTextLimit + 1) > kListTextLimit) return;
    ListEntry line;
    CopyW(line.text, kListEntryChars, text);
    line.itemData = itemData;
    if (!scan->seenAny) scan->first = line;
    if (scan->forward) {
        ScanForward(scan, line);
    } else {
        ScanBack(scan, line);
    }
    scan->previous = line;
    scan->seenAny = true;
}

}  // namespace

uint32_t StatusKindColour(int kind) {
    if (kind < kStatusHint || kind > kStatusError) kind = kStatusHint;
    return kStatusColours[kind];
}

void ApplyNameRules(wchar_t* name) {
    if (!name) return;
    size_t length = 0;
    for (; name[length]; ++length)
        if (IsRefusedNameChar(name[length])) name[length] = kNameSpace;
    size_t first = 0;
    while (first < length && name[first] == kNameSpace) ++first;
    while (length > first && name[length - 1] == kNameSpace) --length;
    for (size_t i = first; i < length; ++i) name[i - first] = name[i];
    name[length - first] = 0;
}

SaveDecision DecideSave(const wchar_t* cleanedName, int recognisedCount, bool unreadableCode,
                        bool wearingImage) {
    bool hasName = cleanedName && cleanedName[0];
    if (recognisedCount == 0 && unreadableCode)
        return {false, kStatusError, kStatusCodeDamagedText, kFocusImportBox};
    // No code describes an image: the image worn is what a save keeps.
    bool hasCode = recognisedCount > 0 || wearingImage;
    if (!hasName && !hasCode) return {false, kStatusError, kStatusNeedBothText, kFocusImportBox};
    if (!hasName) return {false, kStatusError, kStatusNeedNameText, kFocusNameBox};
    if (!hasCode) return {false, kStatusError, kStatusNeedCodeText, kFocusImportBox};
    // Going on ends, once written, with the success status.
    return {true, kStatusSuccess, kStatusSavedText, kFocusNone};
}

const wchar_t* ImportFailureText(bool unreadableCode) {
    return unreadableCode ? kStatusCodeDamagedText : kStatusImportNoneText;
}

bool SavedCrosshairExists(const wchar_t* miras, const wchar_t* name) {
    wchar_t probe[kExistsProbeChars];
    ProfileGetString(name, kKeySize, L"", probe, kExistsProbeChars, miras);
    return probe[0] != 0;
}

void BuildSavedList(const wchar_t* miras, SavedListSink sink, void* context) {
    for (int32_t i = 0; i < kBuiltinPresetCount; ++i) {
        wchar_t line[kBuiltinLineChars];
        FormatW(line, kBuiltinLineChars, kBuiltinLineFormat, kBuiltinPresets[i].name);
        sink(context, line, i);
    }
    wchar_t names[kSectionNamesChars];
    names[0] = 0;
    unsigned used = ProfileGetSectionNames(names, kSectionNamesChars, miras);
    // A full buffer ends in a name that may have been cut: such a name would
    // neither apply nor delete the right section, so it is not listed.
    bool lastMayBeCut = used >= kSectionNamesChars - 2;
    size_t at = 0;
    // Walk "a\0b\0\0" without trusting it to be closed inside the buffer.
    while (at < kSectionNamesChars && names[at]) {
        size_t length = LengthW(names + at, kSectionNamesChars - at);
        size_t next = at + length + 1;
        if (next >= kSectionNamesChars) break;
        if (lastMayBeCut && names[next] == 0) break;
        sink(context, names + at, kItemDataSaved);
        at = next;
    }
}

bool ApplyListLine(const wchar_t* miras, const wchar_t* text, int32_t itemData,
                   CrosshairSettings* current) {
    if (!text || !current || LengthW(text, kListTextLimit + 1) > kListTextLimit) return false;
    // Applying from the list never moves the crosshair: the offsets belong to
    // the crosshair tab.
    int32_t offsetX = current->offsetX, offsetY = current->offsetY;
    if (IsBuiltinItem(itemData)) {
        *current = kBuiltinPresets[itemData].settings;
    } else {
        ReadCrosshairSection(miras, text, current);
    }
    current->offsetX = offsetX;
    current->offsetY = offsetY;
    return true;
}

bool SaveCrosshairToFile(const wchar_t* miras, const wchar_t* name,
                         const CrosshairSettings& crosshair, bool replacing) {
    FileChange change;
    if (!BeginFileChange(&change, miras, kProfileSavePatienceMs)) return false;
    if (replacing) change.ok &= ProfileWriteString(name, nullptr, nullptr, change.copy);
    change.ok &= WriteCrosshairSection(change.copy, name, crosshair);
    return FinishFileChange(&change);
}

bool DeleteSavedSection(const wchar_t* miras, const wchar_t* name) {
    FileChange change;
    if (!BeginFileChange(&change, miras, kProfileSavePatienceMs)) return false;
    change.ok &= ProfileWriteString(name, nullptr, nullptr, change.copy);
    return FinishFileChange(&change);
}

bool NextListEntry(const wchar_t* miras, const CrosshairSettings& current, int direction,
                   ListEntry* next) {
    if (!next) return false;
    SwitchScan scan = {};
    scan.miras = miras;
    scan.current = &current;
    scan.forward = direction >= 0;
    BuildSavedList(miras, ScanSwitchLine, &scan);
    if (!scan.seenAny) return false;
    // Nothing chosen: no equal line, or the equal line sits at the wrap.
    if (!scan.chosen) scan.pick = scan.forward ? scan.first : scan.previous;
    *next = scan.pick;
    return true;
}

const wchar_t* ListEntryName(const ListEntry& entry) {
    return IsBuiltinItem(entry.itemData) ? kBuiltinPresets[entry.itemData].name : entry.text;
}

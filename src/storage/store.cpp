// The saved-crosshairs store "miras.ini": name rules, the save decision and
// the list's contents, apart from any window.
#include "storage/store.h"

#include "base/wtext.h"
#include "storage/profile.h"
#include "storage/settings.h"

namespace {

const wchar_t kBuiltinLineFormat[] = L"★ %ls";
// Characters that would break the INI syntax of a section name, and the star
// that marks built-in lines.
const wchar_t kRefusedNameChars[] = L";=[]★";
const wchar_t kFirstPrintable = 0x20;
const wchar_t kNameSpace = L' ';

enum { kExistsProbeChars = 8 };



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
        return {false, kStatusError, kNoteCodeDamaged, kFocusImportBox};
    // No code describes an image: the image worn is what a save keeps.
    bool hasCode = recognisedCount > 0 || wearingImage;
    if (!hasName && !hasCode) return {false, kStatusError, kNoteNeedBoth, kFocusImportBox};
    if (!hasName) return {false, kStatusError, kNoteNeedName, kFocusNameBox};
    if (!hasCode) return {false, kStatusError, kNoteNeedCode, kFocusImportBox};
    // Going on ends, once written, with the success status.
    return {true, kStatusSuccess, kNoteSaved, kFocusNone};
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

// The saved-crosshairs store "miras.ini": what the list holds, the name rules
// and the save decision. Portable; the settings window only wires its
// controls to these, and says them in its own texts.
#pragma once
#include <stdint.h>
#include "crosshair/crosshair.h"

enum StatusKind { kStatusHint = 0, kStatusSuccess = 1, kStatusError = 2 };


enum {
    kNameBoxChars = 64,        // buffer the name box is read into
    kNameBoxLimit = 40,        // what the box accepts
    kListTextLimit = 63,       // longer list lines cannot be applied or deleted
    kSectionNamesChars = 16384,
    kBuiltinLineChars = 80,
    kItemDataSaved = -1,
};

// Name rules: ; = [ ] and the star become spaces, and so does every control
// character (a line break would split the INI file); then leading and trailing
// U+0020 are trimmed. Works in place.
void ApplyNameRules(wchar_t* name);

enum SaveFocus { kFocusNone = 0, kFocusImportBox = 1, kFocusNameBox = 2 };
// What the status line says of a save, or of a save that cannot go on.
enum SaveNote { kNoteSaved, kNoteNeedBoth, kNoteNeedCode, kNoteNeedName, kNoteCodeDamaged };
struct SaveDecision {
    bool goOn;      // a name, and a code or an image worn: write the crosshair
    int kind;       // status kind to show when !goOn
    SaveNote note;  // status text when !goOn
    int focus;      // control to focus when !goOn
};
// unreadableCode: the text read nothing but held a share code that failed a
// check; that is what the user must mend first, name or no name.
// wearingImage: an image is the current crosshair, and needs no code to be saved.
SaveDecision DecideSave(const wchar_t* cleanedName, int recognisedCount,
                        bool unreadableCode = false, bool wearingImage = false);

// True when section name of miras has a non-empty "tamanho".
bool SavedCrosshairExists(const wchar_t* miras, const wchar_t* name);

// Produces the list lines in order: the four built-ins as "★ name" with item
// data 0..3, then every section name of miras with item data -1.
typedef void (*SavedListSink)(void* context, const wchar_t* text, int32_t itemData);
void BuildSavedList(const wchar_t* miras, SavedListSink sink, void* context);

// Applies a list line to *current: built-in rows copy all fields, saved rows
// read the section; the offsets are kept. Returns false (nothing changed) for
// lines longer than 63 characters.
bool ApplyListLine(const wchar_t* miras, const wchar_t* text, int32_t itemData,
                   CrosshairSettings* current);

// One line of the list as the switch hotkey lands on it: what a click on that
// line hands to ApplyListLine.
enum { kListEntryChars = kListTextLimit + 1, kSwitchForward = 1, kSwitchBack = -1 };
struct ListEntry {
    wchar_t text[kListEntryChars];
    int32_t itemData;
};
// The line the switch hotkey goes to from current, among the lines
// BuildSavedList yields that ApplyListLine can apply. current "is" a line when
// applying the line leaves it as the files would write it (the offsets are
// kept). Forward: the line after the last such line, wrapping to the first;
// back (any direction < 0): the line before the first such line, wrapping to
// the last. A crosshair that is no line starts at the first line going forward
// and at the last going back, as if it stood at the wrap. Of two equal lines
// the later is left forward and the earlier back, so a repeat never traps the
// switch. Each saved line costs one read of its size; only a line whose size
// matches is read whole. False (next untouched) only when no line applies.
bool NextListEntry(const wchar_t* miras, const CrosshairSettings& current, int direction,
                   ListEntry* next);
// The crosshair's own name on an entry: built-ins without their star.
const wchar_t* ListEntryName(const ListEntry& entry);

// Writes crosshair as section name of miras in one whole-file change. When
// replacing, the old section of that name goes in the same change, so the
// crosshair moves to the end of the file under the name as now typed. False
// when miras could not be written: it then holds what it held before.
bool SaveCrosshairToFile(const wchar_t* miras, const wchar_t* name,
                         const CrosshairSettings& crosshair, bool replacing);
// Deletes the section in one whole-file change (a section that is not there
// deletes silently). False when miras could not be written: nothing changed.
bool DeleteSavedSection(const wchar_t* miras, const wchar_t* name);

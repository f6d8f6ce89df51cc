// What each FiveM server remembers: the server a game window's title names,
// the cleaning its name goes through, and the record of the crosshairs and
// enabled flags the player chose on each server, the least recently used
// forgotten first. Portable; config.ini stores the record (settings.h).
#pragma once
#include <stdint.h>

#include "crosshair/crosshair.h"

enum {
    kServerNameChars = 129,  // 128 UTF-16 units + terminator
    kServerMemoryLimit = 100,
    kServerTitleChars = 256,  // what the game window's title is read into
};

// The server a FiveM window title names, cleaned and cut; false and name empty
// when the title names none.
bool ServerNameFromTitle(const wchar_t* title, wchar_t (&name)[kServerNameChars]);
// The cleaning and cut shared by titles and stored names: control characters
// and ^0...^9 colour codes go, each run of white space becomes one space, the
// ends lose their spaces, and the result is cut to 128 UTF-16 units without
// splitting a surrogate pair. Cleaning a clean name changes nothing. Only the
// first kServerRawChars - 1 characters of raw are looked at.
enum { kServerRawChars = 1024 };
void CleanServerName(const wchar_t* raw, wchar_t (&name)[kServerNameChars]);

struct ServerMemory {
    wchar_t name[kServerNameChars];
    int32_t enabled;  // "ligada": recorded as 0 or 1, read as stored (any value but 0 is on)
    uint32_t used;    // "usado": larger is more recent
    CrosshairSettings crosshair;
    uint32_t changed;  // the record's revision when this row last changed
};
struct ServerMemories {
    int32_t count;
    ServerMemory rows[kServerMemoryLimit];
    // The largest "usado" read or given out: the next one given is one more.
    uint32_t largestUsed;
    // Grows with every change of the rows, so that a save can tell whether
    // the file is behind the record.
    uint32_t revision;
};

// The largest "usado" stored; a record that reaches it numbers its rows
// again from 1 in the same order.
enum : uint32_t { kServerUsedLast = 0x7FFFFFFFu };

// The memory of that server (its name is cleaned first), or null.
const ServerMemory* FindServerMemory(const ServerMemories& memories, const wchar_t* name);
// A change the player made on that server: kept (created or replaced), with used = one more
// than the largest seen; when full, the row with the smallest used is forgotten.
// A name that cleans to nothing names no server: nothing is kept.
void RecordServerMemory(ServerMemories* memories, const wchar_t* name,
                        const CrosshairSettings& crosshair, int32_t enabled);
// A memory worn on arrival: its used grows the same way. False when there is none.
bool TouchServerMemory(ServerMemories* memories, const wchar_t* name);
void ForgetServerMemories(ServerMemories* memories);

// Reading a file's sections: a server name (clean) met with its own "usado".
// Of two rows of one name the larger used stays; of a full record, the
// smallest used gives way to a larger one. Returns the row that now stands
// for this section, for the caller to fill its flag and crosshair, or -1
// when the section is not kept. largestUsed follows every used offered.
int32_t OfferServerName(ServerMemories* memories, const wchar_t* name, uint32_t used);
// The rows of over laid onto memories by name, as changes made now, in the
// order over used them: each gets a used beyond every one memories has seen.
void LayServerMemoriesOver(const ServerMemories& over, ServerMemories* memories);

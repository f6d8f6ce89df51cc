// What each FiveM server remembers: the title rule, the name cleaning and the
// record of memories with its least-recently-used limit.
#include "storage/servers.h"

#include <string.h>
#include <wchar.h>

#include "base/wtext.h"

namespace {

const wchar_t kTitlePrefix[] = L"FiveM";
const wchar_t kTitleSeparator[] = L" - ";

enum : uint32_t {
    kNameUnitsLimit = kServerNameChars - 1,  // UTF-16 units of a cleaned name
    kC0Last = 0x1F,
    kDelete = 0x7F,
    kC1Last = 0x9F,
};

bool IsControl(wchar_t c) {
    uint32_t u = (uint32_t)c;
    return u <= kC0Last || (u >= kDelete && u <= kC1Last);
}




bool IsColourDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }


int32_t IndexOf(const ServerMemories& memories, const wchar_t* cleaned) {
    if (!cleaned[0]) return -1;
    for (int32_t i = 0; i < memories.count; ++i)
        if (wcscmp(memories.rows[i].name, cleaned) == 0) return i;
    return -1;
}

int32_t OldestRow(const ServerMemories& memories) {
    int32_t oldest = 0;
    for (int32_t i = 1; i < memories.count; ++i)
        if (memories.rows[i].used < memories.rows[oldest].used) oldest = i;
    return oldest;
}

// The rows' indexes in the order of their used, the oldest first (ties in row order).
void OrderByUse(const ServerMemories& memories, int32_t (&order)[kServerMemoryLimit]) {
    for (int32_t i = 0; i < memories.count; ++i) {
        int32_t at = i;
        while (at > 0 && memories.rows[order[at - 1]].used > memories.rows[i].used) {
            order[at] = order[at - 1];
            --at;
        }
        order[at] = i;
    }
}

// One more than the largest used seen; at the top of the range the rows are
// numbered again from 1, in their order, so the order survives.
uint32_t NextUsed(ServerMemories* memories) {
    if (memories->largestUsed >= kServerUsedLast) {
        int32_t order[kServerMemoryLimit];
        OrderByUse(*memories, order);
        for (int32_t rank = 0; rank < memories->count; ++rank)
            memories->rows[order[rank]].used = (uint32_t)rank + 1;
        memories->largestUsed = (uint32_t)memories->count;
    }
    return ++memories->largestUsed;
}

// A fresh row for a clean name, its name's buffer cleared to the end.
void StartRow(ServerMemory* row, const wchar_t* cleaned) {
    *row = ServerMemory{};
    CopyW(row->name, kServerNameChars, cleaned);
    row->enabled = 1;
    row->crosshair = kBuiltinPresets[0].settings;
}

}  // namespace

void CleanServerName(const wchar_t* raw, wchar_t (&name)[kServerNameChars]) {
    // Built in full first: dropping a colour code may join two runs of
    // spaces, or make a "^" meet a digit, anywhere in the text.
    wchar_t work[kServerRawChars];
    size_t length = 0;
    for (size_t i = 0; raw && raw[i] && i < kServerRawChars - 1; ++i) {
        wchar_t c = raw[i];
        if (IsWhiteSpaceW(c)) {
            c = L' ';
        } else if (IsControl(c)) {
            continue;
        } else if (IsColourDigit(c) && length > 0 && work[length - 1] == L'^') {
            --length;
            continue;
        }
        if (c == L' ' && (length == 0 || work[length - 1] == L' ')) continue;
        work[length++] = c;
    }
    work[length] = 0;
    size_t kept = FittingUnits(work, kNameUnitsLimit);
    // The cut may end on a space; the name never does.
    while (kept > 0 && work[kept - 1] == L' ') --kept;
    work[kept] = 0;
    memset(name, 0, sizeof name);
    CopyW(name, kServerNameChars, work);
}

bool ServerNameFromTitle(const wchar_t* title, wchar_t (&name)[kServerNameChars]) {
    memset(name, 0, sizeof name);
    if (!title || !StartsWithNoCase(title, kTitlePrefix)) return false;
    const wchar_t* separator = wcsstr(title, kTitleSeparator);
    if (!separator) return false;
    CleanServerName(separator + LengthW(kTitleSeparator, kServerNameChars), name);
    return name[0] != 0;
}

const ServerMemory* FindServerMemory(const ServerMemories& memories, const wchar_t* name) {
    wchar_t cleaned[kServerNameChars];
    CleanServerName(name, cleaned);
    int32_t at = IndexOf(memories, cleaned);
    return at < 0 ? nullptr : &memories.rows[at];
}

void RecordServerMemory(ServerMemories* memories, const wchar_t* name,
                        const CrosshairSettings& crosshair, int32_t enabled) {
    wchar_t cleaned[kServerNameChars];
    CleanServerName(name, cleaned);
    if (!cleaned[0]) return;
    int32_t at = IndexOf(*memories, cleaned);
    if (at < 0) {
        at = memories->count < kServerMemoryLimit ? memories->count++ : OldestRow(*memories);
        StartRow(&memories->rows[at], cleaned);
    }
    ServerMemory& row = memories->rows[at];
    row.crosshair = crosshair;
    row.enabled = enabled != 0 ? 1 : 0;
    row.used = NextUsed(memories);
    row.changed = ++memories->revision;
}

bool TouchServerMemory(ServerMemories* memories, const wchar_t* name) {
    wchar_t cleaned[kServerNameChars];
    CleanServerName(name, cleaned);
    int32_t at = IndexOf(*memories, cleaned);
    if (at < 0) return false;
    memories->rows[at].used = NextUsed(memories);
    memories->rows[at].changed = ++memories->revision;
    return true;
}

void ForgetServerMemories(ServerMemories* memories) {
    memories->count = 0;
    ++memories->revision;
}

int32_t OfferServerName(ServerMemories* memories, const wchar_t* name, uint32_t used) {
    if (!name[0]) return -1;
    if (used > memories->largestUsed) memories->largestUsed = used;
    int32_t at = IndexOf(*memories, name);
    if (at >= 0) {
        if (used <= memories->rows[at].used) return -1;
    } else if (memories->count < kServerMemoryLimit) {
        at = memories->count++;
    } else {
        at = OldestRow(*memories);
        if (used <= memories->rows[at].used) return -1;
    }
    StartRow(&memories->rows[at], name);
    memories->rows[at].used = used;
    memories->rows[at].changed = ++memories->revision;
    return at;
}

void LayServerMemoriesOver(const ServerMemories& over, ServerMemories* memories) {
    int32_t order[kServerMemoryLimit];
    OrderByUse(over, order);
    for (int32_t i = 0; i < over.count; ++i) {
        const ServerMemory& row = over.rows[order[i]];
        RecordServerMemory(memories, row.name, row.crosshair, row.enabled);
    }
}

// The private-profile contract over kernel32, for the Windows program.
#include "storage/profile.h"

#include <stdlib.h>
#include <windows.h>

namespace {
const BYTE kUtf16LeMarker[] = {0xFF, 0xFE};
// The settings files are a few kilobytes; a larger one is copied in rounds.
enum { kCopyChunkBytes = 16384 };
const DWORD kSwapFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
const DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
const DWORD kShareAll = kShareReadWrite | FILE_SHARE_DELETE;
const DWORD kFirstBusyWaitMs = 10;
const ULONGLONG kFileTimeUnitsPerSecond = 10000000;

// Patience with another program that holds a file for a moment: waits double
// from 10 ms until the patience is spent (10, 20, ... 320, then the rest of a
// second), so a short hold costs little and a long one fails within the bound.
struct BusyWait {
    DWORD waited;
    DWORD next;
    DWORD patience;
};

BusyWait StartBusyWait(unsigned patienceMs) { return {0, kFirstBusyWaitMs, patienceMs}; }

// After a failed call: true, having waited, when the error says the file is
// busy and patience remains; false when trying again cannot help.
bool WaitWhileBusy(BusyWait* wait) {
    DWORD error = GetLastError();
    bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                error == ERROR_LOCK_VIOLATION;
    if (!busy || wait->waited >= wait->patience) return false;
    DWORD step = wait->patience - wait->waited;
    if (step > wait->next) step = wait->next;
    Sleep(step);
    wait->waited += step;
    wait->next *= 2;
    return true;
}

HANDLE OpenWhileBusy(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                     BusyWait* wait) {
    HANDLE handle;
    do {
        handle = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    } while (handle == INVALID_HANDLE_VALUE && WaitWhileBusy(wait));
    return handle;
}

bool WriteAll(HANDLE file, const BYTE* bytes, DWORD count) {
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

// Copies every byte of source to target; *copied receives how many there were.
bool CopyBytes(HANDLE source, HANDLE target, DWORD* copied) {
    BYTE chunk[kCopyChunkBytes];
    *copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source, chunk, sizeof chunk, &got, nullptr)) return false;
        if (got == 0) return true;
        if (!WriteAll(target, chunk, got)) return false;
        *copied += got;
    }
}

bool CopyWhenFree(const wchar_t* file, const wchar_t* copy, BusyWait* wait) {
    // Readers may share the file; a program writing it meanwhile may not.
    HANDLE source = OpenWhileBusy(file, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, wait);
    if (source == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    HANDLE target = OpenWhileBusy(copy, GENERIC_WRITE, 0, CREATE_ALWAYS, wait);
    if (target == INVALID_HANDLE_VALUE) {
        if (source != INVALID_HANDLE_VALUE) CloseHandle(source);
        return false;
    }
    bool ok = true;
    DWORD copied = 0;
    if (source != INVALID_HANDLE_VALUE) {
        ok = CopyBytes(source, target, &copied);
        CloseHandle(source);
    }
    // An empty file would make kernel32 write ANSI; the marker keeps it UTF-16.
    if (ok && copied == 0) ok = WriteAll(target, kUtf16LeMarker, sizeof kUtf16LeMarker);
    CloseHandle(target);
    if (!ok) DeleteFileW(copy);
    return ok;
}
}  // namespace

unsigned ProfileGetString(const wchar_t* section, const wchar_t* key, const wchar_t* def,
                          wchar_t* buf, unsigned size, const wchar_t* file) {
    return GetPrivateProfileStringW(section, key, def, buf, size, file);
}

int ProfileGetInt(const wchar_t* section, const wchar_t* key, int def, const wchar_t* file) {
    // The call returns UINT; a negative stored value comes back as its bit pattern.
    return (int)GetPrivateProfileIntW(section, key, def, file);
}

bool ProfileWriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                        const wchar_t* file) {
    return WritePrivateProfileStringW(section, key, value, file) != FALSE;
}

unsigned ProfileGetSectionNames(wchar_t* buf, unsigned size, const wchar_t* file) {
    return GetPrivateProfileSectionNamesW(buf, size, file);
}

unsigned ProfileGetSection(const wchar_t* section, wchar_t* buf, unsigned size,
                           const wchar_t* file) {
    return GetPrivateProfileSectionW(section, buf, size, file);
}

bool ProfileWriteSection(const wchar_t* section, const wchar_t* entries, const wchar_t* file) {
    return WritePrivateProfileSectionW(section, entries, file) != FALSE;
}

bool ProfileFileExists(const wchar_t* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void CreateUtf16File(const wchar_t* path) {
    if (ProfileFileExists(path)) return;
    // The marker makes kernel32 write every later key in UTF-16, so names
    // with accents survive whatever the ANSI code page is.
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, kUtf16LeMarker, sizeof kUtf16LeMarker, &written, nullptr);
    CloseHandle(file);
}

bool ProfileCopyForChange(const wchar_t* file, const wchar_t* copy, unsigned patienceMs,
                          unsigned* waitedMs) {
    BusyWait wait = StartBusyWait(patienceMs);
    bool ok = CopyWhenFree(file, copy, &wait);
    if (waitedMs) *waitedMs = wait.waited;
    return ok;
}

bool ProfileReplaceFile(const wchar_t* copy, const wchar_t* file, unsigned patienceMs) {
    // Windows refuses to replace a read-only file and Wine does not: asked
    // first, so that the user's protection holds everywhere.
    DWORD attributes = GetFileAttributesW(file);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // The bytes reach the disk before the name changes: a power cut after the
    // swap must not find the new name on a file whose data was never written.
    // Opened sharing everything: a scanner already reading the fresh copy
    // must not make the flush fail.
    BusyWait wait = StartBusyWait(patienceMs);
    HANDLE handle = OpenWhileBusy(copy, GENERIC_WRITE, kShareAll, OPEN_EXISTING, &wait);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BOOL flushed = FlushFileBuffers(handle);
    CloseHandle(handle);
    if (!flushed) return false;
    // A rename over a file that another program holds open is refused, even
    // for a reader that shares everything but deletion.
    BOOL moved;
    do {
        moved = MoveFileExW(copy, file, kSwapFlags);
    } while (!moved && WaitWhileBusy(&wait));
    return moved != FALSE;
}

bool ProfileRemoveFile(const wchar_t* path) {
    return DeleteFileW(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

ProfileReplaceable ProfileCheckReplaceable(const wchar_t* file, unsigned patienceMs,
                                           unsigned* waitedMs) {
    if (waitedMs) *waitedMs = 0;
    DWORD attributes = GetFileAttributesW(file);
    if (attributes == INVALID_FILE_ATTRIBUTES) return kProfileReplaceable;
    if (attributes & FILE_ATTRIBUTE_READONLY) return kProfileReadOnly;
    // The swap takes the old file's name away: the access it needs, asked
    // sharing everything so that no reader is disturbed.
    BusyWait wait = StartBusyWait(patienceMs);
    HANDLE handle = OpenWhileBusy(file, DELETE, kShareAll, OPEN_EXISTING, &wait);
    DWORD error = GetLastError();
    if (waitedMs) *waitedMs = wait.waited;
    if (handle == INVALID_HANDLE_VALUE)
        return error == ERROR_ACCESS_DENIED ? kProfileAccessDenied : kProfileReplaceable;
    CloseHandle(handle);
    return kProfileReplaceable;
}

ProfileReadable ProfileCheckReadable(const wchar_t* path, unsigned patienceMs,
                                     ProfileHold* hold, unsigned* waitedMs) {
    if (hold) hold->held = false;
    if (waitedMs) *waitedMs = 0;
    if (!ProfileFileExists(path)) return kProfileMissing;
    // The sharing a reader of the private-profile layer asks for; a hold
    // kept open refuses deletion too, so the file read is the file held.
    BusyWait wait = StartBusyWait(patienceMs);
    HANDLE handle = OpenWhileBusy(path, GENERIC_READ, hold ? kShareReadWrite : kShareAll,
                                  OPEN_EXISTING, &wait);
    if (waitedMs) *waitedMs = wait.waited;
    if (handle == INVALID_HANDLE_VALUE) return kProfileUnreadable;
    if (hold) {
        hold->held = true;
        hold->handle = (long long)(intptr_t)handle;
    } else {
        CloseHandle(handle);
    }
    return kProfileReadable;
}

void ProfileRelease(ProfileHold* hold) {
    if (!hold->held) return;
    CloseHandle((HANDLE)(intptr_t)hold->handle);
    hold->held = false;
}

const wchar_t kProfilePathSeparator = L'\\';

bool ProfileCreateFolder(const wchar_t* path) {
    if (CreateDirectoryW(path, nullptr)) return true;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ProfileFileRead ProfileReadFile(const wchar_t* path, size_t maxBytes, unsigned char** bytes,
                                size_t* size) {
    *bytes = nullptr;
    *size = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kProfileFileUnread;
    LARGE_INTEGER length;
    ProfileFileRead result = kProfileFileUnread;
    unsigned char* data = nullptr;
    DWORD got = 0;
    if (!GetFileSizeEx(file, &length)) {
        result = kProfileFileUnread;
    } else if ((unsigned long long)length.QuadPart > maxBytes || length.QuadPart > MAXDWORD) {
        result = kProfileFileTooBig;
    } else if ((data = (unsigned char*)malloc(length.QuadPart ? (size_t)length.QuadPart : 1))) {
        // One read: the file is small, and a file that changed length meanwhile
        // is not the file that was measured.
        if (ReadFile(file, data, (DWORD)length.QuadPart, &got, nullptr) &&
            got == (DWORD)length.QuadPart) {
            result = kProfileFileRead;
        }
    }
    CloseHandle(file);
    if (result != kProfileFileRead) {
        free(data);
        return result;
    }
    *bytes = data;
    *size = got;
    return result;
}

bool ProfileWriteNewFile(const wchar_t* path, const unsigned char* bytes, size_t size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = size <= MAXDWORD && WriteAll(file, bytes, (DWORD)size) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) DeleteFileW(path);
    return ok;
}

bool ProfileFileOlderThan(const wchar_t* path, unsigned seconds) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER written, current;
    written.LowPart = data.ftLastWriteTime.dwLowDateTime;
    written.HighPart = data.ftLastWriteTime.dwHighDateTime;
    current.LowPart = now.dwLowDateTime;
    current.HighPart = now.dwHighDateTime;
    // File times count 100-nanosecond intervals.
    return current.QuadPart > written.QuadPart &&
           current.QuadPart - written.QuadPart > (ULONGLONG)seconds * kFileTimeUnitsPerSecond;
}

bool ProfileRenameToNew(const wchar_t* path, const wchar_t* newPath) {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses a name that is taken.
    return MoveFileExW(path, newPath, MOVEFILE_WRITE_THROUGH) != FALSE;
}

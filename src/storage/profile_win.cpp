// The private-profile contract over kernel32, for the Windows program.
#include "storage/profile.h"

#include <windows.h>

namespace {
const BYTE kUtf16LeMarker[] = {0xFF, 0xFE};
// The settings files are a few kilobytes; a larger one is copied in rounds.
enum { kCopyChunkBytes = 16384 };
const DWORD kSwapFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

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

bool ProfileCopyForChange(const wchar_t* file, const wchar_t* copy) {
    // Readers may share the file; a program writing it meanwhile may not.
    HANDLE source = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    HANDLE target = CreateFileW(copy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool ProfileReplaceFile(const wchar_t* copy, const wchar_t* file) {
    // Windows refuses to replace a read-only file and Wine does not: asked
    // first, so that the user's protection holds everywhere.
    DWORD attributes = GetFileAttributesW(file);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // The bytes reach the disk before the name changes: a power cut after the
    // swap must not find the new name on a file whose data was never written.
    HANDLE handle = CreateFileW(copy, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BOOL flushed = FlushFileBuffers(handle);
    CloseHandle(handle);
    if (!flushed) return false;
    return MoveFileExW(copy, file, kSwapFlags) != FALSE;
}

bool ProfileRemoveFile(const wchar_t* path) {
    return DeleteFileW(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

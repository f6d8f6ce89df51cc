// The private-profile contract over kernel32, for the Windows program.
#include "storage/profile.h"

#include <windows.h>

namespace {
const BYTE kUtf16LeMarker[] = {0xFF, 0xFE};
}

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
